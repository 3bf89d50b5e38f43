#include "bench/BenchFolder.h"

#include "tests/support/TempFolder.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// Below the lean windows.h: the owners' header includes windows.h as well, whole.
#include "engine/platform/Win32Owners.h"

#include <cstdio>
#include <cstring>

static bool Complain(const char* what, const std::string& path)
{
    std::fprintf(stderr, "bench: %s %s: error %lu\n", what, path.c_str(), static_cast<unsigned long>(GetLastError()));
    return false;
}

static bool IsDotOrDotDot(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

static FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return (static_cast<FileId>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

bool PrepareBenchDir(std::string& dir, bool& madeHere)
{
    madeHere = dir.empty();
    if (madeHere) {
        return MakeTempFolder("quillowby-bench", dir) || Complain("cannot create a folder in", "the temporary folder");
    }
    if (!CreateDirectoryA(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return Complain("cannot create", dir);
    DWORD attributes = GetFileAttributesA(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        std::fprintf(stderr, "bench: not a folder: %s\n", dir.c_str());
        return false;
    }
    return true;
}

// Creates folder with one new file per source name of the job and hands each to fill while
// it is open to write. Windows has no call that flushes a whole volume for an ordinary user;
// the files are small, so mostly their folder entries wait to be written.
static bool MakeFiles(const std::string& folder, BenchJob job, int fileCount,
                      const std::function<bool(HANDLE file, int index, const std::string& path)>& fill)
{
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        return Complain("cannot create", folder);
    for (int i = 0; i < fileCount; ++i) {
        char name[kBenchNameSize];
        SourceName(job, i, name);
        std::string path = folder + "\\" + name;
        KernelHandle file(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid())
            return Complain("cannot create", path);
        if (!fill(file.Get(), i, path))
            return false;
    }
    return true;
}

bool MakeFolderOfFiles(const std::string& folder, BenchJob job, int fileCount, std::vector<FileId>& ids)
{
    ids.resize(static_cast<size_t>(fileCount));
    return MakeFiles(folder, job, fileCount, [&](HANDLE file, int index, const std::string& path) {
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(file, &info))
            return Complain("cannot identify", path);
        ids[static_cast<size_t>(index)] = IdOf(info);
        return true;
    });
}

bool MakeFolderOfContents(const std::string& folder, BenchJob job, int fileCount,
                          const std::function<std::string(int)>& content)
{
    return MakeFiles(folder, job, fileCount, [&](HANDLE file, int index, const std::string& path) {
        std::string bytes = content(index);
        DWORD written = 0;
        return (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                written == bytes.size()) ||
               Complain("cannot write", path);
    });
}

// Hands every name in folder but "." and ".." to take, until take fails: the number of names
// taken, or -1 when the folder cannot be listed or take failed.
static int ForEachName(const std::string& folder, const std::function<bool(const char* name)>& take)
{
    WIN32_FIND_DATAA data;
    FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!search.IsValid())
        return -1;
    int count = 0;
    do {
        if (IsDotOrDotDot(data.cFileName))
            continue;
        if (!take(data.cFileName)) {
            count = -1;
            break;
        }
        ++count;
    } while (FindNextFileA(search.Get(), &data));
    return count;
}

int ReadFileStarts(const std::string& folder)
{
    char start[4096];
    return ForEachName(folder, [&](const char* name) {
        KernelHandle file(CreateFileA((folder + "\\" + name).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD read = 0;
        return file.IsValid() && ReadFile(file.Get(), start, sizeof start, &read, nullptr) && read > 0;
    });
}

bool IdOfFile(const std::string& path, FileId& id)
{
    KernelHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    bool known = file.IsValid() && GetFileInformationByHandle(file.Get(), &info) != FALSE;
    if (known)
        id = IdOf(info);
    return known;
}

int CountNames(const std::string& folder)
{
    return ForEachName(folder, [](const char*) { return true; });
}

bool RemoveFolder(const std::string& folder)
{
    return RemoveTree(folder) || Complain("cannot remove", folder);
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) || Complain("cannot remove", path);
}

char PathSeparator()
{
    return '\\';
}
