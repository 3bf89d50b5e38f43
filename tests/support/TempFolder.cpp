#include "tests/support/TempFolder.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32
std::wstring WideOf(const std::string& bytes)
{
    if (bytes.empty())
        return std::wstring();
    int count = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], count);
    return wide;
}
#endif

namespace {

#ifdef _WIN32
bool RemoveWide(const std::wstring& folder)
{
    bool removed = true;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = folder + L"\\" + name;
            bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            // A junction is removed as the link it is: what it leads to is not the tree's.
            if (isFolder && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
                removed = RemoveWide(child) && removed;
            } else if (isFolder) {
                removed = RemoveDirectoryW(child.c_str()) && removed;
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                removed = DeleteFileW(child.c_str()) && removed;
            }
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    return RemoveDirectoryW(folder.c_str()) && removed;
}
#endif

}  // namespace

#ifdef _WIN32
std::wstring LongForm(const std::string& path)
{
    std::wstring wide = WideOf(path);
    DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return wide;
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return wide;
    full.resize(length);
    // A network path has a long form of its own; left as it is, it stays within MAX_PATH.
    return full.compare(0, 2, L"\\\\") == 0 ? full : L"\\\\?\\" + full;
}

bool MakeTempFolder(const char* prefix, std::string& path)
{
    char base[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof base, base);
    if (length == 0 || length > MAX_PATH)
        return false;
    static std::atomic<unsigned> serial(0);
    for (;;) {
        path = std::string(base) + prefix + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(serial++);
        if (CreateDirectoryA(path.c_str(), nullptr))
            return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            path.clear();
            return false;
        }
    }
}

bool RemoveTree(const std::string& folder)
{
    return RemoveWide(LongForm(folder));
}
#else
bool MakeTempFolder(const char* prefix, std::string& path)
{
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr)
        return false;
    path = buffer.data();
    return true;
}

bool RemoveTree(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    bool removed = true;
    while (const dirent* item = readdir(dir)) {
        if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0)
            continue;
        struct stat info;
        if (fstatat(dirfd(dir), item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode))
            removed = RemoveTree(folder + "/" + item->d_name) && removed;
        else
            removed = unlinkat(dirfd(dir), item->d_name, 0) == 0 && removed;
    }
    closedir(dir);
    return rmdir(folder.c_str()) == 0 && removed;
}
#endif

TempFolder::TempFolder() : TempFolder(0) {}

TempFolder::TempFolder(size_t pathLength)
{
    // A test that went on without its folder would write wherever an empty path leads.
    bool made = MakeTempFolder("qbtest", top);
    path = top;
    while (made && path.size() + 1 < pathLength) {
        path += Separator() + std::string(std::min<size_t>(200, pathLength - path.size() - 1), 'd');
#ifdef _WIN32
        made = CreateDirectoryW(LongForm(path).c_str(), nullptr) != FALSE;
#else
        made = mkdir(path.c_str(), 0755) == 0;
#endif
    }
    if (!made) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        std::abort();
    }
}

TempFolder::~TempFolder()
{
    RemoveTree(top);
}

char TempFolder::Separator()
{
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

#ifdef _WIN32
bool WriteWholeFile(const std::wstring& path, const std::string& content)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(content.size());
    bool whole = SetEndOfFile(file) && (size == 0 || WriteFile(file, content.data(), size, &written, nullptr)) &&
                 written == size;
    CloseHandle(file);
    return whole;
}

bool ReadWholeFile(const std::wstring& path, std::string& content)
{
    content.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[65536];
    DWORD got = 0;
    BOOL read = FALSE;
    while ((read = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return read != FALSE;
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::string content;
    ReadWholeFile(path, content);
    return content;
}

bool TempFolder::Write(const std::string& name, const std::string& content) const
{
    return WriteWholeFile(LongForm(PathOf(name)), content);
}

std::string ReadWholeFile(const std::string& path)
{
    return ReadWholeFile(LongForm(path));
}
#else
bool TempFolder::Write(const std::string& name, const std::string& content) const
{
    std::ofstream file(PathOf(name).c_str(), std::ios::binary | std::ios::trunc);
    file << content;
    return static_cast<bool>(file);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}
#endif

std::string TempFolder::Read(const std::string& name) const
{
    return ReadWholeFile(PathOf(name));
}

bool TempFolder::MakeFolder(const std::string& name) const
{
#ifdef _WIN32
    return CreateDirectoryW(LongForm(PathOf(name)).c_str(), nullptr) != FALSE;
#else
    return mkdir(PathOf(name).c_str(), 0755) == 0;
#endif
}

bool TempFolder::Exists(const std::string& name) const
{
#ifdef _WIN32
    return GetFileAttributesW(LongForm(PathOf(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat info;
    return lstat(PathOf(name).c_str(), &info) == 0;
#endif
}

bool TempFolder::SetHidden(const std::string& name, bool system) const
{
#ifdef _WIN32
    DWORD attributes = FILE_ATTRIBUTE_HIDDEN | (system ? FILE_ATTRIBUTE_SYSTEM : 0);
    return SetFileAttributesW(LongForm(PathOf(name)).c_str(), attributes) != FALSE;
#else
    (void)name;
    (void)system;
    return true;
#endif
}

bool TempFolder::SetModifiedTime(const std::string& name, int64_t seconds, int32_t nanoseconds) const
{
#ifdef _WIN32
    return SetLastWriteTime(LongForm(PathOf(name)), seconds, nanoseconds);
#else
    return SetLastWriteTime(PathOf(name), seconds, nanoseconds);
#endif
}

#ifdef _WIN32
bool SetLastWriteTime(const std::wstring& path, int64_t seconds, int32_t nanoseconds)
{
    HANDLE file =
        CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    uint64_t intervals = static_cast<uint64_t>(seconds * 10000000 + nanoseconds / 100 + 116444736000000000LL);
    FILETIME written = {static_cast<DWORD>(intervals), static_cast<DWORD>(intervals >> 32)};
    bool set = SetFileTime(file, nullptr, nullptr, &written) != FALSE;
    CloseHandle(file);
    return set;
}
#else
bool SetLastWriteTime(const std::string& path, int64_t seconds, int32_t nanoseconds)
{
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = nanoseconds;
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}
#endif

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((LongForm(path) + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // As the ANSI listing gives them: a character the code page cannot hold becomes a
            // look-alike or "?".
            char name[MAX_PATH * 2];
            if (WideCharToMultiByte(CP_ACP, 0, data.cFileName, -1, name, sizeof name, nullptr, nullptr) > 0)
                names.push_back(name);
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
#else
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* item = readdir(dir))
            names.push_back(item->d_name);
        closedir(dir);
    }
#endif
    names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return n == "." || n == ".."; }),
                names.end());
    std::sort(names.begin(), names.end());
    return names;
}

#ifdef _WIN32
bool MakeHardLink(const std::string& existing, const std::string& link)
{
    return CreateHardLinkA(link.c_str(), existing.c_str(), nullptr) != FALSE;
}

std::string ShortPathOf(const std::string& path)
{
    char shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return length > 0 && length < sizeof shortPath ? shortPath : std::string();
}
#else
bool MakeHardLink(const std::string& existing, const std::string& link)
{
    return ::link(existing.c_str(), link.c_str()) == 0;
}

bool MakeSymbolicLink(const std::string& target, const std::string& link)
{
    return symlink(target.c_str(), link.c_str()) == 0;
}
#endif
