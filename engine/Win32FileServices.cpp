// The file services on Windows: the ANSI calls, so names are bytes of the ANSI code page.
#include "engine/FileServices.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>

namespace {

void Fill(FoundFile& found, const WIN32_FIND_DATAA& data)
{
    found.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::memcpy(found.name, data.cFileName, sizeof found.name);
    found.name[kFoundNameSize - 1] = '\0';
    // Windows never allows "?" in a name: the search put it where the code page has no
    // bytes for a character, so the name would reach another file or none.
    found.unreachable = std::strchr(found.name, '?') != nullptr;
}

// Identity of an existing file or folder, whatever name reaches it.
bool Identify(const char* path, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    return known;
}

class Win32FileServices : public FileServices
{
public:
    SearchHandle FindFirst(const char* pattern, FoundFile& first) override
    {
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(pattern, &data);
        if (search == INVALID_HANDLE_VALUE)
            return nullptr;
        Fill(first, data);
        return search;
    }

    FindNextResult FindNext(SearchHandle search, FoundFile& next) override
    {
        WIN32_FIND_DATAA data;
        if (!FindNextFileA(static_cast<HANDLE>(search), &data))
            return GetLastError() == ERROR_NO_MORE_FILES ? FindNextEnd : FindNextError;
        Fill(next, data);
        return FindNextFound;
    }

    void FindClose(SearchHandle search) override { ::FindClose(static_cast<HANDLE>(search)); }

    bool FolderExists(const char* path) override
    {
        // A search on a root with its backslash finds nothing; its attributes tell.
        size_t length = std::strlen(path);
        if (length > 0 && path[length - 1] == '\\')
            return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(path, &data);
        if (search == INVALID_HANDLE_VALUE)
            return false;
        ::FindClose(search);
        return true;
    }

    bool Exists(const char* path) override { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

    MoveResult Move(const char* from, const char* to, int& error) override
    {
        error = 0;
        if (MoveFileA(from, to))
            return MoveDone;
        DWORD code = GetLastError();
        error = static_cast<int>(code);
        return (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) ? MoveTargetTaken : MoveFailed;
    }

    bool SameFile(const char* a, const char* b) override
    {
        BY_HANDLE_FILE_INFORMATION infoA, infoB;
        return Identify(a, infoA) && Identify(b, infoB) &&
               infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
               infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
    }

    LogHandle CreateLog(const char* path) override
    {
        HANDLE log = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        return log == INVALID_HANDLE_VALUE ? nullptr : log;
    }

    bool WriteLog(LogHandle log, const void* bytes, int count) override
    {
        DWORD written = 0;
        return WriteFile(static_cast<HANDLE>(log), bytes, static_cast<DWORD>(count), &written, nullptr) &&
               written == static_cast<DWORD>(count);
    }

    void CloseLog(LogHandle log) override { CloseHandle(static_cast<HANDLE>(log)); }

    int FormatV(char* buffer, const char* format, va_list args) override
    {
        return wvsprintfA(buffer, format, args);
    }

    bool IsLeadByte(unsigned char c) const override { return IsDBCSLeadByte(c) != FALSE; }
    char Separator() const override { return '\\'; }
};

}  // namespace

FileServices& PlatformFileServices()
{
    static Win32FileServices services;
    return services;
}
