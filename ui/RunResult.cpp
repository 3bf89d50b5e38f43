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
    case RefusalNone:
    case RefusalNotStarted:
        break;
    }
    return "Failed.";
}

// Files the code page cannot name kept their names as well.
CountedString StoppedRunText(const RunOutcome& outcome)
{
    char counts[kTextSize];
    const int oldNames = outcome.fileCount + outcome.unreachable - outcome.renamed - outcome.leftTemporary;
    std::snprintf(counts, sizeof counts, "中止しました. 新しい名前のファイル: %d, 元の名前のファイル: %d",
                  outcome.renamed, oldNames);
    CountedString text(counts);
    if (outcome.leftTemporary > 0) {
        std::snprintf(counts, sizeof counts, ", 一時的な名前のままのファイル: %d (ログを見てください)",
                      outcome.leftTemporary);
        text.Append(counts);
    }
    text.Append(".");
    if (!outcome.logComplete)
        text.Append(" ログを書き込めませんでした.");
    return text;
}

} // namespace

CountedString RunResultText(bool ran, const RunOutcome& outcome)
{
    if (ran && outcome.stopped)
        return StoppedRunText(outcome);
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
