#ifndef QUILLOWBY_ENGINE_LOG_RENAME_LOG_H
#define QUILLOWBY_ENGINE_LOG_RENAME_LOG_H

#include "engine/log/LogFormat.h"
#include "engine/platform/FileServices.h"

#include <string>

class CountedString;

// The run's log file (LogFormat.h): created or emptied when opened, written one line per
// write so that a log cut short by a crash ends at the last step taken, closed when the
// owner goes. A run writes the same lines to its record in the history of runs too, which
// is flushed to the disk as it grows.
class LogWriter
{
public:
    explicit LogWriter(FileServices& fs)
        : fs(fs), handle(nullptr), complete(false), record(nullptr), recordComplete(false), appending(false),
          writesAhead(false), unflushed(0), steps(0)
    {
    }
    ~LogWriter();

    // A log that cannot be created leaves the writer without a file; the run goes on.
    void Open(const char* path);
    // Writes after the end of an existing log instead; without it the writer has no file.
    void OpenToAppend(const char* path);
    // Creates the record of the run in the history at path, which no file has yet. Its moves
    // are written ahead (WriteAhead.h): the record takes a step line that moved a file only
    // through Announce.
    void OpenRecord(const char* path);
    // An undo appending to a record written ahead writes ahead in turn.
    void WriteAheadToLog() { writesAhead = true; }
    bool WritesAhead() const { return writesAhead; }
    // The line of a move to come, on the record only; Sync makes it reach the disk.
    void Announce(const char* from, const char* to);
    // Takes back an announced move that was not made.
    void TakeBackAnnounced(const char* from, const char* to);
    // kMovesMadeLine: every move announced so far and not taken back is made.
    void ConfirmMoves();
    // Makes what the record took reach the disk.
    void Sync();
    // The folder line, from the folder's stored length of bytes; the record's is recordFolder,
    // the folder's full path.
    void WriteHeader(const CountedString& folder, const std::string& recordFolder = std::string());
    // Ends the record of a run that went through, and makes all of it reach the disk.
    void FinishRecord();
    // Cuts the file back to the size it had, after a write that did not land whole, or to
    // the size it has before NUL bytes it ends in. A cut that fails makes the log incomplete.
    void CutBack(int64_t size);
    // One step's line; error is the platform's code for a failed step, 0 when it gave none.
    void WriteStep(const char* from, const char* to, StepFailure failure, int error);
    // An undo's first write, in one piece: completion, the bytes that end the line the log
    // stops in, then the section header, unless the undo goes on in the last section, which
    // an undo stopped right after its header left empty.
    void BeginUndoSection(const std::string& completion, const std::string& folder, bool newSection);
    // kUndoFinishedLine, after completion when an undo only says what the last one did not
    // live to say.
    void WriteUndoFinished(const std::string& completion = std::string());

    // Created, and every write landed whole.
    bool Complete() const { return handle != nullptr && complete; }
    // The record was created and took every write.
    bool RecordComplete() const { return record != nullptr && recordComplete; }
    // Every write of the record, or of the log an undo writes ahead to, landed whole.
    bool DurableComplete() const { return record ? recordComplete : Complete(); }
    // Step lines written, whether or not there is a file to take them: a run without a log
    // takes its steps all the same.
    int Steps() const { return steps; }

private:
    LogWriter(const LogWriter&);
    LogWriter& operator=(const LogWriter&);

    void Write(const char* bytes, int count);
    void WriteRecord(const char* bytes, int count);
    // The record, or the log an undo appends to a record written ahead.
    void WriteDurable(const char* bytes, int count);

    FileServices& fs;
    LogHandle handle;
    bool complete;
    LogHandle record;
    bool recordComplete;
    bool appending;
    bool writesAhead;
    // What the record took and has not yet handed to the system: it reaches the disk at the
    // next Sync, in one write.
    std::string recordBuffer;
    // Step lines the record took since it was last flushed.
    int unflushed;
    int steps;
};

// Whether a run could create its log at path, found out before the run: a file there is
// opened to write after its end and left as it was; where nothing is, a file is created and
// removed again. A run empties a file that may be written as a hidden or system one keeps
// (Open gives its KeptAttributes), so that the answer holds for those too.
bool LogCanBeCreated(const char* path, FileServices& fs);

#endif
