#include "ui/UndoResult.h"

#include <cstdio>

namespace {

const int kTextSize = 1024;

const char* RefusalFormat(UndoRefusal refusal)
{
    switch (refusal) {
    case UndoNoLog:
        return "ログファイルが見つからないか、読めません. 元に戻せるものはありません.";
    case UndoNotALog:
        return "ログ欄のファイルは名前変更のログではありません. 何も元に戻していません.";
    case UndoNothingToTakeBack:
        return "ログには元に戻せる名前変更がありません.";
    case UndoNameTooLong:
        return "ログの名前 \"%s\" が長すぎます. 何も元に戻していません.";
    case UndoNameNotPlain:
        return "ログの名前 \"%s\" はフォルダ内のファイル名ではありません. 何も元に戻していません.";
    case UndoFolderNotSearchable:
        return "フォルダ \"%s\" を検索できません. 何も元に戻していません.";
    case UndoLogNotWritable:
        return "ログファイルに書き込めません. 何も元に戻していません.";
    case UndoRefusalNone:
        break;
    }
    return "Failed.";
}

} // namespace

CountedString UndoRefusalText(const UndoOutcome& outcome)
{
    char text[kTextSize];
    const char* name = outcome.refusal == UndoFolderNotSearchable ? outcome.folder.c_str() : outcome.refusedName.c_str();
    std::snprintf(text, sizeof text, RefusalFormat(outcome.refusal), name);
    return CountedString(text);
}

CountedString UndoQuestionText(const UndoOutcome& plan)
{
    char text[kTextSize];
    std::snprintf(text, sizeof text, "フォルダ \"%s\" のファイル %d 個を元の名前に戻します. よろしいですか?",
                  plan.folder.c_str(), plan.fileCount);
    return CountedString(text);
}

CountedString UndoResultText(const UndoOutcome& outcome, const char* logPath)
{
    char text[kTextSize];
    int length;
    if (outcome.notBack == 0 && outcome.logComplete)
        length = std::snprintf(text, sizeof text, "%s", "Completed.");
    else if (outcome.notBack == 0)
        length = std::snprintf(text, sizeof text, "%s", "元に戻しましたが, ログに書き込めませんでした.");
    else
        length = std::snprintf(text, sizeof text, "%d 個のファイルを元に戻せませんでした. 詳しくはログ \"%s\" を見てください.",
                               outcome.notBack, logPath);
    if (!outcome.unaccounted.empty() && length >= 0 && length < kTextSize) {
        std::snprintf(text + length, sizeof text - static_cast<size_t>(length),
                      "\nログにない一時ファイル \"%s\" など %d 個はそのままにしました.", outcome.unaccounted[0].c_str(),
                      static_cast<int>(outcome.unaccounted.size()));
    }
    return CountedString(text);
}
