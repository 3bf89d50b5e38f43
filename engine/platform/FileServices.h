#ifndef QUILLOWBY_ENGINE_PLATFORM_FILE_SERVICES_H
#define QUILLOWBY_ENGINE_PLATFORM_FILE_SERVICES_H

#include <cstdarg>
#include <cstdint>
#include <string>

// Everything the engine asks of the platform: folder search, existence test, a move that
// never replaces, the log file, reading a file, formatted print and the code page's lead
// bytes. One Win32 implementation (the wide calls, names in the engine's form: bytes of the
// ANSI code page, and an escape for each character it cannot hold), one POSIX implementation
// (so the engine runs natively), and tests wrap either to inject faults.

// Room for the longest name a folder search hands back: 255 UTF-16 units, each an escape of
// at most 8 bytes (a pair of units, 10).
const int kFoundNameSize = 2048;
// A formatted print writes at most 1024 characters and its NUL.
const int kFormatBufferSize = 1025;

// What tells a file apart whatever name leads to it.
struct FileIdentity
{
    uint64_t volume;
    uint64_t index;
    // The names (hard links) the file has.
    uint32_t links;
};

// A file's last-write time: seconds from 1970-01-01 UTC and the fraction of that second.
struct WriteTime
{
    int64_t seconds;
    int32_t nanoseconds;
};

struct FoundFile
{
    bool isDirectory;
    // The name cannot be reached by the name the search gave (it comes twice, or leads to no
    // file); such a file must not be touched.
    bool unreachable;
    // The listing gave the file's volume and index for nothing (not its links).
    bool identityKnown;
    FileIdentity identity;
    char name[kFoundNameSize];
    // The 8.3 name the file system keeps beside a long one; empty when there is none.
    char shortName[14];
    // The names of the files the search passed over before this result (at the end of the
    // listing: after the last one) because the mask took them by their short name alone, each
    // ended by a NUL; none of the batch.
    std::string maskedOut;
    // The search gave the last-write time with the name (a Windows search does; a POSIX
    // listing does not, so that listing for a name order never asks for it).
    bool writeTimeKnown;
    WriteTime written;
    // The file's data is not on the disk (a cloud placeholder): reading it would fetch it.
    bool offline;
    // Marked both hidden and system: a file Windows keeps for the folder itself (desktop.ini,
    // Thumbs.db), which Explorer never shows.
    bool hiddenSystem;
};

enum FindNextResult
{
    FindNextFound,
    FindNextEnd,
    FindNextError
};

enum MoveResult
{
    MoveDone,
    // Something of the target's name already exists; nothing was moved.
    MoveTargetTaken,
    MoveFailed
};

// Opaque handles; null means "none".
typedef void* SearchHandle;
typedef void* LogHandle;
typedef void* ReadHandle;

class FileServices
{
public:
    virtual ~FileServices() {}

    // Opens a search for "folder<sep>mask" and gives its first result; null when the folder
    // cannot be searched or nothing matches.
    virtual SearchHandle FindFirst(const char* pattern, FoundFile& first) = 0;
    virtual FindNextResult FindNext(SearchHandle search, FoundFile& next) = 0;
    virtual void FindClose(SearchHandle search) = 0;

    // True when a directory entry of that name exists. A root given with its separator
    // ("C:\" or "/") is tested as it stands.
    virtual bool FolderExists(const char* path) = 0;
    // True when a file or folder of that name exists, names matched as the file system
    // matches them. A test that fails for another reason answers false.
    virtual bool Exists(const char* path) = 0;
    // Moves a file to another name in the same folder; never replaces what exists there.
    // On MoveFailed, error holds the platform's error code.
    virtual MoveResult Move(const char* from, const char* to, int& error) = 0;
    // The identity of the existing file or folder a path leads to; false when it cannot be told.
    virtual bool Identify(const char* path, FileIdentity& identity) = 0;
    // The two names lead to the same directory entry of a folder, compared the way the file
    // system compares names.
    virtual bool SameName(const char* a, const char* b) const = 0;

    // What a file created over the existing file at path must be given for the system to
    // empty it, as the platform numbers attributes: Windows refuses to empty a hidden or
    // system file unless those attributes are given again (and keeps them). 0 where nothing
    // must be given, or no file is there.
    virtual uint32_t KeptAttributes(const char* path) = 0;
    // Creates or empties the log file, given the KeptAttributes of the file at path; null when
    // it cannot be created.
    virtual LogHandle CreateLog(const char* path, uint32_t keptAttributes) = 0;
    // Opens an existing log file to write after its end; null when that fails.
    virtual LogHandle AppendLog(const char* path) = 0;
    // Creates a file where nothing of that name is and removes it again at once: whether a
    // file could be created there. Nothing stays behind.
    virtual bool CanCreateFile(const char* path) = 0;
    virtual bool WriteLog(LogHandle log, const void* bytes, int count) = 0;
    // Cuts the log back to its first size bytes, taking back writes that did not land whole.
    virtual bool TruncateLog(LogHandle log, int64_t size) = 0;
    virtual void CloseLog(LogHandle log) = 0;
    // Makes what was written to the log reach the disk, so that a power cut cannot take it.
    virtual bool FlushLog(LogHandle log) = 0;
    // Creates a folder where nothing of that name is; true when a folder stands there after.
    virtual bool CreateFolder(const char* path) = 0;
    // Removes a file (the program's own: a record of its history).
    virtual bool RemoveFile(const char* path) = 0;

    // Opens an existing file (not a folder) for reading, leaving it open to other readers and
    // writers. Null when that fails; then fileThere tells whether a file of that name exists
    // all the same (one that is locked or that this user may not read).
    virtual ReadHandle OpenRead(const char* path, bool& fileThere) = 0;
    // The same, and the file's size and last-write time as it is opened; null when either
    // cannot be had.
    virtual ReadHandle OpenReadWithInfo(const char* path, uint64_t& size, WriteTime& written) = 0;
    // The number of bytes read into buffer, 0 at the end of the file, -1 on an error.
    virtual int Read(ReadHandle file, void* buffer, int size) = 0;
    // As Read, from the given offset of the file.
    virtual int ReadAt(ReadHandle file, uint64_t offset, void* buffer, int size) = 0;
    virtual void CloseRead(ReadHandle file) = 0;
    // The last-write time of a file, and whether its data is offline; false when they cannot
    // be told. Nothing of the file is opened.
    virtual bool LastWriteTime(const char* path, WriteTime& written, bool& offline) = 0;
    // The machine's local clock time at a UTC time: both in seconds from 1970-01-01, the
    // local one as if that clock were UTC. The rules of the date's own season apply.
    virtual int64_t LocalClock(int64_t utcSeconds) = 0;

    // Formats into a buffer of kFormatBufferSize bytes; "%s", "%d" and "%0<width>d" as the
    // platform's formatted print has them. Returns the length written.
    virtual int FormatV(char* buffer, const char* format, va_list args) = 0;
    // First byte of a double-byte character in the ANSI code page in force.
    virtual bool IsLeadByte(unsigned char c) const = 0;
    // The byte that separates a folder from a name.
    virtual char Separator() const = 0;
    // The most characters a full path may have for the file calls to take it, a double-byte
    // character counting once, an escape as the UTF-16 units it stands for.
    virtual int LongestPath() const = 0;
    // Names that differ only in the letters "A" to "Z" and "a" to "z" name the same file.
    virtual bool IgnoresCase() const { return false; }
    // A character outside the code page as a file system that ignores case sees it: its
    // upper case, as the system's table has it. Only for code points that escapes carry.
    virtual char32_t UpperCase(char32_t c) const { return c; }
    // The path as the file calls resolve it before they measure it: a relative one joined to
    // the current folder, "." and ".." taken out. The path as it stands where the platform
    // takes paths as they are given.
    virtual std::string FullPath(const char* path) { return path; }

    int Format(char* buffer, const char* format, ...);
};

// The two identities are one file's.
inline bool SameIdentity(const FileIdentity& a, const FileIdentity& b)
{
    return a.volume == b.volume && a.index == b.index;
}
// Both paths lead to the same existing file or folder.
bool SameFile(const char* a, const char* b, FileServices& fs);

// The implementation for the platform this program is built for.
FileServices& PlatformFileServices();

#endif
