#include "engine/undo/HistoryUndo.h"

#include "engine/log/RenameLog.h"
#include "engine/log/RenameLogReader.h"

namespace {

void Choose(const RunHistory& history, int index, bool redo, UndoChoice& choice)
{
    const HistoryRecord& record = history.Records()[static_cast<size_t>(index)];
    choice.path = record.path;
    choice.record = index;
    choice.made = record.made;
    choice.redo = redo;
}

// The log at the log path, when it holds a run the history does not, not taken back.
bool ChooseLog(const RunHistory& history, const char* logPath, FileServices& fs, UndoChoice& choice,
               UndoOutcome& outcome)
{
    if (!PlanUndo(logPath, fs, outcome))
        return false;
    RenameLogParser parser(fs);
    ReadRenameLog(logPath, fs, parser);
    if ((parser.Acts() % 2 == 0 && !parser.LastActOpen()) ||
        history.Holds(parser.RunKey(), RecordFolder(parser.Folder().c_str(), fs))) {
        outcome = UndoOutcome();
        outcome.refusal = UndoNothingToTakeBack;
        return false;
    }
    choice = UndoChoice();
    choice.path = logPath;
    return true;
}

// Ends the record of a run or undo that did not finish and that has no file left to move, as
// an undo with no step that finished: it neither holds back its folder nor waits to be taken
// back.
bool SettleRecord(const HistoryRecord& record, FileServices& fs)
{
    RenameLogParser parser(fs);
    if (!ReadRenameLog(record.path.c_str(), fs, parser) || !parser.IsRenameLog())
        return false;
    const int64_t size = static_cast<int64_t>(parser.Size());
    const bool endsInNuls = parser.EndsInNuls();
    const std::string completion = parser.Complete();
    LogWriter log(fs);
    log.OpenToAppend(record.path.c_str());
    if (endsInNuls)
        log.CutBack(size);
    if (parser.LastSectionEmpty())
        log.WriteUndoFinished(completion);
    else {
        log.BeginUndoSection(completion, parser.Folder(), true);
        log.WriteUndoFinished();
    }
    return log.Complete();
}

}  // namespace

bool PlanRecordUndo(const HistoryRecord& record, const RunHistory& history, FileServices& fs, UndoOutcome& outcome)
{
    if (!PlanUndo(record.path.c_str(), fs, outcome))
        return false;
    if (history.VolumeOf(outcome.folder) != record.volume) {
        outcome.refusal = UndoFolderGone;
        return false;
    }
    return true;
}

bool ChooseUndo(RunHistory& history, const char* logPath, FileServices& fs, UndoChoice& choice, UndoOutcome& outcome)
{
    UndoOutcome first;
    for (;;) {
        const int index = history.NextUndo();
        if (index < 0)
            break;
        HistoryRecord& record = history.Record(index);
        if (PlanRecordUndo(record, history, fs, outcome)) {
            Choose(history, index, false, choice);
            return true;
        }
        if (first.refusal == UndoRefusalNone)
            first = outcome;
        if (record.Open() && outcome.refusal == UndoNothingToTakeBack && SettleRecord(record, fs)) {
            // A redo that made its every move leaves the run's names in force: taken back next.
            record.state = record.state == RecordRedoOpen ? RecordDone : RecordTakenBack;
            continue;
        }
        // Passed over by this undo; the next one asks the disk again.
        record.state = RecordDone;
        record.moves = false;
    }
    if (logPath && logPath[0] != '\0' && ChooseLog(history, logPath, fs, choice, outcome))
        return true;
    if (first.refusal != UndoRefusalNone)
        outcome = first;
    else if (outcome.refusal == UndoRefusalNone || outcome.refusal == UndoNoLog)
        outcome.refusal = UndoNothingToTakeBack;
    return false;
}

bool ChooseRedo(RunHistory& history, FileServices& fs, UndoChoice& choice, UndoOutcome& outcome)
{
    outcome = UndoOutcome();
    const int index = history.NextRedo();
    if (index < 0) {
        outcome.refusal = UndoNothingToTakeBack;
        return false;
    }
    HistoryRecord& record = history.Record(index);
    if (!PlanRecordUndo(record, history, fs, outcome)) {
        // A redo that made its every move but did not live to say so only needs saying so;
        // open, it would hold back its folder.
        if (record.Open() && outcome.refusal == UndoNothingToTakeBack && SettleRecord(record, fs))
            record.state = RecordDone;
        return false;
    }
    Choose(history, index, true, choice);
    return true;
}

bool PlanUnfinished(const HistoryRecord& record, const RunHistory& history, FileServices& fs, UndoOutcome& outcome)
{
    if (PlanRecordUndo(record, history, fs, outcome))
        return true;
    if (outcome.refusal == UndoNothingToTakeBack)
        SettleRecord(record, fs);
    return false;
}
