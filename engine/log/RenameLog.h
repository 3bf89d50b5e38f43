#ifndef QUILLOWBY_ENGINE_LOG_RENAME_LOG_H
#define QUILLOWBY_ENGINE_LOG_RENAME_LOG_H

#include "engine/platform/FileServices.h"

class CountedString;

// The run's log file: created or emptied when opened, written one line per write so that
// a log cut short by a crash ends at the last step taken, closed when the owner goes.
class LogWriter
{
public:
    explicit LogWriter(FileServices& fs) : fs(fs), handle(nullptr), complete(false) {}
    ~LogWriter();

    // A log that cannot be created leaves the writer without a file; the run goes on.
    void Open(const char* path);
    // Writes after the end of an existing log instead; without it the writer has no file.
    void OpenToAppend(const char* path);
    // The folder exactly as typed: its stored length of bytes, then CR LF.
    void WriteHeader(const CountedString& folder);
    void Write(const char* bytes, int count);
    // Cuts the file back to the size it had, after a write that did not land whole.
    void CutBack(int64_t size);
    // One step's line: from, TAB, "->", TAB, to; a step that failed (failure not null) adds
    // a TAB and why, with the platform's error code when it gave one; then CR LF.
    void WriteStep(const char* from, const char* to, const char* failure, int error);

    // Created, and every write landed whole.
    bool Complete() const { return handle != nullptr && complete; }

private:
    LogWriter(const LogWriter&);
    LogWriter& operator=(const LogWriter&);

    FileServices& fs;
    LogHandle handle;
    bool complete;
};

// Whether a run could create its log at path, found out before the run: a file there is
// opened to write after its end and left as it was; where nothing is, a file is created and
// removed again.
bool LogCanBeCreated(const char* path, FileServices& fs);

#endif
