#include "ui/RunResult.h"

#include "res/resource.h"
#include "ui/ResourceText.h"

#include <cstdio>

namespace {

const int kTextSize = 512;

// The format of each refusal's message; one the table does not name has failed in a way
// the window has no words for.
const TextOf<RunRefusal> kRefusalFormats[] = {
    {RefusalListingFailed, IDS_REFUSED_LISTING},
    {RefusalNewNameTooLong, IDS_REFUSED_NEW_NAME_TOO_LONG},
    {RefusalNumberTooLarge, IDS_REFUSED_NUMBER_TOO_LARGE},
    {RefusalPathTooLong, IDS_REFUSED_PATH_TOO_LONG},
    {RefusalForbiddenCharacter, IDS_REFUSED_FORBIDDEN_CHARACTER},
    {RefusalEndsInDotOrSpace, IDS_REFUSED_ENDS_IN_DOT_OR_SPACE},
    {RefusalDeviceName, IDS_REFUSED_DEVICE_NAME},
    {RefusalMaskHoldsSeparator, IDS_REFUSED_MASK_SEPARATOR},
    {RefusalNewNameIsLog, IDS_REFUSED_NEW_NAME_IS_LOG},
    {RefusalStopped, IDS_REFUSED_STOPPED},
};

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
        std::snprintf(text, sizeof text, ResourceText(TextIdOf(kRefusalFormats, outcome.refusal, IDS_FAILED)).Data(), outcome.refusedName);
        return CountedString(text);
    }
    std::snprintf(text, sizeof text, ResourceText(OutcomeFormat(outcome)).Data(), outcome.notRenamed);
    CountedString result(text);
    if (stopAsked)
        result.Append(ResourceText(IDS_STOP_CAME_LATE).Data());
    return result;
}
