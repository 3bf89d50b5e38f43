// The tester's file system view on Linux: names are bytes, letter case counts.
#include "tests/stress/StressFolder.h"

#include "tests/stress/MaskModel.h"
#include "tests/support/TempFolder.h"

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

std::string Join(const std::string& folder, const std::string& key)
{
    return folder + "/" + key;
}

bool ReadFd(int fd, std::string& content)
{
    content.clear();
    char buffer[4096];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        content.append(buffer, static_cast<size_t>(got));
    }
}

void ReadInto(const std::string& folder, const std::string& prefix, Tree& tree)
{
    for (const std::string& name : NamesIn(folder)) {
        std::string path = Join(folder, name);
        struct stat info;
        if (lstat(path.c_str(), &info) != 0)
            continue;
        Item item = Item();
        item.isDirectory = S_ISDIR(info.st_mode);
        if (item.isDirectory)
            ReadInto(path, prefix + name + "/", tree);
        else
            item.unreadable = !ReadPath(path, item.content);
        tree[prefix + name] = item;
    }
}

}  // namespace

char PathSeparator()
{
    return '/';
}

bool NamesIgnoreCase()
{
    return false;
}

std::string CaseFolded(const std::string& key)
{
    return key;
}

std::string NameAsStored(const std::string& name)
{
    return name;
}

bool NamesADevice(const std::string&)
{
    return false;
}

size_t EscapeAt(const std::string&, size_t, unsigned&)
{
    return 0;
}

size_t StoredBytes(const std::string& name)
{
    return name.size();
}

bool PathTooLongForEngine(const std::string& path)
{
    return path.size() >= 4096;
}

bool MakeFolder(const std::string& folder, const std::string& key)
{
    return mkdir(Join(folder, key).c_str(), 0755) == 0;
}

bool CreateNewFile(const std::string& folder, const std::string& key, const std::string& content, bool hidden,
                   bool readOnly, bool system)
{
    (void)hidden;
    (void)system;
    int fd = open(Join(folder, key).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, readOnly ? 0444 : 0644);
    if (fd < 0)
        return false;
    bool written = write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    close(fd);
    return written;
}

bool SetWriteTime(const std::string& folder, const std::string& key, int64_t seconds, int32_t nanoseconds)
{
    return SetLastWriteTime(Join(folder, key), seconds, nanoseconds);
}

bool RemoveFile(const std::string& folder, const std::string& key)
{
    return unlink(Join(folder, key).c_str()) == 0;
}

bool RenameFile(const std::string& folder, const std::string& from, const std::string& to)
{
    return syscall(SYS_renameat2, AT_FDCWD, Join(folder, from).c_str(), AT_FDCWD, Join(folder, to).c_str(),
                   RENAME_NOREPLACE) == 0;
}

bool ItemExists(const std::string& folder, const std::string& key)
{
    struct stat info;
    return lstat(Join(folder, key).c_str(), &info) == 0;
}

Tree ReadTree(const std::string& folder)
{
    Tree tree;
    ReadInto(folder, "", tree);
    return tree;
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* item = readdir(dir)) {
            std::string name = item->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

bool ReadContent(const std::string& folder, const std::string& key, std::string& content)
{
    return ReadPath(Join(folder, key), content);
}

std::vector<Listed> ListMatching(const std::string& folder, const std::string& mask)
{
    // What a Windows folder search would give for this folder: every name the mask takes,
    // "." and ".." among them, in the order of the names with letters in lower case.
    std::vector<Listed> listed;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return listed;
    while (const dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        struct stat info;
        if (MaskTakes(mask, name, false) && lstat(Join(folder, name).c_str(), &info) == 0)
            listed.push_back(Listed{name, S_ISDIR(info.st_mode), false});
    }
    closedir(dir);
    auto lower = [](std::string text) {
        for (char& c : text)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return text;
    };
    std::sort(listed.begin(), listed.end(), [&lower](const Listed& a, const Listed& b) {
        std::string x = lower(a.key);
        std::string y = lower(b.key);
        return x != y ? x < y : a.key < b.key;
    });
    return listed;
}

bool ReadPath(const std::string& path, std::string& content)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool read = ReadFd(fd, content);
    close(fd);
    return read;
}

std::string OtherPathTo(const std::string& folder, const std::string& key, const std::string& elsewhere)
{
    std::string path = Join(elsewhere, "log.txt");
    return link(Join(folder, key).c_str(), path.c_str()) == 0 ? path : std::string();
}

void* HoldOpen(const std::string&, const std::string&)
{
    return nullptr;
}

void Release(void*) {}
