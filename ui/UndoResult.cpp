#include "ui/UndoResult.h"

#include "res/resource.h"
#include "ui/ResourceText.h"

#include <cstdio>

namespace {

const int kTextSize = 1024;

UINT RefusalFormat(UndoRefusal refusal)
{
    switch (refusal) {
    case UndoNoLog:
        return IDS_UNDO_NO_LOG;
    case UndoNotALog:
        return IDS_UNDO_NOT_A_LOG;
    case UndoNothingToTakeBack:
        return IDS_UNDO_NOTHING;
    case UndoNameTooLong:
        return IDS_UNDO_NAME_TOO_LONG;
    case UndoNameNotPlain:
        return IDS_UNDO_NAME_NOT_PLAIN;
    case UndoFolderNotSearchable:
        return IDS_UNDO_FOLDER_NOT_SEARCHABLE;
    case UndoLogNotWritable:
        return IDS_UNDO_LOG_NOT_WRITABLE;
    case UndoRefusalNone:
        break;
    }
    return IDS_FAILED;
}

} // namespace

CountedString UndoRefusalText(const UndoOutcome& outcome)
{
    char text[kTextSize];
    const char* name = outcome.refusal == UndoFolderNotSearchable ? outcome.folder.c_str() : outcome.refusedName.c_str();
    std::snprintf(text, sizeof text, ResourceText(RefusalFormat(outcome.refusal)).Data(), name);
    return CountedString(text);
}

CountedString UndoQuestionText(const UndoOutcome& plan)
{
    char text[kTextSize];
    std::snprintf(text, sizeof text, ResourceText(IDS_UNDO_QUESTION).Data(), plan.folder.c_str(), plan.fileCount);
    return CountedString(text);
}

CountedString UndoResultText(const UndoOutcome& outcome, const char* logPath)
{
    char text[kTextSize];
    int length;
    if (outcome.notBack == 0 && outcome.logComplete)
        length = std::snprintf(text, sizeof text, "%s", ResourceText(IDS_COMPLETED).Data());
    else if (outcome.notBack == 0)
        length = std::snprintf(text, sizeof text, "%s", ResourceText(IDS_UNDONE_NO_LOG).Data());
    else
        length = std::snprintf(text, sizeof text, ResourceText(IDS_UNDO_NOT_BACK).Data(), outcome.notBack, logPath);
    if (!outcome.unaccounted.empty() && length >= 0 && length < kTextSize) {
        std::snprintf(text + length, sizeof text - static_cast<size_t>(length),
                      ResourceText(IDS_UNDO_UNACCOUNTED).Data(), outcome.unaccounted[0].c_str(),
                      static_cast<int>(outcome.unaccounted.size()));
    }
    return CountedString(text);
}
