#include "ui/RunResult.h"

#include "res/resource.h"
#include "ui/ResourceText.h"

namespace {

// The format of each refusal's message; one the table does not name has failed in a way
// the window has no words for.
const TextOf<RunRefusal> kRefusalFormats[] = {
    {RefusalListingFailed, IDS_REFUSED_LISTING},
    {RefusalNewNameTooLong, IDS_REFUSED_NEW_NAME_TOO_LONG},
    {RefusalNumberTooLarge, IDS_REFUSED_NUMBER_TOO_LARGE},
    {RefusalPathTooLong, IDS_REFUSED_PATH_TOO_LONG},
    {RefusalTempPathTooLong, IDS_REFUSED_TEMP_PATH_TOO_LONG},
    {RefusalForbiddenCharacter, IDS_REFUSED_FORBIDDEN_CHARACTER},
    {RefusalEndsInDotOrSpace, IDS_REFUSED_ENDS_IN_DOT_OR_SPACE},
    {RefusalDeviceName, IDS_REFUSED_DEVICE_NAME},
    {RefusalMaskHoldsSeparator, IDS_REFUSED_MASK_SEPARATOR},
    {RefusalNewNameIsLog, IDS_REFUSED_NEW_NAME_IS_LOG},
    {RefusalStopped, IDS_REFUSED_STOPPED},
    {RefusalUnknownField, IDS_REFUSED_UNKNOWN_FIELD},
};

// A run that could not start says "Failed." and, on the next line, why.
const TextOf<RunRefusal> kNotStartedReasons[] = {
    {RefusalFolderEmpty, IDS_REFUSED_FOLDER_EMPTY},
    {RefusalFolderPathTooLong, IDS_REFUSED_FOLDER_PATH_TOO_LONG},
    {RefusalFolderMissing, IDS_REFUSED_FOLDER_MISSING},
    {RefusalFolderNotSearchable, IDS_REFUSED_FOLDER_NOT_SEARCHABLE},
    {RefusalMaskHoldsSemicolon, IDS_REFUSED_MASK_SEMICOLON},
    {RefusalNothingMatches, IDS_REFUSED_NOTHING_MATCHES},
    {RefusalUnfinishedRun, IDS_REFUSED_UNFINISHED_RUN},
    {RefusalHistoryNotWritable, IDS_REFUSED_HISTORY_NOT_WRITABLE},
};

// Every reason a step can fail for, in the user's words; the log keeps its own.
const TextOf<StepFailure> kFailureReasons[] = {
    {FailureMove, IDS_FAILURE_MOVE},
    {FailureNewNameTaken, IDS_FAILURE_NEW_NAME_TAKEN},
    {FailureNoTemporaryName, IDS_FAILURE_NO_TEMPORARY_NAME},
    {FailureAnotherFileThere, IDS_FAILURE_ANOTHER_FILE_THERE},
    {FailureOriginalNameTaken, IDS_FAILURE_ORIGINAL_NAME_TAKEN},
    {FailureMoveBack, IDS_FAILURE_MOVE_BACK},
    {FailureBothNamesTaken, IDS_FAILURE_BOTH_NAMES_TAKEN},
    {FailureNameNotRepresentable, IDS_FAILURE_NAME_NOT_REPRESENTABLE},
    {FailureNameTooLong, IDS_FAILURE_NAME_TOO_LONG},
    {FailurePathTooLong, IDS_FAILURE_PATH_TOO_LONG},
    {FailureNotWhereLogSays, IDS_FAILURE_NOT_WHERE_LOG_SAYS},
    {FailureLaterStepKept, IDS_FAILURE_LATER_STEP_KEPT},
    {FailureUnaccounted, IDS_FAILURE_UNACCOUNTED},
    {FailureNotMade, IDS_FAILURE_NOT_MADE},
};
static_assert(sizeof kFailureReasons / sizeof kFailureReasons[0] == StepFailureCount - 1,
              "a text in the string table for every failure");

UINT OutcomeFormat(const RunOutcome& outcome, int notRenamed)
{
    if (!outcome.logAsked)
        return notRenamed == 0 ? IDS_COMPLETED_NO_LOG_ASKED : IDS_NOT_RENAMED_NO_LOG_ASKED;
    if (notRenamed == 0)
        return outcome.logComplete ? IDS_COMPLETED : IDS_COMPLETED_NO_LOG;
    if (notRenamed == 1)
        return outcome.logComplete ? IDS_ONE_NOT_RENAMED : IDS_ONE_NOT_RENAMED_NO_LOG;
    return outcome.logComplete ? IDS_SOME_NOT_RENAMED : IDS_SOME_NOT_RENAMED_NO_LOG;
}

CountedString RefusalText(const RunOutcome& outcome)
{
    const UINT reason = TextIdOf(kNotStartedReasons, outcome.refusal, 0);
    if (reason != 0) {
        CountedString text = ResourceText(IDS_FAILED);
        text.Append("\n");
        text.Append(ResourceText(reason).Data());
        return text;
    }
    return FormatResourceText(TextIdOf(kRefusalFormats, outcome.refusal, IDS_FAILED), outcome.refusedName);
}

// The first files that kept their names, each with why, how many more, and where the log is.
void AppendNotRenamedFiles(CountedString& text, const RunOutcome& outcome, int notRenamed, const char* logPath)
{
    if (outcome.namedNotRenamed == 0)
        return;
    for (int i = 0; i < outcome.namedNotRenamed; ++i) {
        const NotRenamedFile& file = outcome.notRenamedFiles[i];
        text.Append(FormatResourceText(IDS_NOT_RENAMED_FILE, file.name,
                                       ResourceText(TextIdOf(kFailureReasons, file.reason, IDS_FAILURE_MOVE)).Data())
                        .Data());
    }
    if (notRenamed > outcome.namedNotRenamed)
        text.Append(FormatResourceText(IDS_NOT_RENAMED_MORE, notRenamed - outcome.namedNotRenamed).Data());
    if (outcome.logAsked && outcome.logComplete)
        text.Append(FormatResourceText(IDS_NOT_RENAMED_SEE_LOG, logPath).Data());
}

// Files the code page cannot name kept their names as well.
CountedString StoppedRunText(const RunOutcome& outcome)
{
    const int oldNames = outcome.fileCount + outcome.unreachable - outcome.renamed - outcome.leftTemporary;
    CountedString text = FormatResourceText(IDS_STOPPED, outcome.renamed, oldNames);
    if (outcome.leftTemporary > 0)
        text.Append(FormatResourceText(IDS_STOPPED_TEMPORARY, outcome.leftTemporary).Data());
    text.Append(".");
    if (outcome.logAsked && !outcome.logComplete)
        text.Append(ResourceText(IDS_STOPPED_NO_LOG).Data());
    return text;
}

}  // namespace

CountedString LeftOutText(const int (&leftOut)[LeftOutKindCount])
{
    int total = 0;
    for (int count : leftOut)
        total += count;
    if (total == 0)
        return CountedString("");
    CountedString text = FormatResourceText(IDS_PREVIEW_LEFT_OUT, total);
    UINT format = IDS_PREVIEW_FIRST_KIND;
    for (int kind = 0; kind < LeftOutKindCount; ++kind) {
        if (leftOut[kind] > 0) {
            text.Append(
                FormatResourceText(format, ResourceText(IDS_LEFT_OUT_FIRST + kind).Data(), leftOut[kind]).Data());
            format = IDS_PREVIEW_NEXT_KIND;
        }
    }
    return text;
}

namespace {

// Files left out of the batch are counted apart from those that could not be renamed.
CountedString FinishedRunText(const RunOutcome& outcome, bool stopAsked, const char* logPath)
{
    const int notRenamed = outcome.notRenamed - outcome.unreachable;
    CountedString result = FormatResourceText(OutcomeFormat(outcome, notRenamed), notRenamed);
    AppendNotRenamedFiles(result, outcome, notRenamed, logPath);
    CountedString leftOut = LeftOutText(outcome.leftOut);
    if (leftOut.Length() > 0) {
        result.Append("\n");
        result.Append(leftOut.Data());
    }
    if (stopAsked)
        result.Append(ResourceText(IDS_STOP_CAME_LATE).Data());
    return result;
}

}  // namespace

// A record of the history that did not take every line is said last: 元に戻す may not take
// the whole run back.
CountedString RunResultText(bool ran, const RunOutcome& outcome, bool stopAsked, const char* logPath)
{
    if (!ran)
        return RefusalText(outcome);
    CountedString result = outcome.stopped ? StoppedRunText(outcome) : FinishedRunText(outcome, stopAsked, logPath);
    if (outcome.recordAsked && !outcome.recordComplete) {
        const bool stoppedForIt = outcome.stopped && !stopAsked;
        result.Append(ResourceText(stoppedForIt ? IDS_RECORD_STOPPED_RUN : IDS_RECORD_INCOMPLETE).Data());
    }
    return result;
}
