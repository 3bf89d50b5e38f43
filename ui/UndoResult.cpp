#include "ui/UndoResult.h"

#include "res/resource.h"
#include "ui/ResourceText.h"

namespace {

// The format of each refusal's message.
const TextOf<UndoRefusal> kRefusalFormats[] = {
    {UndoNoLog, IDS_UNDO_NO_LOG},
    {UndoNotALog, IDS_UNDO_NOT_A_LOG},
    {UndoNothingToTakeBack, IDS_UNDO_NOTHING},
    {UndoNameTooLong, IDS_UNDO_NAME_TOO_LONG},
    {UndoNameNotPlain, IDS_UNDO_NAME_NOT_PLAIN},
    {UndoFolderNotSearchable, IDS_UNDO_FOLDER_NOT_SEARCHABLE},
    {UndoLogNotWritable, IDS_UNDO_LOG_NOT_WRITABLE},
    {UndoFolderGone, IDS_UNDO_FOLDER_GONE},
};

// What an undo ended in, and the same for a redo, where it is the new names that come back.
struct ResultFormats
{
    UINT stopped;
    UINT doneNoLog;
    UINT notBackNoLog;
    UINT notBack;
};

const ResultFormats kUndoResults = {IDS_UNDO_STOPPED, IDS_UNDONE_NO_LOG, IDS_UNDO_NOT_BACK_NO_LOG, IDS_UNDO_NOT_BACK};
const ResultFormats kRedoResults = {IDS_REDO_STOPPED, IDS_REDONE_NO_LOG, IDS_REDO_NOT_BACK_NO_LOG, IDS_REDO_NOT_BACK};

// The log at the log path has no time of its own; a record of the history names when its run
// was made.
UINT QuestionFormat(const UndoOutcome& plan, const UndoChoice& choice)
{
    const bool onlyMarks = plan.finishing && plan.fileCount == 0;
    if (choice.redo)
        return onlyMarks ? IDS_REDO_MARK_QUESTION : plan.finishing ? IDS_REDO_FINISH_QUESTION : IDS_REDO_QUESTION;
    if (onlyMarks)
        return IDS_UNDO_MARK_QUESTION;
    if (choice.made.empty())
        return plan.finishing ? IDS_UNDO_FINISH_QUESTION : IDS_UNDO_QUESTION;
    return plan.finishing ? IDS_UNDO_RECORD_FINISH_QUESTION : IDS_UNDO_RECORD_QUESTION;
}

}  // namespace

CountedString UndoRefusalText(const UndoOutcome& outcome, bool redo)
{
    const bool namesFolder = outcome.refusal == UndoFolderNotSearchable || outcome.refusal == UndoFolderGone;
    const char* name = namesFolder ? outcome.folder.c_str() : outcome.refusedName.c_str();
    UINT format = TextIdOf(kRefusalFormats, outcome.refusal, IDS_FAILED);
    if (redo && outcome.refusal == UndoNothingToTakeBack)
        format = IDS_REDO_NOTHING;
    return FormatResourceText(format, name);
}

// Every format takes the folder, the count and the time in that order, as far as it names them.
CountedString UndoQuestionText(const UndoOutcome& plan, const UndoChoice& choice)
{
    return FormatResourceText(QuestionFormat(plan, choice), plan.folder.c_str(), plan.fileCount, choice.made.c_str());
}

CountedString UndoResultText(const UndoOutcome& outcome, const char* logPath, bool redo)
{
    const ResultFormats& formats = redo ? kRedoResults : kUndoResults;
    const int notBack = outcome.FilesNotBack();
    CountedString text;
    if (outcome.stopped && outcome.logComplete)
        text = FormatResourceText(formats.stopped, notBack);
    else if (notBack == 0 && outcome.logComplete)
        text = ResourceText(IDS_COMPLETED);
    else if (notBack == 0)
        text = ResourceText(formats.doneNoLog);
    else if (!outcome.logComplete)
        text = FormatResourceText(formats.notBackNoLog, notBack);
    else
        text = FormatResourceText(formats.notBack, notBack, logPath);
    if (!outcome.unaccounted.empty())
        text.Append(FormatResourceText(IDS_UNDO_UNACCOUNTED, outcome.unaccounted[0].c_str(),
                                       static_cast<int>(outcome.unaccounted.size()))
                        .Data());
    return text;
}
