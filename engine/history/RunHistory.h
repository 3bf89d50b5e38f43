#ifndef QUILLOWBY_ENGINE_HISTORY_RUN_HISTORY_H
#define QUILLOWBY_ENGINE_HISTORY_RUN_HISTORY_H

#include "engine/platform/FileServices.h"

#include <cstdint>
#include <string>
#include <vector>

// The history of runs: the program's own copy of every run's record, one file per run in the
// log's format (LogFormat.h), kept in one folder of the user's (the program's folder of local
// application data) so that a later run never replaces it. Its undo and its undo's undo (the
// run made again) go into the same file, so the record alone tells where its files stand.
//
// A record's name: its number (one more than the newest before it), the local clock time the
// run was made, and the volume of its folder, "00000042-20261209-161500-00000000c0ffee00.log".
// Once a later run was made, a record taken back before it can never be made again: its name
// then ends in ".old" instead.
//
// The history keeps the newest kHistoryRecords records within kHistoryBytes; the oldest go
// first, except a record whose run or undo did not finish, which its folder still needs.
const int kHistoryRecords = 100;
const uint64_t kHistoryBytes = 64ull * 1024 * 1024;

enum RecordState
{
    // The run's new names are in force: its run or a finished undo of its undo went through.
    RecordDone,
    // A finished undo took the run back.
    RecordTakenBack,
    // The run did not finish: killed, the power gone, or stopped with files under temporary
    // names.
    RecordRunOpen,
    // An undo that did not finish; the next undo finishes it.
    RecordUndoOpen,
    // The undo of an undo (the run made again) did not finish.
    RecordRedoOpen,
    // Not a rename log, or it cannot be read.
    RecordUnreadable
};

struct HistoryRecord
{
    std::string path;
    uint32_t number = 0;
    // Local clock time the run was made, as "2019/05/01 10:00:00".
    std::string made;
    uint64_t volume = 0;
    bool sealed = false;
    uint64_t size = 0;
    // Read from the record.
    std::string folder;
    RecordState state = RecordUnreadable;
    // Its last act moved a file, or may have (a line cut short after its first name).
    bool moves = false;
    uint64_t runKey = 0;

    bool Open() const { return state == RecordRunOpen || state == RecordUndoOpen || state == RecordRedoOpen; }
};

class RunHistory
{
public:
    RunHistory(const std::string& folder, FileServices& fs) : folder(folder), fs(fs) {}

    const std::string& Folder() const { return folder; }

    // Creates the folder when it is missing and tells whether a record could be created in it.
    bool CanBeWritten();
    // Lists and reads the records, oldest first. A folder not made yet holds none; false only
    // when the folder is there but cannot be listed.
    bool Load();
    const std::vector<HistoryRecord>& Records() const { return records; }
    HistoryRecord& Record(int index) { return records[static_cast<size_t>(index)]; }

    // The record the next undo takes back: the newest that is done and moved a file, or whose
    // run, undo or redo did not finish (a redo cut short is finished first, then taken back:
    // an older run must not be taken back from under it); -1 when there is none.
    int NextUndo() const;
    // The record the next redo makes again: the one taken back last since the newest run was
    // made; -1 when there is none.
    int NextRedo() const;
    // A record of the folder (its full path, on the volume it is on now) whose run or undo did
    // not finish; -1 when there is none. A run cut short before its first move counts as none.
    int UnfinishedIn(const std::string& fullFolder) const;
    // Whether a record holds the run of a log read elsewhere (RenameLogParser::RunKey) made in
    // the folder of that full path.
    bool Holds(uint64_t runKey, const std::string& fullFolder) const;
    // The volume of the folder at fullFolder now; 0 when it cannot be told.
    uint64_t VolumeOf(const std::string& fullFolder) const;

    // Makes room for a new run's record and names it: records taken back are sealed, the
    // oldest ones go beyond the bound. Empty when the folder cannot be made.
    std::string NewRecordPath(const std::string& fullFolder, int64_t localNow);

private:
    bool SameFolder(const HistoryRecord& record, const std::string& fullFolder) const;
    void Seal();
    void Trim();

    std::string folder;
    FileServices& fs;
    std::vector<HistoryRecord> records;
};

// A folder's full path as the record holds it: without a final separator, unless it is a root.
std::string RecordFolder(const char* folder, FileServices& fs);

#endif
