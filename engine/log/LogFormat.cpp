#include "engine/log/LogFormat.h"

#include <cstring>

const char kStepArrow[] = "->";
const char kUndoFinishedLine[] = "\tundo finished";
const char kRunFinishedLine[] = "\trun finished";
const char kMovesMadeLine[] = "\tmoves made";

namespace {

// In the order of StepFailure. Logs already written hold these bytes: they never change.
const char* const kFailureTexts[] = {
    nullptr,
    "move failed",
    "new name taken",
    "no free temporary name",
    "file no longer under this name, another file is",
    "original name taken, file left under its temporary name",
    "move failed, file left under its temporary name",
    "new and original names taken, file left under its temporary name",
    "name not representable, file left as it was",
    "name longer than 255 bytes, file left as it was",
    "path too long, file left as it was",
    "file not where the log says, left alone",
    "skipped, a later step of this file was not taken back",
    "no line of the log names this file, left alone",
    "not moved after all",
};
static_assert(sizeof kFailureTexts / sizeof kFailureTexts[0] == StepFailureCount, "one text for every failure");

// What may follow a reason's text: nothing, or " (error N)" with N as the formatted print
// writes an int; cut: any beginning of that.
bool IsErrorSuffix(const char* rest, bool cut)
{
    static const char kOpening[] = " (error ";
    size_t at = 0;
    while (kOpening[at] && rest[at] == kOpening[at])
        ++at;
    if (rest[at] == '\0')
        return cut || at == 0;
    if (kOpening[at])
        return false;
    const char* p = rest + at + (rest[at] == '-' ? 1 : 0);
    const char* digits = p;
    while (*p >= '0' && *p <= '9')
        ++p;
    if (*p == '\0')
        return cut;
    return p != digits && p[0] == ')' && p[1] == '\0';
}

} // namespace

const char* StepFailureText(StepFailure failure)
{
    return kFailureTexts[failure];
}

bool IsStepFailureReason(const std::string& reason, bool cut)
{
    for (int failure = FailureNone + 1; failure < StepFailureCount; ++failure) {
        const std::string text = kFailureTexts[failure];
        // One text may begin another: "move failed" and "move failed, file left ...".
        if (reason.compare(0, text.size(), text) == 0 && IsErrorSuffix(reason.c_str() + text.size(), cut))
            return true;
        if (cut && reason.size() < text.size() && text.compare(0, reason.size(), reason) == 0)
            return true;
    }
    return false;
}

int FormatStepLine(char (&line)[kFormatBufferSize], const char* from, const char* to, StepFailure failure, int error,
                   FileServices& fs)
{
    const char* reason = StepFailureText(failure);
    // The print's own bytes, without its cost, for the line of every move; a line too long
    // for one print is cut by the print as it always was.
    const size_t fromLength = std::strlen(from);
    const size_t toLength = std::strlen(to);
    if (reason == nullptr && fromLength + toLength + 6 < sizeof line) {
        char* at = line;
        at = static_cast<char*>(std::memcpy(at, from, fromLength)) + fromLength;
        at = static_cast<char*>(std::memcpy(at, "\t->\t", 4)) + 4;
        at = static_cast<char*>(std::memcpy(at, to, toLength)) + toLength;
        std::memcpy(at, "\r\n", 3);
        return static_cast<int>(fromLength + toLength + 6);
    }
    if (reason == nullptr)
        return fs.Format(line, "%s\t%s\t%s\r\n", from, kStepArrow, to);
    if (error != 0)
        return fs.Format(line, "%s\t%s\t%s\t%s (error %d)\r\n", from, kStepArrow, to, reason, error);
    return fs.Format(line, "%s\t%s\t%s\t%s\r\n", from, kStepArrow, to, reason);
}

std::string SectionHeader(const std::string& folder)
{
    return "\r\n" + folder + "\r\n";
}
