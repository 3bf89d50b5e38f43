#ifndef QUILLOWBY_ENGINE_PLATFORM_FORWARDING_FILE_SERVICES_H
#define QUILLOWBY_ENGINE_PLATFORM_FORWARDING_FILE_SERVICES_H

#include "engine/platform/FileServices.h"

// File services that hand every call to other ones. A wrapper that changes a few calls
// derives from it and overrides only those, so that a call added to FileServices reaches
// the real services through every wrapper.
class ForwardingFileServices : public FileServices
{
public:
    explicit ForwardingFileServices(FileServices& real) : real(real) {}

    ForwardingFileServices(const ForwardingFileServices&) = delete;
    ForwardingFileServices& operator=(const ForwardingFileServices&) = delete;

    SearchHandle FindFirst(const char* pattern, FoundFile& first) override { return real.FindFirst(pattern, first); }
    FindNextResult FindNext(SearchHandle search, FoundFile& next) override { return real.FindNext(search, next); }
    void FindClose(SearchHandle search) override { real.FindClose(search); }
    bool FolderExists(const char* path) override { return real.FolderExists(path); }
    bool Exists(const char* path) override { return real.Exists(path); }
    MoveResult Move(const char* from, const char* to, int& error) override { return real.Move(from, to, error); }
    bool Identify(const char* path, FileIdentity& identity) override { return real.Identify(path, identity); }
    bool SameName(const char* a, const char* b) const override { return real.SameName(a, b); }
    uint32_t KeptAttributes(const char* path) override { return real.KeptAttributes(path); }
    LogHandle CreateLog(const char* path, uint32_t keptAttributes) override
    {
        return real.CreateLog(path, keptAttributes);
    }
    LogHandle AppendLog(const char* path) override { return real.AppendLog(path); }
    bool CanCreateFile(const char* path) override { return real.CanCreateFile(path); }
    bool WriteLog(LogHandle log, const void* bytes, int count) override { return real.WriteLog(log, bytes, count); }
    bool TruncateLog(LogHandle log, int64_t size) override { return real.TruncateLog(log, size); }
    void CloseLog(LogHandle log) override { real.CloseLog(log); }
    bool FlushLog(LogHandle log) override { return real.FlushLog(log); }
    bool CreateFolder(const char* path) override { return real.CreateFolder(path); }
    bool RemoveFile(const char* path) override { return real.RemoveFile(path); }
    ReadHandle OpenRead(const char* path, bool& fileThere) override { return real.OpenRead(path, fileThere); }
    int Read(ReadHandle file, void* buffer, int size) override { return real.Read(file, buffer, size); }
    int ReadAt(ReadHandle file, uint64_t offset, void* buffer, int size) override
    {
        return real.ReadAt(file, offset, buffer, size);
    }
    ReadHandle OpenReadWithInfo(const char* path, uint64_t& size, WriteTime& written) override
    {
        return real.OpenReadWithInfo(path, size, written);
    }
    void CloseRead(ReadHandle file) override { real.CloseRead(file); }
    bool LastWriteTime(const char* path, WriteTime& written, bool& offline) override
    {
        return real.LastWriteTime(path, written, offline);
    }
    int64_t LocalClock(int64_t utcSeconds) override { return real.LocalClock(utcSeconds); }
    int FormatV(char* buffer, const char* format, va_list args) override { return real.FormatV(buffer, format, args); }
    bool IsLeadByte(unsigned char c) const override { return real.IsLeadByte(c); }
    char Separator() const override { return real.Separator(); }
    int LongestPath() const override { return real.LongestPath(); }
    bool IgnoresCase() const override { return real.IgnoresCase(); }
    char32_t UpperCase(char32_t c) const override { return real.UpperCase(c); }
    std::string FullPath(const char* path) override { return real.FullPath(path); }

protected:
    FileServices& real;
};

#endif
