// The scenario in words, for the report of a breach.
#include "tests/stress/Scenario.h"

#include <cstdio>

const char* FaultName(FaultKind kind)
{
    static const char* const names[FaultKindCount] = {
        "move fails", "move says taken", "existence test errs", "existence test says taken", "log not created",
        "log writes stop", "target appears", "file deleted by another program", "file renamed by another program",
        "folder test errs", "listing breaks", "search fails",
        "file held open by another program", "stop requested after step"};
    return names[kind];
}

const char* LogPlaceName(LogPlace place)
{
    static const char* const names[] = {"elsewhere",  "elsewhere, earlier log", "in folder, new",
                                        "in folder, existing file", "in folder through ./", "in sub-folder",
                                        "missing folder", "the folder itself", "empty path",
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

std::string Describe(const Scenario& s)
{
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "scenario %llu of seed %llu\n", static_cast<unsigned long long>(s.index),
                  static_cast<unsigned long long>(s.seed));
    text += line;
    text += "  folder \"" + Printable(s.runFolderName) + "\" typed with " + std::to_string(s.typedSeparators) +
            " separators behind it\n";
    std::snprintf(line, sizeof line,
                  "  job: mask \"%s\", pattern \"%s\", start %u, padding %s, %d digits, order %d\n",
                  Printable(s.mask).c_str(), Printable(s.pattern).substr(0, 120).c_str(), s.startNumber,
                  s.padDigits ? "on" : "off", s.digitCount, s.order);
    text += line;
    text += std::string("  log: ") + LogPlaceName(s.logPlace) + " \"" + Printable(s.logTypedName) + "\"" +
            (s.userFileContent.empty() ? "" : " holding \"" + Printable(s.userFileContent) + "\"") +
            (s.toldYes ? ", Yes" : ", No") + " to replacing a file that is no rename log";
    if (s.logPlace == LogOnANewName && s.logNewNameAt >= 0)
        text += " the new name at " + std::to_string(s.logNewNameAt) + (s.logOtherLetters ? " in other letters" : "");
    text += "\n";
    std::snprintf(line, sizeof line, "  temporary counter %d, random state %u%s%s\n", s.tempNumberBefore,
                  s.randomStateBefore, s.questionMarksUnreachable ? ", \"?\" names unreachable" : "",
                  s.cp932LeadBytes ? ", code page 932 lead bytes" : "");
    text += line;
    if (!s.overlongName.empty())
        text += "  listed under an overlong name: \"" + Printable(s.overlongName) + "\"\n";
    for (const std::string& folder : s.subFolders)
        text += "  sub-folder \"" + Printable(folder) + "\"\n";
    for (const FileSpec& file : s.files) {
        text += "  file \"" + Printable(file.key) + "\"" + (file.hidden ? " hidden" : "") +
                (file.readOnly ? " read-only" : "") + "\n";
    }
    for (const FaultSpec& fault : s.faults) {
        std::snprintf(line, sizeof line, "  fault: %s, call %d\n", FaultName(fault.kind), fault.nth);
        text += line;
    }
    return text;
}
