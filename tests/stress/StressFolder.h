#ifndef QUILLOWBY_TESTS_STRESS_STRESS_FOLDER_H
#define QUILLOWBY_TESTS_STRESS_STRESS_FOLDER_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The tester's own view of the file system, apart from the engine's file services: it
// makes the scenarios' folders and reads them back to check the engine against.
//
// Names are keys: natively the name's bytes. On Windows the name as the engine carries it:
// the bytes of the ANSI code page for each character it holds exactly, "<U+XXXX>" for any
// other (no bytes, or only a look-alike; beyond U+FFFF the whole character). Inside a tree the
// names of nested items are joined with "/", which no name holds on either platform.

// On Windows the length of the escape at text[at] and its code point into codePoint; else 0.
size_t EscapeAt(const std::string& text, size_t at, unsigned& codePoint);

struct Item
{
    bool isDirectory;
    // A file's bytes; empty for a folder. unreadable when another program holds the file.
    std::string content;
    bool unreadable;
};

typedef std::map<std::string, Item> Tree;

struct Listed
{
    std::string key;
    bool isDirectory;
    // Marked both hidden and system, as the file system holds them (Wine also marks a name
    // that begins with a dot hidden); never on POSIX, where the scenario says it.
    bool hiddenSystem;
};

// The byte that separates a folder from a name in the paths the engine is given.
char PathSeparator();

#ifdef _WIN32
const bool kWindows = true;
#else
const bool kWindows = false;
#endif
// Names differ only in letter case and still are the same file (Windows).
bool NamesIgnoreCase();
// The key as the platform compares names: on Windows, letter case folded (the second byte
// of a double-byte character is no letter).
std::string CaseFolded(const std::string& key);
// The name a file gets when it is given this one (Windows drops trailing dots and spaces).
std::string NameAsStored(const std::string& name);
// The name is one of the platform's devices (Windows: CON, NUL, COM1 and the like, with any
// extension), so no file can be written under it.
bool NamesADevice(const std::string& name);
// The bytes the file system takes for the name: Wine keeps names as UTF-8, at most 255 bytes.
size_t StoredBytes(const std::string& name);
// The engine's file calls cannot reach a path this long (Windows: more UTF-16 units than the
// long form holds), and a run refuses to start rather than give a file such a path.
bool PathTooLongForEngine(const std::string& path);
bool MakeFolder(const std::string& folder, const std::string& key);
// Creates a file that must not exist yet. Natively hidden and system mark nothing: a leading
// dot hides a name there, and the listing is told which files Windows would mark system.
bool CreateNewFile(const std::string& folder, const std::string& key, const std::string& content, bool hidden,
                   bool readOnly, bool system = false);
bool RemoveFile(const std::string& folder, const std::string& key);
// Never replaces an existing file.
bool RenameFile(const std::string& folder, const std::string& from, const std::string& to);
bool ItemExists(const std::string& folder, const std::string& key);

// Every item below the folder, sub-folders entered.
Tree ReadTree(const std::string& folder);
// The names directly in the folder.
std::vector<std::string> NamesIn(const std::string& folder);
bool ReadContent(const std::string& folder, const std::string& key, std::string& content);
// What a folder search yields for folder, separator, mask, in its order: natively the
// tester's own listing, on Windows the platform's; names matched on their long form.
std::vector<Listed> ListMatching(const std::string& folder, const std::string& mask);
// Reads a file by a path as the engine was given it; false when it cannot be read.
bool ReadPath(const std::string& path, std::string& content);
// A path that leads to the file key of folder under another name: natively a hard link made
// in elsewhere; on Windows the file's short name, or its name with a final dot.
std::string OtherPathTo(const std::string& folder, const std::string& key, const std::string& elsewhere);
// Sets a file's last-write time: seconds from 1970-01-01 UTC and the fraction.
bool SetWriteTime(const std::string& folder, const std::string& key, int64_t seconds, int32_t nanoseconds);
// Holds a file open the way another program would, so that it cannot be moved; null where
// an open file can still be moved (then the file services must be told to refuse).
void* HoldOpen(const std::string& folder, const std::string& key);
void Release(void* held);

#endif
