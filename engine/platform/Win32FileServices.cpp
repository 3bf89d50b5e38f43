// The file services on Windows: the wide calls, with names in the engine's form (bytes of the
// ANSI code page, escapes for what it cannot hold) and long paths in the long form.
#include "engine/platform/FileServices.h"

#include "engine/platform/PathNames.h"
#include "engine/platform/WildcardMatch.h"
#include "engine/platform/Win32WideNames.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// Below the lean windows.h: the owners' header includes windows.h as well, whole.
#include "engine/platform/Win32Owners.h"

#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <unordered_set>

namespace {

// Attributes of a file whose data lies elsewhere (a cloud placeholder); not every SDK has the
// newer two.
const DWORD kOfflineAttributes = 0x1000 | 0x40000 | 0x400000;
// Both together mark a file the system keeps for the folder (desktop.ini, Thumbs.db).
const DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// 100-nanosecond intervals from 1601-01-01 to 1970-01-01.
const int64_t kFileTimeOf1970 = 116444736000000000LL;
const int64_t kIntervalsPerSecond = 10000000;

WriteTime WriteTimeOf(const FILETIME& time)
{
    int64_t intervals = static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    int64_t since1970 = intervals - kFileTimeOf1970;
    int64_t seconds = since1970 / kIntervalsPerSecond;
    int64_t rest = since1970 % kIntervalsPerSecond;
    if (rest < 0) {
        rest += kIntervalsPerSecond;
        --seconds;
    }
    return WriteTime{seconds, static_cast<int32_t>(rest * 100)};
}

// The characters of a name as the file system holds them: UTF-16 units.
std::u32string Characters(const wchar_t* wide)
{
    std::u32string characters;
    for (const wchar_t* unit = wide; *unit; ++unit)
        characters.push_back(static_cast<char32_t>(*unit));
    return characters;
}

std::u32string Characters(const char* text)
{
    std::wstring wide;
    ToWide(text, wide);
    return Characters(wide.c_str());
}

// Letter case compared with the system's own upper-case table, the one the file system uses.
bool SameCharacter(char32_t a, char32_t b)
{
    WCHAR x = static_cast<WCHAR>(a);
    WCHAR y = static_cast<WCHAR>(b);
    return x == y || CompareStringOrdinal(&x, 1, &y, 1, TRUE) == CSTR_EQUAL;
}

// An open search and what it has listed so far, so that a name which does not lead back to
// its own file can be told apart.
struct Win32Search
{
    HANDLE handle;
    std::string folder;
    // The search also matches the mask against the short names, so that "*.jpg" lists
    // c.jpg_old (short name C~1.JPG); only names whose long form matches are taken.
    std::u32string mask;
    std::unordered_set<std::string> listed;

    bool Matches(const WIN32_FIND_DATAW& data) const
    {
        return MatchesMask(Characters(data.cFileName), mask, SameCharacter);
    }

    // The search is made in UTF-16, so that a name the ANSI code page reaches only through a
    // look-alike is told apart; the engine gets it with "?" in place of what it cannot hold.
    void Fill(FoundFile& found, const WIN32_FIND_DATAW& data)
    {
        found.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bool fits = ToEngine(data.cFileName, found.name, sizeof found.name) >= 0;
        found.identityKnown = false;
        if (ToEngine(data.cAlternateFileName, found.shortName, sizeof found.shortName) < 0)
            found.shortName[0] = '\0';
        found.unreachable = !found.isDirectory && (!fits || !Reachable(found.name));
        found.writeTimeKnown = true;
        found.written = WriteTimeOf(data.ftLastWriteTime);
        found.offline = (data.dwFileAttributes & kOfflineAttributes) != 0;
        found.hiddenSystem = (data.dwFileAttributes & kHiddenSystem) == kHiddenSystem;
    }

    // Windows never allows "?" in a name. A name that comes twice in the listing, or leads to
    // no file, would have the run miss the file or move someone else's.
    bool Reachable(const char* name)
    {
        if (std::strchr(name, '?') != nullptr)
            return false;
        // A separator would lead into a sub-folder or out of this one.
        if (HoldsSeparator(name, PlatformFileServices()))
            return false;
        if (!listed.insert(FoldedName(name, PlatformFileServices())).second)
            return false;
        return GetFileAttributesW(WidePath((folder + name).c_str()).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

// What the system knows of a file by an open handle to it; the handle is closed again before
// the caller goes on.
bool FileInformation(const char* path, BY_HANDLE_FILE_INFORMATION& info)
{
    KernelHandle file(CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.IsValid() && GetFileInformationByHandle(file.Get(), &info) != FALSE;
}

// A name as Windows stores it: a final dot or space is dropped.
std::u32string StoredCharacters(const char* name)
{
    std::u32string characters = Characters(name);
    while (!characters.empty() && (characters.back() == '.' || characters.back() == ' '))
        characters.pop_back();
    return characters;
}

// A file the mask takes by its short name alone, as FoundFile::maskedOut lists it.
void AddMaskedOut(std::string& names, const WIN32_FIND_DATAW& data)
{
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return;
    names += ToEngine(data.cFileName);
    names += '\0';
}

class Win32FileServices : public FileServices
{
public:
    SearchHandle FindFirst(const char* pattern, FoundFile& first) override
    {
        std::wstring widePattern = WidePath(pattern);
        if (widePattern.empty())
            return nullptr;
        WIN32_FIND_DATAW data;
        FindHandle handle(FindFirstFileW(widePattern.c_str(), &data));
        if (!handle.IsValid())
            return nullptr;
        std::unique_ptr<Win32Search> search(new Win32Search);
        search->folder.assign(pattern, static_cast<size_t>(FinalComponent(pattern, *this) - pattern));
        search->mask = Characters(pattern + search->folder.size());
        std::string maskedOut;
        while (!search->Matches(data)) {
            AddMaskedOut(maskedOut, data);
            // Nothing matches by its long name: as if nothing matched at all.
            if (!FindNextFileW(handle.Get(), &data))
                return nullptr;
        }
        search->Fill(first, data);
        first.maskedOut = maskedOut;
        // The engine holds the search from here on and gives it back to FindClose.
        search->handle = handle.Release();
        return search.release();
    }

    FindNextResult FindNext(SearchHandle handle, FoundFile& next) override
    {
        Win32Search* search = static_cast<Win32Search*>(handle);
        WIN32_FIND_DATAW data;
        std::string maskedOut;
        while (FindNextFileW(search->handle, &data)) {
            if (search->Matches(data)) {
                search->Fill(next, data);
                next.maskedOut = maskedOut;
                return FindNextFound;
            }
            AddMaskedOut(maskedOut, data);
        }
        next.maskedOut = maskedOut;
        return GetLastError() == ERROR_NO_MORE_FILES ? FindNextEnd : FindNextError;
    }

    void FindClose(SearchHandle handle) override
    {
        Win32Search* search = static_cast<Win32Search*>(handle);
        ::FindClose(search->handle);
        delete search;
    }

    bool FolderExists(const char* path) override
    {
        // A search on a root with its backslash finds nothing; its attributes tell.
        if (EndsWithSeparator(path, *this))
            return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
        WIN32_FIND_DATAW data;
        FindHandle search(FindFirstFileW(WidePath(path).c_str(), &data));
        return search.IsValid();
    }

    bool Exists(const char* path) override
    {
        return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    MoveResult Move(const char* from, const char* to, int& error) override
    {
        error = 0;
        if (MoveFileW(WidePath(from).c_str(), WidePath(to).c_str()))
            return MoveDone;
        DWORD code = GetLastError();
        error = static_cast<int>(code);
        return (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) ? MoveTargetTaken : MoveFailed;
    }

    bool Identify(const char* path, FileIdentity& identity) override
    {
        BY_HANDLE_FILE_INFORMATION info;
        if (!FileInformation(path, info))
            return false;
        identity.volume = info.dwVolumeSerialNumber;
        identity.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        identity.links = info.nNumberOfLinks;
        return true;
    }

    bool SameName(const char* a, const char* b) const override
    {
        std::u32string x = StoredCharacters(a);
        std::u32string y = StoredCharacters(b);
        if (x.size() != y.size())
            return false;
        for (size_t i = 0; i < x.size(); ++i) {
            if (!SameCharacter(x[i], y[i]))
                return false;
        }
        return true;
    }

    // CREATE_ALWAYS over a hidden or system file fails with ERROR_ACCESS_DENIED unless the
    // file's own hidden and system attributes are given again.
    uint32_t KeptAttributes(const char* path) override
    {
        const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return 0;
        return attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    }

    LogHandle CreateLog(const char* path, uint32_t keptAttributes) override
    {
        const DWORD attributes = keptAttributes != 0 ? keptAttributes : FILE_ATTRIBUTE_NORMAL;
        HANDLE log = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
        return log == INVALID_HANDLE_VALUE ? nullptr : log;
    }

    LogHandle AppendLog(const char* path) override
    {
        // Written at its end, yet with the right to cut it back (TruncateLog).
        KernelHandle log(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!log.IsValid())
            return nullptr;
        LARGE_INTEGER none = {};
        if (!SetFilePointerEx(log.Get(), none, nullptr, FILE_END))
            return nullptr;
        // The engine holds the log from here on and gives it back to CloseLog.
        return log.Release();
    }

    // Removed by the system when the handle closes, so that no crash leaves it behind.
    bool CanCreateFile(const char* path) override
    {
        KernelHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        return file.IsValid();
    }

    bool WriteLog(LogHandle log, const void* bytes, int count) override
    {
        DWORD written = 0;
        return WriteFile(static_cast<HANDLE>(log), bytes, static_cast<DWORD>(count), &written, nullptr) &&
               written == static_cast<DWORD>(count);
    }

    bool TruncateLog(LogHandle log, int64_t size) override
    {
        LARGE_INTEGER at;
        at.QuadPart = size;
        return SetFilePointerEx(static_cast<HANDLE>(log), at, nullptr, FILE_BEGIN) &&
               SetEndOfFile(static_cast<HANDLE>(log));
    }

    void CloseLog(LogHandle log) override { CloseHandle(static_cast<HANDLE>(log)); }

    bool FlushLog(LogHandle log) override { return FlushFileBuffers(static_cast<HANDLE>(log)) != FALSE; }

    bool CreateFolder(const char* path) override
    {
        const std::wstring wide = WidePath(path);
        if (CreateDirectoryW(wide.c_str(), nullptr))
            return true;
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    bool RemoveFile(const char* path) override { return DeleteFileW(WidePath(path).c_str()) != FALSE; }

    ReadHandle OpenRead(const char* path, bool& fileThere) override
    {
        const std::wstring wide = WidePath(path);
        HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            fileThere = true;
            return file;
        }
        DWORD attributes = GetFileAttributesW(wide.c_str());
        fileThere = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        return nullptr;
    }

    int Read(ReadHandle file, void* buffer, int size) override
    {
        DWORD read = 0;
        if (!ReadFile(static_cast<HANDLE>(file), buffer, static_cast<DWORD>(size), &read, nullptr))
            return -1;
        return static_cast<int>(read);
    }

    int ReadAt(ReadHandle file, uint64_t offset, void* buffer, int size) override
    {
        OVERLAPPED at = OVERLAPPED();
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        if (!ReadFile(static_cast<HANDLE>(file), buffer, static_cast<DWORD>(size), &read, &at))
            return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
        return static_cast<int>(read);
    }

    // Not GetFileInformationByHandle: it also asks for the volume, which costs Wine a
    // hundred times more than the size and the time.
    ReadHandle OpenReadWithInfo(const char* path, uint64_t& size, WriteTime& written) override
    {
        bool fileThere = false;
        KernelHandle file(static_cast<HANDLE>(OpenRead(path, fileThere)));
        LARGE_INTEGER bytes;
        FILETIME lastWrite;
        if (!file.IsValid() || !GetFileSizeEx(file.Get(), &bytes) ||
            !GetFileTime(file.Get(), nullptr, nullptr, &lastWrite))
            return nullptr;
        size = static_cast<uint64_t>(bytes.QuadPart);
        written = WriteTimeOf(lastWrite);
        // The engine holds the file from here on and gives it back to CloseRead.
        return file.Release();
    }

    void CloseRead(ReadHandle file) override { CloseHandle(static_cast<HANDLE>(file)); }

    bool LastWriteTime(const char* path, WriteTime& written, bool& offline) override
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data))
            return false;
        written = WriteTimeOf(data.ftLastWriteTime);
        offline = (data.dwFileAttributes & kOfflineAttributes) != 0;
        return true;
    }

    // Through the time zone's rules for that date, so that a summer date keeps its summer
    // offset in winter; FileTimeToLocalFileTime would apply today's.
    int64_t LocalClock(int64_t utcSeconds) override
    {
        const int64_t earliest = -kFileTimeOf1970 / kIntervalsPerSecond;
        const int64_t latest = (INT64_MAX - kFileTimeOf1970) / kIntervalsPerSecond;
        if (utcSeconds < earliest || utcSeconds > latest)
            return utcSeconds;
        uint64_t intervals = static_cast<uint64_t>(utcSeconds * kIntervalsPerSecond + kFileTimeOf1970);
        FILETIME utcTime = {static_cast<DWORD>(intervals), static_cast<DWORD>(intervals >> 32)};
        SYSTEMTIME utc, local;
        FILETIME localTime;
        if (!FileTimeToSystemTime(&utcTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
            !SystemTimeToFileTime(&local, &localTime))
            return utcSeconds;
        return WriteTimeOf(localTime).seconds;
    }

    int FormatV(char* buffer, const char* format, va_list args) override { return wvsprintfA(buffer, format, args); }

    bool IsLeadByte(unsigned char c) const override { return IsDBCSLeadByte(c) != FALSE; }
    char Separator() const override { return '\\'; }
    // The long form holds 32,767 UTF-16 units, its prefix ("\\?\UNC\" in place of a UNC
    // path's "\\") among them.
    int LongestPath() const override { return 32767 - 6; }
    bool IgnoresCase() const override { return true; }
    char32_t UpperCase(char32_t c) const override
    {
        if (c > 0xFFFF)
            return c;
        WCHAR unit = static_cast<WCHAR>(c), upper = unit;
        return LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, &unit, 1, &upper, 1, nullptr, nullptr, 0) == 1
                   ? upper
                   : c;
    }

    std::string FullPath(const char* path) override
    {
        std::wstring wide;
        const std::wstring full = ToWide(path, wide) && !wide.empty() ? FullWidePath(wide) : std::wstring();
        return full.empty() ? std::string(path) : ToEngine(full.c_str());
    }
};

}  // namespace

FileServices& PlatformFileServices()
{
    static Win32FileServices services;
    return services;
}
