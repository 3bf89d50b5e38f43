#ifndef QUILLOWBY_TESTS_TEMP_FOLDER_H
#define QUILLOWBY_TESTS_TEMP_FOLDER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it when
// the owner goes. Names are bare names within it; paths use the platform's separator. On
// Windows its files are reached through the long form, so that a deep folder works too.
class TempFolder
{
public:
    TempFolder();
    // The folder is a deep one: folders inside the fresh one, no name longer than 200
    // characters, down to a path of about pathLength characters.
    explicit TempFolder(size_t pathLength);
    ~TempFolder();

    const std::string& Path() const { return path; }
    // The folder with its final separator.
    std::string Slash() const { return path + Separator(); }
    std::string PathOf(const std::string& name) const { return Slash() + name; }
    static char Separator();

    bool Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;
    bool MakeFolder(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // Natively nothing: names starting with a dot are hidden there, and nothing is a system file.
    bool SetHidden(const std::string& name, bool system = false) const;
    // The file's last-write time: seconds from 1970-01-01 UTC and the fraction (whole
    // 100-nanosecond steps on Windows).
    bool SetModifiedTime(const std::string& name, int64_t seconds, int32_t nanoseconds) const;
    // Every name in the folder but "." and "..", sorted bytewise.
    std::vector<std::string> Names() const;

private:
    TempFolder(const TempFolder&);
    TempFolder& operator=(const TempFolder&);

    std::string top;
    std::string path;
};

// Makes a fresh folder under the system's temporary folder, named prefix followed by what
// tells it from every other there, and gives its path. False when it cannot.
bool MakeTempFolder(const char* prefix, std::string& path);
// Removes folder with everything in it, sub-folders too, without following links out of it;
// false when anything is left. On Windows it reaches names the ANSI code page cannot hold and
// paths longer than MAX_PATH.
bool RemoveTree(const std::string& folder);

// Sets the last-write time of the file at path: seconds from 1970-01-01 UTC and the fraction
// (whole 100-nanosecond steps on Windows). On Windows the path is wide, so that it reaches
// names the ANSI code page cannot hold and, in its long form, paths beyond MAX_PATH.
#ifdef _WIN32
bool SetLastWriteTime(const std::wstring& path, int64_t seconds, int32_t nanoseconds);
#else
bool SetLastWriteTime(const std::string& path, int64_t seconds, int32_t nanoseconds);
#endif

// Reads a whole file by path; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// A second name for the existing file.
bool MakeHardLink(const std::string& existing, const std::string& link);
#ifdef _WIN32
// The path with each name the file system keeps an 8.3 name for in that form; empty when it
// cannot be told.
std::string ShortPathOf(const std::string& path);
#else
// A symbolic link at link that leads to target.
bool MakeSymbolicLink(const std::string& target, const std::string& link);
#endif

#ifdef _WIN32
// The bytes, in the ANSI code page, as UTF-16.
std::wstring WideOf(const std::string& bytes);
// The full path in its long form, which the wide calls take beyond MAX_PATH characters.
std::wstring LongForm(const std::string& path);
// By a wide path, so that names the ANSI code page cannot hold are reached too. Writing
// empties a file that is there.
bool WriteWholeFile(const std::wstring& path, const std::string& content);
std::string ReadWholeFile(const std::wstring& path);
// False when the file cannot be opened or read to its end.
bool ReadWholeFile(const std::wstring& path, std::string& content);
#endif

#endif
