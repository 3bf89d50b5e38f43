// The scenario in words, for the report of a breach.
#include "tests/stress/Scenario.h"

#include <cstdio>

const char* FaultName(FaultKind kind)
{
    static const char* const names[FaultKindCount] = {"move fails",
                                                      "move says taken",
                                                      "existence test errs",
                                                      "existence test says taken",
                                                      "log not created",
                                                      "log writes stop",
                                                      "target appears",
                                                      "file deleted by another program",
                                                      "file renamed by another program",
                                                      "folder test errs",
                                                      "listing breaks",
                                                      "search fails",
                                                      "file held open by another program",
                                                      "stop requested after step"};
    return names[kind];
}

const char* LogPlaceName(LogPlace place)
{
    static const char* const names[] = {"elsewhere",
                                        "elsewhere, earlier log",
                                        "in folder, new",
                                        "in folder, existing file",
                                        "in folder through ./",
                                        "in sub-folder",
                                        "missing folder",
                                        "the folder itself",
                                        "empty path",
                                        "elsewhere, a user's document",
                                        "a file of the folder under another name",
                                        "in folder, on a name the batch wants"};
    return names[place];
}

std::string Printable(const std::string& bytes)
{
    std::string text;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text;
}

std::string Describe(const Scenario& scenario)
{
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "scenario %llu of seed %llu\n", static_cast<unsigned long long>(scenario.index),
                  static_cast<unsigned long long>(scenario.seed));
    text += line;
    text += "  folder \"" + Printable(scenario.runFolderName) + "\" typed with " +
            std::to_string(scenario.typedSeparators) + " separators behind it\n";
    std::snprintf(line, sizeof line,
                  "  job: mask \"%s\", pattern \"%s\", start %u, padding %s, %d digits, order %d%s\n",
                  Printable(scenario.mask).c_str(), Printable(scenario.pattern).substr(0, 120).c_str(),
                  scenario.startNumber, scenario.padDigits ? "on" : "off", scenario.digitCount, scenario.order,
                  scenario.sameNumber ? ", files of one name under one number" : "");
    text += line;
    text += std::string("  log: ") + LogPlaceName(scenario.logPlace) + " \"" + Printable(scenario.logTypedName) + "\"" +
            (scenario.userFileContent.empty() ? "" : " holding \"" + Printable(scenario.userFileContent) + "\"") +
            (scenario.toldYes ? ", Yes" : ", No") + " to replacing a file that is no rename log";
    if (scenario.logPlace == LogOnANewName && scenario.logNewNameAt >= 0)
        text += " the new name at " + std::to_string(scenario.logNewNameAt) +
                (scenario.logOtherLetters ? " in other letters" : "");
    text += "\n";
    std::snprintf(line, sizeof line, "  temporary counter %d, random state %u%s%s\n", scenario.tempNumberBefore,
                  scenario.randomStateBefore, scenario.questionMarksUnreachable ? ", \"?\" names unreachable" : "",
                  scenario.cp932LeadBytes ? ", code page 932 lead bytes" : "");
    text += line;
    if (!scenario.overlongName.empty())
        text += "  listed under an overlong name: \"" + Printable(scenario.overlongName) + "\"\n";
    for (const std::string& folder : scenario.subFolders)
        text += "  sub-folder \"" + Printable(folder) + "\"\n";
    for (const FileSpec& file : scenario.files) {
        text += "  file \"" + Printable(file.key) + "\"" + (file.hidden ? " hidden" : "") +
                (file.system ? " system" : "") + (file.readOnly ? " read-only" : "") + "\n";
    }
    for (const FaultSpec& fault : scenario.faults) {
        std::snprintf(line, sizeof line, "  fault: %s, call %d\n", FaultName(fault.kind), fault.nth);
        text += line;
    }
    return text;
}
