#ifndef QUILLOWBY_ENGINE_UNDO_UNDO_PLAN_H
#define QUILLOWBY_ENGINE_UNDO_UNDO_PLAN_H

#include "engine/FileEntry.h"
#include "engine/log/RenameLogReader.h"
#include "engine/platform/PathNames.h"
#include "engine/undo/UndoOutcome.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class LogWriter;

// Sets the refusal and its name; false, so that a refused step can return it.
bool RefuseUndo(UndoOutcome& outcome, UndoRefusal refusal, const std::string& name = std::string());

// One file the record moved, followed through its steps.
struct UndoFile
{
    std::unique_ptr<FileEntry> entry;
    // Its steps, newest first; next is the one to take back now.
    std::vector<size_t> steps;
    size_t next;
    // The file is not where the record says, or a step of it could not be taken back.
    bool stopped;
    // Where the file is, nothing tells any more.
    bool lost;
    std::string before;
};

// The record read back and the files it moved; the walk asks it, and changes only the files.
class UndoPlan
{
public:
    explicit UndoPlan(FileServices& fs) : fs(fs), parser(fs, &steps), logSize(0), endsInNuls(false), onlyFinishes(false)
    {
    }

    // Reads the log, follows the files of the record to take back, and lists the folder.
    bool Prepare(const char* logPath, UndoOutcome& outcome);
    // What the undo writes before its steps.
    void WriteOpening(LogWriter& log, const std::string& folder) const;

    const std::vector<LoggedStep>& Steps() const { return steps; }
    const std::vector<std::unique_ptr<UndoFile>>& Files() const { return files; }
    // The file the step moved; null for a step that moved nothing for good.
    UndoFile* FileOf(size_t step) const { return fileOfStep[step]; }
    // A record names files only: a name of it that leads to a folder leads to no file of it.
    bool IsFolder(const char* name) const { return folders.count(NameKey(name, fs)) != 0; }
    // The size of the log as read, to cut it back to; NUL bytes it ends in are not counted.
    int64_t LogSize() const { return logSize; }
    // The log ends in NUL bytes, which go before the undo writes.
    bool EndsInNuls() const { return endsInNuls; }
    // The last undo made all its moves but did not live to say so: this one only says it.
    bool OnlyFinishes() const { return onlyFinishes; }
    // The record is written ahead of its moves, and so is the undo's.
    bool WritesAhead() const { return parser.WritesAhead(); }

private:
    bool Read(const char* logPath, UndoOutcome& outcome);
    void SettleAnnounced(size_t first, const std::string& folder);
    bool ListNames(const std::string& folder, std::unordered_set<std::string>& names) const;
    bool Present(const std::string& name, const std::string& folder, const std::unordered_set<std::string>& names,
                 bool listed) const;
    bool FollowFiles(size_t first, UndoOutcome& outcome);
    bool SurveyFolder(size_t first, const char* logPath, UndoOutcome& outcome);

    FileServices& fs;
    std::vector<LoggedStep> steps;
    RenameLogParser parser;
    int64_t logSize;
    bool endsInNuls;
    std::string completion;
    bool onlyFinishes;
    std::vector<std::unique_ptr<UndoFile>> files;
    std::vector<UndoFile*> fileOfStep;
    // Steps that moved nothing: announced and taken back, or not made before the record
    // stopped; notMade are those the undo takes back in its own record first.
    std::vector<bool> noMove;
    std::vector<size_t> notMade;
    // The folder's sub-folders, as the file system compares names.
    std::unordered_set<std::string> folders;
};

// Counts and names the files whose steps could not all be taken back.
void CountNotBack(const UndoPlan& plan, UndoOutcome& outcome);

#endif
