#include "ui/RunResult.h"

#include "res/resource.h"
#include "ui/ResourceText.h"

#include <cstdio>

namespace {

const int kTextSize = 512;

UINT RefusalFormat(RunRefusal refusal)
{
    switch (refusal) {
    case RefusalListingFailed:
        return IDS_REFUSED_LISTING;
    case RefusalNewNameTooLong:
        return IDS_REFUSED_NEW_NAME_TOO_LONG;
    case RefusalNumberTooLarge:
        return IDS_REFUSED_NUMBER_TOO_LARGE;
    case RefusalPathTooLong:
        return IDS_REFUSED_PATH_TOO_LONG;
    case RefusalForbiddenCharacter:
        return IDS_REFUSED_FORBIDDEN_CHARACTER;
    case RefusalEndsInDotOrSpace:
        return IDS_REFUSED_ENDS_IN_DOT_OR_SPACE;
    case RefusalDeviceName:
        return IDS_REFUSED_DEVICE_NAME;
    case RefusalMaskHoldsSeparator:
        return IDS_REFUSED_MASK_SEPARATOR;
    case RefusalNewNameIsLog:
        return IDS_REFUSED_NEW_NAME_IS_LOG;
    case RefusalStopped:
        return IDS_REFUSED_STOPPED;
    case RefusalNone:
    case RefusalNotStarted:
        break;
    }
    return IDS_FAILED;
}

UINT OutcomeFormat(const RunOutcome& outcome)
{
    if (!outcome.logAsked)
        return outcome.notRenamed == 0 ? IDS_COMPLETED_NO_LOG_ASKED : IDS_NOT_RENAMED_NO_LOG_ASKED;
    if (outcome.notRenamed == 0)
        return outcome.logComplete ? IDS_COMPLETED : IDS_COMPLETED_NO_LOG;
    if (outcome.notRenamed == 1)
        return outcome.logComplete ? IDS_ONE_NOT_RENAMED : IDS_ONE_NOT_RENAMED_NO_LOG;
    return outcome.logComplete ? IDS_SOME_NOT_RENAMED : IDS_SOME_NOT_RENAMED_NO_LOG;
}

// Files the code page cannot name kept their names as well.
CountedString StoppedRunText(const RunOutcome& outcome)
{
    char counts[kTextSize];
    const int oldNames = outcome.fileCount + outcome.unreachable - outcome.renamed - outcome.leftTemporary;
    std::snprintf(counts, sizeof counts, ResourceText(IDS_STOPPED).Data(), outcome.renamed, oldNames);
    CountedString text(counts);
    if (outcome.leftTemporary > 0) {
        std::snprintf(counts, sizeof counts, ResourceText(IDS_STOPPED_TEMPORARY).Data(), outcome.leftTemporary);
        text.Append(counts);
    }
    text.Append(".");
    if (outcome.logAsked && !outcome.logComplete)
        text.Append(ResourceText(IDS_STOPPED_NO_LOG).Data());
    return text;
}

} // namespace

CountedString RunResultText(bool ran, const RunOutcome& outcome, bool stopAsked)
{
    if (ran && outcome.stopped)
        return StoppedRunText(outcome);
    char text[kTextSize];
    if (!ran) {
        std::snprintf(text, sizeof text, ResourceText(RefusalFormat(outcome.refusal)).Data(), outcome.refusedName);
        return CountedString(text);
    }
    std::snprintf(text, sizeof text, ResourceText(OutcomeFormat(outcome)).Data(), outcome.notRenamed);
    CountedString result(text);
    if (stopAsked)
        result.Append(ResourceText(IDS_STOP_CAME_LATE).Data());
    return result;
}
