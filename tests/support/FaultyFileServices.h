#ifndef QUILLOWBY_TESTS_FAULTY_FILE_SERVICES_H
#define QUILLOWBY_TESTS_FAULTY_FILE_SERVICES_H

#include "engine/platform/ForwardingFileServices.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// Passes every call to the real services unless told to make one misbehave, and lets a
// test act between the engine's calls the way another program would.
enum FileCall
{
    CallFindFirst,
    CallFindNext,
    CallFolderExists,
    CallExists,
    CallMove,
    CallIdentify,
    CallCreateLog,
    CallWriteLog,
    CallOpenRead,
    CallRead,
    CallAppendLog,
    CallReadAt,
    CallLastWriteTime,
    CallFlushLog,
    CallKinds
};

enum FaultAction
{
    // The call fails: no search, listing error, "does not exist", move failed with
    // error 5, log not created or not opened, write not taken, a file there that cannot be opened, a read
    // error, no last-write time. Nothing reaches the platform.
    FaultFail,
    // Exists answers true; a move answers "target taken" and moves nothing.
    FaultReportTaken,
    // A log write lands its first half, then fails (a disk that fills up).
    FaultWriteHalf
};

// What a power cut does to what was written since a file was last flushed.
enum PowerCutKind
{
    CutWholly,
    CutPartly,
    CutToNuls
};

class FaultyFileServices : public ForwardingFileServices
{
public:
    explicit FaultyFileServices(FileServices& real)
        : ForwardingFileServices(real), cp932(false), windowsPaths(false), calls()
    {
    }

    // The nth call of that kind (from 1) misbehaves; nth 0 means every call of it.
    void Inject(FileCall call, int nth, FaultAction action);
    // The nth call of that kind and every later one misbehave (a disk that fills up).
    void InjectFrom(FileCall call, int nth, FaultAction action);
    int Calls(FileCall call) const { return calls[call]; }
    // Lead bytes of code page 932 whatever the platform's code page is.
    void UseCp932LeadBytes() { cp932 = true; }
    // Paths held to 259 characters (the short form's MAX_PATH less its NUL) whatever the
    // platform takes, so that runs near the limit fit in an ordinary temporary folder.
    void UseWindowsPathLimit() { windowsPaths = true; }

    // Runs before a call reaches the platform, with its number and its path arguments.
    std::function<void(FileCall call, int nth, const char* first, const char* second)> beforeCall;
    // Sees every search result before the engine does and may change it, the way another
    // platform layer would report it.
    std::function<void(FoundFile& found)> adjustFound;
    // Makes a call fail by its path arguments, the way a file held open by another program
    // refuses every move.
    std::function<bool(FileCall call, const char* first, const char* second)> failWhen;
    // Windows' attributes of the file at a path (read-only 1, hidden 2, system 4), for the log
    // calls to follow Windows' rules on any platform: a read-only file is opened to write by
    // neither, a hidden or system one emptied only when given those again (KeptAttributes).
    std::function<uint32_t(const char* path)> attributesOf;

    // A power cut after the writes so far: every log file written through these services loses
    // what it took since it was opened or last flushed, wholly, partly, or as NUL bytes in its
    // place (a share drawn from seed). Moves already made stay.
    void CutPower(PowerCutKind kind, unsigned seed);

    SearchHandle FindFirst(const char* pattern, FoundFile& first) override;
    FindNextResult FindNext(SearchHandle search, FoundFile& next) override;
    bool FolderExists(const char* path) override;
    bool Exists(const char* path) override;
    MoveResult Move(const char* from, const char* to, int& error) override;
    bool Identify(const char* path, FileIdentity& identity) override;
    uint32_t KeptAttributes(const char* path) override;
    LogHandle CreateLog(const char* path, uint32_t keptAttributes) override;
    LogHandle AppendLog(const char* path) override;
    bool WriteLog(LogHandle log, const void* bytes, int count) override;
    bool TruncateLog(LogHandle log, int64_t size) override;
    bool FlushLog(LogHandle log) override;
    void CloseLog(LogHandle log) override;
    ReadHandle OpenRead(const char* path, bool& fileThere) override;
    // Counts as an OpenRead, and fails like one.
    ReadHandle OpenReadWithInfo(const char* path, uint64_t& size, WriteTime& written) override;
    int Read(ReadHandle file, void* buffer, int size) override;
    int ReadAt(ReadHandle file, uint64_t offset, void* buffer, int size) override;
    bool LastWriteTime(const char* path, WriteTime& written, bool& offline) override;
    bool IsLeadByte(unsigned char c) const override;
    int LongestPath() const override { return windowsPaths ? 259 : real.LongestPath(); }

private:
    struct Fault
    {
        FileCall call;
        int nth;
        FaultAction action;
        bool onwards;
    };

    // Counts the call, runs the hook, and tells whether (and how) it misbehaves.
    bool Faulty(FileCall call, const char* first, const char* second, FaultAction& action);
    // Whether the call misbehaves, where every fault makes it fail.
    bool Faulty(FileCall call, const char* first = nullptr)
    {
        FaultAction action;
        return Faulty(call, first, nullptr, action);
    }

    // How far a log file written through these services is on the disk for sure, and how
    // far it goes.
    struct Written
    {
        int64_t flushed;
        int64_t size;
    };
    void Opened(LogHandle log, const char* path, int64_t size);

    std::map<LogHandle, std::string> logPaths;
    std::map<std::string, Written> written;
    bool cp932;
    bool windowsPaths;
    int calls[CallKinds];
    std::vector<Fault> faults;
};

#endif
