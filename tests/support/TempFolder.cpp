#include "tests/support/TempFolder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}
#else
void RemoveTree(const std::string& path)
{
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* item = readdir(dir)) {
            std::string name = item->d_name;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "/" + name;
            struct stat info;
            if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                RemoveTree(child);
            else
                unlink(child.c_str());
        }
        closedir(dir);
    }
    rmdir(path.c_str());
}
#endif

}  // namespace

TempFolder::TempFolder()
{
#ifdef _WIN32
    char base[MAX_PATH + 1];
    GetTempPathA(sizeof base, base);
    static unsigned serial = 0;
    for (;;) {
        char name[64];
        std::snprintf(name, sizeof name, "qbtest%lu_%u", GetCurrentProcessId(), serial++);
        path = std::string(base) + name;
        if (CreateDirectoryA(path.c_str(), nullptr))
            break;
    }
#else
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qbtest.XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    path = mkdtemp(buffer.data());
#endif
}

TempFolder::~TempFolder()
{
    RemoveTree(path);
}

char TempFolder::Separator()
{
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

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

std::string TempFolder::Read(const std::string& name) const
{
    return ReadWholeFile(PathOf(name));
}

bool TempFolder::MakeFolder(const std::string& name) const
{
#ifdef _WIN32
    return CreateDirectoryA(PathOf(name).c_str(), nullptr) != FALSE;
#else
    return mkdir(PathOf(name).c_str(), 0755) == 0;
#endif
}

bool TempFolder::Exists(const std::string& name) const
{
#ifdef _WIN32
    return GetFileAttributesA(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat info;
    return lstat(PathOf(name).c_str(), &info) == 0;
#endif
}

bool TempFolder::SetHidden(const std::string& name) const
{
#ifdef _WIN32
    return SetFileAttributesA(PathOf(name).c_str(), FILE_ATTRIBUTE_HIDDEN) != FALSE;
#else
    (void)name;
    return true;
#endif
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(data.cFileName);
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
#else
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* item = readdir(dir))
            names.push_back(item->d_name);
        closedir(dir);
    }
#endif
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n == "." || n == ".."; }),
                names.end());
    std::sort(names.begin(), names.end());
    return names;
}
