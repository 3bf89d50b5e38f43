#include "engine/log/LogFormat.h"

#include <cstdio>

#include <algorithm>

#include <cstring>

const char kLineEnd[] = "\r\n";
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

}  // namespace

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

// Appends count bytes of text at the line's end, no more than a listing's name.
static size_t Put(char* at, const char* text, size_t count)
{
    count = std::min(count, static_cast<size_t>(kFoundNameSize - 1));
    std::memcpy(at, text, count);
    return count;
}

int FormatStepLine(char (&line)[kStepLineSize], const char* from, const char* to, StepFailure failure, int error)
{
    // A name is never longer than a listing gives, so the line fits whole.
    size_t length = Put(line, from, std::strlen(from));
    line[length++] = '\t';
    length += Put(line + length, kStepArrow, sizeof kStepArrow - 1);
    line[length++] = '\t';
    length += Put(line + length, to, std::strlen(to));
    if (failure != FailureNone) {
        line[length++] = '\t';
        const char* reason = StepFailureText(failure);
        length += Put(line + length, reason, std::strlen(reason));
        if (error != 0)
            length += static_cast<size_t>(std::snprintf(line + length, 32, " (error %d)", error));
    }
    std::memcpy(line + length, kLineEnd, sizeof kLineEnd);
    return static_cast<int>(length + 2);
}

std::string SectionHeader(const std::string& folder)
{
    return kLineEnd + folder + kLineEnd;
}
