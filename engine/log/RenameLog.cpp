#include "engine/log/RenameLog.h"

#include "core/CountedString.h"
#include "engine/FileEntry.h"

LogWriter::~LogWriter()
{
    if (handle)
        fs.CloseLog(handle);
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

void LogWriter::WriteHeader(const CountedString& folder)
{
    if (folder.Length() > 0)
        Write(folder.Data(), folder.Length());
    Write("\r\n", 2);
}

void LogWriter::Write(const char* bytes, int count)
{
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
    char line[kFormatBufferSize];
    const int length = FormatStepLine(line, from, to, failure, error, fs);
    Write(line, length);
    ++steps;
}

void LogWriter::BeginUndoSection(const std::string& completion, const std::string& folder, bool newSection)
{
    const std::string opening = newSection ? completion + SectionHeader(folder) : completion;
    Write(opening.data(), static_cast<int>(opening.size()));
}

void LogWriter::WriteUndoFinished(const std::string& completion)
{
    const std::string finished = completion + kUndoFinishedLine + "\r\n";
    Write(finished.data(), static_cast<int>(finished.size()));
}

void FileEntry::WriteLogLine(LogWriter& log) const
{
    log.WriteStep(loggedFrom, loggedTo, stepFailure, stepError);
}
