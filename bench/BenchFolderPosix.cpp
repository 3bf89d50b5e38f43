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

bool MakeFolderOfFiles(const std::string& folder, BenchJob job, int fileCount, std::vector<FileId>& ids)
{
    if (mkdir(folder.c_str(), 0755) != 0)
        return Complain("cannot create", folder);
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return Complain("cannot open", folder);
    ids.resize(static_cast<size_t>(fileCount));
    bool made = true;
    for (int i = 0; i < fileCount && made; ++i) {
        char name[kBenchNameSize];
        SourceName(job, i, name);
        int file = openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        struct stat info;
        made = file >= 0 && fstat(file, &info) == 0;
        if (made)
            ids[static_cast<size_t>(i)] = info.st_ino;
        else
            Complain("cannot create a file in", folder);
        if (file >= 0)
            close(file);
    }
    if (made && syncfs(dir) != 0)
        made = Complain("cannot flush", folder);
    close(dir);
    return made;
}

bool MakeFolderOfContents(const std::string& folder, BenchJob job, int fileCount,
                          const std::function<std::string(int)>& content)
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
        std::string bytes = content(i);
        int file = openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        made = file >= 0 && write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        if (!made)
            Complain("cannot write a file in", folder);
        if (file >= 0)
            close(file);
    }
    if (made && syncfs(dir) != 0)
        made = Complain("cannot flush", folder);
    close(dir);
    return made;
}

int ReadFileStarts(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return -1;
    int count = 0;
    char start[4096];
    while (const dirent* item = readdir(dir)) {
        if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0)
            continue;
        std::string path = folder + "/" + item->d_name;
        int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        bool read = file >= 0 && ::read(file, start, sizeof start) > 0;
        if (file >= 0)
            close(file);
        if (!read) {
            count = -1;
            break;
        }
        ++count;
    }
    closedir(dir);
    return count;
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
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return -1;
    int count = 0;
    while (const dirent* item = readdir(dir)) {
        if (std::strcmp(item->d_name, ".") != 0 && std::strcmp(item->d_name, "..") != 0)
            ++count;
    }
    closedir(dir);
    return count;
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
