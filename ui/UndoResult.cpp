#include "ui/UndoResult.h"

#include "res/resource.h"
#include "ui/ResourceText.h"

#include <cstdio>

namespace {

const int kTextSize = 1024;

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

} // namespace

CountedString UndoRefusalText(const UndoOutcome& outcome)
{
    char text[kTextSize];
    const bool namesFolder = outcome.refusal == UndoFolderNotSearchable || outcome.refusal == UndoFolderGone;
    const char* name = namesFolder ? outcome.folder.c_str() : outcome.refusedName.c_str();
    std::snprintf(text, sizeof text, ResourceText(TextIdOf(kRefusalFormats, outcome.refusal, IDS_FAILED)).Data(), name);
    return CountedString(text);
}

CountedString UndoQuestionText(const UndoOutcome& plan)
{
    char text[kTextSize];
    UINT format = IDS_UNDO_QUESTION;
    if (plan.finishing)
        format = plan.fileCount == 0 ? IDS_UNDO_MARK_QUESTION : IDS_UNDO_FINISH_QUESTION;
    std::snprintf(text, sizeof text, ResourceText(format).Data(), plan.folder.c_str(), plan.fileCount);
    return CountedString(text);
}

CountedString UndoResultText(const UndoOutcome& outcome, const char* logPath)
{
    char text[kTextSize];
    int length;
    const int notBack = outcome.FilesNotBack();
    if (outcome.stopped && outcome.logComplete)
        length = std::snprintf(text, sizeof text, ResourceText(IDS_UNDO_STOPPED).Data(), notBack);
    else if (notBack == 0 && outcome.logComplete)
        length = std::snprintf(text, sizeof text, "%s", ResourceText(IDS_COMPLETED).Data());
    else if (notBack == 0)
        length = std::snprintf(text, sizeof text, "%s", ResourceText(IDS_UNDONE_NO_LOG).Data());
    else if (!outcome.logComplete)
        length = std::snprintf(text, sizeof text, ResourceText(IDS_UNDO_NOT_BACK_NO_LOG).Data(), notBack);
    else
        length = std::snprintf(text, sizeof text, ResourceText(IDS_UNDO_NOT_BACK).Data(), notBack, logPath);
    if (!outcome.unaccounted.empty() && length >= 0 && length < kTextSize) {
        std::snprintf(text + length, sizeof text - static_cast<size_t>(length),
                      ResourceText(IDS_UNDO_UNACCOUNTED).Data(), outcome.unaccounted[0].c_str(),
                      static_cast<int>(outcome.unaccounted.size()));
    }
    return CountedString(text);
}
