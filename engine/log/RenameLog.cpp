#include "engine/log/RenameLog.h"

#include "core/CountedString.h"

#include <cstring>

namespace {

// A power cut takes at most the lines of this many moves from the record, and a flush per
// so many steps costs little beside the moves themselves.
const int kStepsPerFlush = 256;
// The record is handed to the system in pieces of about this size, or at a Sync.
const size_t kRecordBufferBytes = 65536;

}  // namespace

LogWriter::~LogWriter()
{
    Sync();
    if (handle)
        fs.CloseLog(handle);
    if (record)
        fs.CloseLog(record);
}

void LogWriter::OpenRecord(const char* path)
{
    record = fs.CreateLog(path, 0);
    recordComplete = record != nullptr;
    writesAhead = true;
}

void LogWriter::WriteDurable(const char* bytes, int count)
{
    if (record)
        WriteRecord(bytes, count);
    else if (handle && !fs.WriteLog(handle, bytes, count))
        complete = false;
}

void LogWriter::Announce(const char* from, const char* to)
{
    char line[kStepLineSize];
    WriteDurable(line, FormatStepLine(line, from, to, FailureNone, 0));
}

void LogWriter::TakeBackAnnounced(const char* from, const char* to)
{
    char line[kStepLineSize];
    WriteDurable(line, FormatStepLine(line, from, to, FailureNotMade, 0));
}

void LogWriter::ConfirmMoves()
{
    const std::string line = std::string(kMovesMadeLine) + kLineEnd;
    WriteDurable(line.data(), static_cast<int>(line.size()));
}

// Once a write did not land, nothing more goes to the record: a line after a missing one
// would tell an undo of a move without the one before it.
void LogWriter::WriteRecord(const char* bytes, int count)
{
    if (record == nullptr || !recordComplete)
        return;
    recordBuffer.append(bytes, static_cast<size_t>(count));
    if (recordBuffer.size() < kRecordBufferBytes)
        return;
    if (!fs.WriteLog(record, recordBuffer.data(), static_cast<int>(recordBuffer.size())))
        recordComplete = false;
    recordBuffer.clear();
}

void LogWriter::FinishRecord()
{
    if (record == nullptr)
        return;
    const std::string line = std::string(kRunFinishedLine) + kLineEnd;
    WriteRecord(line.data(), static_cast<int>(line.size()));
    Sync();
}

void LogWriter::Open(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return;
    handle = fs.CreateLog(path, fs.KeptAttributes(path));
    complete = handle != nullptr;
}

void LogWriter::OpenToAppend(const char* path)
{
    handle = fs.AppendLog(path);
    complete = handle != nullptr;
    appending = true;
}

bool LogCanBeCreated(const char* path, FileServices& fs)
{
    if (!fs.Exists(path))
        return fs.CanCreateFile(path);
    LogHandle log = fs.AppendLog(path);
    if (log)
        fs.CloseLog(log);
    return log != nullptr;
}

void LogWriter::WriteHeader(const CountedString& folder, const std::string& recordFolder)
{
    if (handle && folder.Length() > 0 && !fs.WriteLog(handle, folder.Data(), folder.Length()))
        complete = false;
    if (handle && !fs.WriteLog(handle, kLineEnd, 2))
        complete = false;
    const std::string line = recordFolder + kLineEnd + kMovesMadeLine + kLineEnd;
    WriteRecord(line.data(), static_cast<int>(line.size()));
    Sync();
}

void LogWriter::Write(const char* bytes, int count)
{
    WriteRecord(bytes, count);
    if (handle == nullptr)
        return;
    if (!fs.WriteLog(handle, bytes, count))
        complete = false;
}

void LogWriter::CutBack(int64_t size)
{
    if (handle && !fs.TruncateLog(handle, size))
        complete = false;
}

void LogWriter::WriteStep(const char* from, const char* to, StepFailure failure, int error)
{
    char line[kStepLineSize];
    const int length = FormatStepLine(line, from, to, failure, error);
    ++steps;
    // A move written ahead is on the record already.
    if (writesAhead && failure == FailureNone && std::strcmp(from, to) != 0) {
        if (record && handle && !fs.WriteLog(handle, line, length))
            complete = false;
        return;
    }
    Write(line, length);
    if (++unflushed >= kStepsPerFlush)
        Sync();
}

// An undo appends to the record it takes back, which may be the history's: it is flushed
// as a record is.
void LogWriter::Sync()
{
    unflushed = 0;
    if (record && recordComplete && !recordBuffer.empty()) {
        if (!fs.WriteLog(record, recordBuffer.data(), static_cast<int>(recordBuffer.size())))
            recordComplete = false;
        recordBuffer.clear();
    }
    if (record && !fs.FlushLog(record))
        recordComplete = false;
    if (appending && handle && !fs.FlushLog(handle))
        complete = false;
}

void LogWriter::BeginUndoSection(const std::string& completion, const std::string& folder, bool newSection)
{
    const std::string opening = newSection ? completion + SectionHeader(folder) : completion;
    Write(opening.data(), static_cast<int>(opening.size()));
}

void LogWriter::WriteUndoFinished(const std::string& completion)
{
    const std::string finished = completion + kUndoFinishedLine + kLineEnd;
    Write(finished.data(), static_cast<int>(finished.size()));
}
