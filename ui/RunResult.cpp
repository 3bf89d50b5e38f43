#include "ui/RunResult.h"

#include <cstdio>

namespace {

const int kTextSize = 512;

const char* RefusalFormat(RunRefusal refusal)
{
    switch (refusal) {
    case RefusalListingFailed:
        return "Failed: the folder could not be read to its end. Nothing was renamed.";
    case RefusalNameTooLong:
        return "Nothing was renamed: the name of \"%s\" is too long.";
    case RefusalNewNameTooLong:
        return "Nothing was renamed: the new name of \"%s\" would be longer than 255 bytes.";
    case RefusalNumberTooLarge:
        return "Nothing was renamed: the number of \"%s\" would pass 2147483647.";
    case RefusalNewNameIsLog:
        return "名前を変更しませんでした: \"%s\" の新しい名前がログファイルの名前と同じです.";
    case RefusalNone:
    case RefusalNotStarted:
        break;
    }
    return "Failed.";
}

} // namespace

CountedString RunResultText(bool ran, const RunOutcome& outcome)
{
    char text[kTextSize];
    if (!ran) {
        std::snprintf(text, sizeof text, RefusalFormat(outcome.refusal), outcome.refusedName);
    } else if (outcome.notRenamed == 0) {
        std::snprintf(text, sizeof text, "%s",
                      outcome.logComplete ? "Completed." : "Completed, but the log could not be written.");
    } else if (outcome.notRenamed == 1) {
        std::snprintf(text, sizeof text, "%s",
                      outcome.logComplete ? "1 file could not be renamed; the log has the details."
                                          : "1 file could not be renamed, and the log could not be written.");
    } else {
        std::snprintf(text, sizeof text,
                      outcome.logComplete ? "%d files could not be renamed; the log has the details."
                                          : "%d files could not be renamed, and the log could not be written.",
                      outcome.notRenamed);
    }
    return CountedString(text);
}
