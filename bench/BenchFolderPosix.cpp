#include "bench/BenchFolder.h"

#include "tests/support/TempFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static bool Complain(const char* what, const std::string& path)
{
    std::fprintf(stderr, "bench: %s %s: %s\n", what, path.c_str(), std::strerror(errno));
    return false;
}

bool PrepareBenchDir(std::string& dir, bool& madeHere)
{
    madeHere = dir.empty();
    if (madeHere) {
        return MakeTempFolder("quillowby-bench", dir) || Complain("cannot create a folder in", "the temporary folder");
    }
    if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST)
        return Complain("cannot create", dir);
    struct stat info;
    if (stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        std::fprintf(stderr, "bench: not a folder: %s\n", dir.c_str());
        return false;
    }
    return true;
}

// Creates folder with one new file per source name of the job, hands each to fill while it
// is open to write, and flushes everything to the disk.
static bool MakeFiles(const std::string& folder, BenchJob job, int fileCount,
                      const std::function<bool(int file, int index)>& fill)
{
    if (mkdir(folder.c_str(), 0755) != 0)
        return Complain("cannot create", folder);
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return Complain("cannot open", folder);
    bool made = true;
    for (int i = 0; i < fileCount && made; ++i) {
        char name[kBenchNameSize];
        SourceName(job, i, name);
        int file = openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        made = file >= 0 ? fill(file, i) : Complain("cannot create a file in", folder);
        if (file >= 0)
            close(file);
    }
    if (made && syncfs(dir) != 0)
        made = Complain("cannot flush", folder);
    close(dir);
    return made;
}

bool MakeFolderOfFiles(const std::string& folder, BenchJob job, int fileCount, std::vector<FileId>& ids)
{
    ids.resize(static_cast<size_t>(fileCount));
    return MakeFiles(folder, job, fileCount, [&](int file, int index) {
        struct stat info;
        if (fstat(file, &info) != 0)
            return Complain("cannot create a file in", folder);
        ids[static_cast<size_t>(index)] = info.st_ino;
        return true;
    });
}

bool MakeFolderOfContents(const std::string& folder, BenchJob job, int fileCount,
                          const std::function<std::string(int)>& content)
{
    return MakeFiles(folder, job, fileCount, [&](int file, int index) {
        std::string bytes = content(index);
        return write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) ||
               Complain("cannot write a file in", folder);
    });
}

// Hands every name in folder but "." and ".." to take, until take fails: the number of names
// taken, or -1 when the folder cannot be listed or take failed.
static int ForEachName(const std::string& folder, const std::function<bool(const char* name)>& take)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return -1;
    int count = 0;
    while (const dirent* item = readdir(dir)) {
        if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0)
            continue;
        if (!take(item->d_name)) {
            count = -1;
            break;
        }
        ++count;
    }
    closedir(dir);
    return count;
}

int ReadFileStarts(const std::string& folder)
{
    char start[4096];
    return ForEachName(folder, [&](const char* name) {
        int file = open((folder + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        bool read = file >= 0 && ::read(file, start, sizeof start) > 0;
        if (file >= 0)
            close(file);
        return read;
    });
}

bool IdOfFile(const std::string& path, FileId& id)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    id = info.st_ino;
    return true;
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
    return unlink(path.c_str()) == 0 || Complain("cannot remove", path);
}

char PathSeparator()
{
    return '/';
}
