// The file services on Linux and other POSIX systems, so the engine runs and is tested
// natively. Names are UTF-8 there: no byte is a lead byte. The separator is "/".
#include "engine/platform/FileServices.h"

#include "engine/platform/AsciiFold.h"
#include "engine/platform/PosixRename.h"
#include "engine/platform/WildcardMatch.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

static int SystemRenameNoReplace(int fromFolder, const char* from, int toFolder, const char* to)
{
    return static_cast<int>(syscall(SYS_renameat2, fromFolder, from, toFolder, to, RENAME_NOREPLACE));
}

RenameNoReplace renameNoReplace = SystemRenameNoReplace;

namespace {

// Owns one file descriptor and closes it, unless it was handed on.
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() { Reset(-1); }

    int Get() const { return fd; }
    bool IsOpen() const { return fd >= 0; }
    int Release()
    {
        int held = fd;
        fd = -1;
        return held;
    }
    void Reset(int other)
    {
        if (fd >= 0)
            close(fd);
        fd = other;
    }

private:
    Descriptor(const Descriptor&);
    Descriptor& operator=(const Descriptor&);

    int fd;
};

// A descriptor is handed out as itself plus one, so that descriptor 0 is no null handle.
void* HandleOf(int fd)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
}

int DescriptorOf(void* handle)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(handle) - 1);
}

// A listed name and, behind it, the same name with "A" to "Z" in lower case, both kept in
// the search's text, so that a large listing is not one allocation per name.
struct ListedName
{
    size_t name;
    size_t length;
    bool isDirectory;
    ino_t inode;
};

// The whole listing is read when the search starts and handed out in the order a Windows
// folder search gives: by name, ignoring letter case.
struct PosixSearch
{
    std::vector<char> text;
    std::vector<ListedName> names;
    size_t next;
    // The folder's device, which its files share.
    dev_t device;
};

void AddListed(PosixSearch& search, const char* name, bool isDirectory, ino_t inode)
{
    size_t length = std::strlen(name);
    size_t at = search.text.size();
    search.text.insert(search.text.end(), name, name + length + 1);
    for (size_t i = 0; i <= length; ++i)
        search.text.push_back(static_cast<char>(FoldAscii(static_cast<unsigned char>(name[i]))));
    search.names.push_back(ListedName{at, length, isDirectory, inode});
}

// Byte order, a name before every longer one it begins.
int CompareBytes(const char* a, const char* b, size_t length, size_t otherLength)
{
    int c = std::memcmp(a, b, std::min(length, otherLength));
    return c != 0 ? c : (length < otherLength ? -1 : (length > otherLength ? 1 : 0));
}

void SortListing(PosixSearch& search)
{
    const char* text = search.text.data();
    std::sort(search.names.begin(), search.names.end(), [text](const ListedName& a, const ListedName& b) {
        int c = CompareBytes(text + a.name + a.length + 1, text + b.name + b.length + 1, a.length, b.length);
        if (c == 0)
            c = CompareBytes(text + a.name, text + b.name, a.length, b.length);
        return c < 0;
    });
}

void Fill(FoundFile& found, const PosixSearch& search, const ListedName& listed)
{
    dev_t device = search.device;
    found.isDirectory = listed.isDirectory;
    found.unreachable = false;
    found.identityKnown = true;
    found.identity.volume = static_cast<uint64_t>(device);
    found.identity.index = static_cast<uint64_t>(listed.inode);
    found.identity.links = 0;
    size_t length = std::min(listed.length, static_cast<size_t>(kFoundNameSize - 1));
    std::memcpy(found.name, search.text.data() + listed.name, length);
    found.name[length] = '\0';
    found.shortName[0] = '\0';
    found.maskedOut.clear();
    found.writeTimeKnown = false;
    found.written = WriteTime();
    found.offline = false;
    // No file here carries the attributes of Windows.
    found.hiddenSystem = false;
}

WriteTime WriteTimeOf(const struct stat& info)
{
    return WriteTime{static_cast<int64_t>(info.st_mtim.tv_sec), static_cast<int32_t>(info.st_mtim.tv_nsec)};
}

bool IsDirectory(int folder, const dirent* item)
{
    if (item->d_type == DT_DIR)
        return true;
    if (item->d_type == DT_REG)
        return false;
    struct stat info;
    return fstatat(folder, item->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

class PosixFileServices : public FileServices
{
public:
    PosixFileServices() : listedFolder(-1) {}
    ~PosixFileServices() override { ForgetListedFolder(); }

    SearchHandle FindFirst(const char* pattern, FoundFile& first) override
    {
        std::string path(pattern);
        size_t slash = path.rfind('/');
        std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        std::string mask = slash == std::string::npos ? path : path.substr(slash + 1);

        ForgetListedFolder();
        Descriptor folderDescriptor(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!folderDescriptor.IsOpen())
            return nullptr;
        struct stat folderInfo;
        if (fstat(folderDescriptor.Get(), &folderInfo) != 0)
            return nullptr;
        Descriptor kept(fcntl(folderDescriptor.Get(), F_DUPFD_CLOEXEC, 0));
        DIR* dir = fdopendir(folderDescriptor.Get());
        if (dir == nullptr)
            return nullptr;
        // The folder's stream owns its descriptor from here on.
        folderDescriptor.Release();
        if (kept.IsOpen()) {
            listedFolder.Reset(kept.Release());
            listedFolderText = folder;
        }
        PosixSearch* search = new PosixSearch;
        search->next = 0;
        search->device = folderInfo.st_dev;
        while (const dirent* item = readdir(dir)) {
            if (MatchesMask(item->d_name, mask.c_str()))
                AddListed(*search, item->d_name, IsDirectory(dirfd(dir), item), item->d_ino);
        }
        closedir(dir);
        if (search->names.empty()) {
            delete search;
            return nullptr;
        }
        SortListing(*search);
        Fill(first, *search, search->names[0]);
        search->next = 1;
        return search;
    }

    FindNextResult FindNext(SearchHandle handle, FoundFile& next) override
    {
        PosixSearch* search = static_cast<PosixSearch*>(handle);
        if (search->next >= search->names.size()) {
            next.maskedOut.clear();
            return FindNextEnd;
        }
        Fill(next, *search, search->names[search->next++]);
        return FindNextFound;
    }

    void FindClose(SearchHandle handle) override { delete static_cast<PosixSearch*>(handle); }

    bool FolderExists(const char* path) override
    {
        struct stat info;
        return stat(path, &info) == 0;
    }

    bool Exists(const char* path) override
    {
        const char* name = nullptr;
        int folder = FolderOf(path, name);
        struct stat info;
        return fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
    }

    MoveResult Move(const char* from, const char* to, int& error) override
    {
        error = 0;
        const char* fromName = nullptr;
        const char* toName = nullptr;
        int fromFolder = FolderOf(from, fromName);
        int toFolder = FolderOf(to, toName);
        if (renameNoReplace(fromFolder, fromName, toFolder, toName) == 0)
            return MoveDone;
        if (errno != EINVAL && errno != ENOSYS)
            return Failure(error);
        // A file system without renameat2's no-replace: a new link fails when the name is
        // taken, so nothing is ever replaced either.
        if (linkat(fromFolder, fromName, toFolder, toName, 0) != 0)
            return Failure(error);
        if (unlinkat(fromFolder, fromName, 0) != 0) {
            int unlinkError = errno;
            unlinkat(toFolder, toName, 0);
            errno = unlinkError;
            return Failure(error);
        }
        return MoveDone;
    }

    bool Identify(const char* path, FileIdentity& identity) override
    {
        const char* name = nullptr;
        int folder = FolderOf(path, name);
        struct stat info;
        if (fstatat(folder, name, &info, 0) != 0)
            return false;
        identity.volume = static_cast<uint64_t>(info.st_dev);
        identity.index = static_cast<uint64_t>(info.st_ino);
        identity.links = static_cast<uint32_t>(info.st_nlink);
        return true;
    }

    bool SameName(const char* a, const char* b) const override { return std::strcmp(a, b) == 0; }

    uint32_t KeptAttributes(const char*) override { return 0; }

    LogHandle CreateLog(const char* path, uint32_t) override
    {
        int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        return fd < 0 ? nullptr : HandleOf(fd);
    }

    LogHandle AppendLog(const char* path) override
    {
        int fd = open(path, O_WRONLY | O_APPEND | O_CLOEXEC);
        return fd < 0 ? nullptr : HandleOf(fd);
    }

    bool CanCreateFile(const char* path) override
    {
        Descriptor created(open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (!created.IsOpen())
            return false;
        created.Reset(-1);
        unlink(path);
        return true;
    }

    bool WriteLog(LogHandle log, const void* bytes, int count) override
    {
        int fd = DescriptorOf(log);
        const char* next = static_cast<const char*>(bytes);
        while (count > 0) {
            ssize_t written = write(fd, next, static_cast<size_t>(count));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            next += written;
            count -= static_cast<int>(written);
        }
        return true;
    }

    bool TruncateLog(LogHandle log, int64_t size) override
    {
        return ftruncate(DescriptorOf(log), static_cast<off_t>(size)) == 0;
    }

    void CloseLog(LogHandle log) override { close(DescriptorOf(log)); }

    bool FlushLog(LogHandle log) override { return fdatasync(DescriptorOf(log)) == 0; }

    bool CreateFolder(const char* path) override
    {
        struct stat info;
        return mkdir(path, 0755) == 0 || (stat(path, &info) == 0 && S_ISDIR(info.st_mode));
    }

    bool RemoveFile(const char* path) override { return unlink(path) == 0; }

    ReadHandle OpenRead(const char* path, bool& fileThere) override
    {
        struct stat info;
        ReadHandle file = OpenRegular(path, info);
        if (file == nullptr) {
            const char* name = nullptr;
            int folder = FolderOf(path, name);
            fileThere = fstatat(folder, name, &info, 0) == 0 && S_ISREG(info.st_mode);
            return nullptr;
        }
        fileThere = true;
        return file;
    }

    ReadHandle OpenReadWithInfo(const char* path, uint64_t& size, WriteTime& written) override
    {
        struct stat info;
        ReadHandle file = OpenRegular(path, info);
        if (file != nullptr) {
            size = static_cast<uint64_t>(info.st_size);
            written = WriteTimeOf(info);
        }
        return file;
    }

    int Read(ReadHandle file, void* buffer, int size) override
    {
        for (;;) {
            ssize_t read = ::read(DescriptorOf(file), buffer, static_cast<size_t>(size));
            if (read >= 0)
                return static_cast<int>(read);
            if (errno != EINTR)
                return -1;
        }
    }

    int ReadAt(ReadHandle file, uint64_t offset, void* buffer, int size) override
    {
        if (offset > static_cast<uint64_t>(INT64_MAX))
            return 0;
        for (;;) {
            ssize_t read = pread(DescriptorOf(file), buffer, static_cast<size_t>(size), static_cast<off_t>(offset));
            if (read >= 0)
                return static_cast<int>(read);
            if (errno != EINTR)
                return -1;
        }
    }

    void CloseRead(ReadHandle file) override { close(DescriptorOf(file)); }

    bool LastWriteTime(const char* path, WriteTime& written, bool& offline) override
    {
        const char* name = nullptr;
        int folder = FolderOf(path, name);
        struct stat info;
        if (fstatat(folder, name, &info, 0) != 0)
            return false;
        written = WriteTimeOf(info);
        offline = false;
        return true;
    }

    int64_t LocalClock(int64_t utcSeconds) override
    {
        time_t utc = static_cast<time_t>(utcSeconds);
        struct tm local;
        if (localtime_r(&utc, &local) == nullptr)
            return utcSeconds;
        return utcSeconds + local.tm_gmtoff;
    }

    int FormatV(char* buffer, const char* format, va_list args) override
    {
        int length = vsnprintf(buffer, kFormatBufferSize, format, args);
        if (length < 0) {
            buffer[0] = '\0';
            return 0;
        }
        return std::min(length, kFormatBufferSize - 1);
    }

    bool IsLeadByte(unsigned char) const override { return false; }
    char Separator() const override { return '/'; }
    int LongestPath() const override { return PATH_MAX - 1; }

private:
    // Opens a regular file for reading, without waiting: opening a pipe would wait for a
    // writer. Null for anything else, and when it cannot be opened.
    ReadHandle OpenRegular(const char* path, struct stat& info) const
    {
        const char* name = nullptr;
        int folder = FolderOf(path, name);
        Descriptor file(openat(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!file.IsOpen() || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
            return nullptr;
        return HandleOf(file.Release());
    }

    // A run lists its folder before it touches any file there, and its steps name files by
    // that folder's text and a bare name. Such a name is reached through the descriptor the
    // listing opened, so the path is not walked again on every step, and the run keeps to
    // the folder it listed. Any other path is reached as it stands.
    int FolderOf(const char* path, const char*& name) const
    {
        size_t length = listedFolderText.size();
        if (listedFolder.IsOpen() && std::strncmp(path, listedFolderText.c_str(), length) == 0 &&
            path[length] != '\0' && std::strchr(path + length, '/') == nullptr) {
            name = path + length;
            return listedFolder.Get();
        }
        name = path;
        return AT_FDCWD;
    }

    void ForgetListedFolder()
    {
        listedFolder.Reset(-1);
        listedFolderText.clear();
    }

    static MoveResult Failure(int& error)
    {
        error = errno;
        return errno == EEXIST ? MoveTargetTaken : MoveFailed;
    }

    // The folder of the last search that could be opened ("folder/" as the search named it).
    Descriptor listedFolder;
    std::string listedFolderText;
};

}  // namespace

FileServices& PlatformFileServices()
{
    static PosixFileServices services;
    return services;
}
