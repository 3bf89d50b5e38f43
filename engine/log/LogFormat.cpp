#include "engine/log/LogFormat.h"

const char kStepArrow[] = "->";
const char kUndoFinishedLine[] = "\tundo finished";

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
};
static_assert(sizeof kFailureTexts / sizeof kFailureTexts[0] == StepFailureCount, "one text for every failure");

} // namespace

const char* StepFailureText(StepFailure failure)
{
    return kFailureTexts[failure];
}

int FormatStepLine(char (&line)[kFormatBufferSize], const char* from, const char* to, StepFailure failure, int error,
                   FileServices& fs)
{
    const char* reason = StepFailureText(failure);
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
