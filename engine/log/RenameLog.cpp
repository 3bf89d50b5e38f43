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
    handle = fs.CreateLog(path);
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
    if (handle)
        fs.TruncateLog(handle, size);
}

void LogWriter::WriteStep(const char* from, const char* to, const char* failure, int error)
{
    char line[kFormatBufferSize];
    int length;
    if (failure == nullptr)
        length = fs.Format(line, "%s\t->\t%s\r\n", from, to);
    else if (error != 0)
        length = fs.Format(line, "%s\t->\t%s\t%s (error %d)\r\n", from, to, failure, error);
    else
        length = fs.Format(line, "%s\t->\t%s\t%s\r\n", from, to, failure);
    Write(line, length);
}

void FileEntry::WriteLogLine(LogWriter& log) const
{
    log.WriteStep(loggedFrom, loggedTo, stepFailure, stepError);
}
