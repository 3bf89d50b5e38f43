#include "tests/support/FaultyFileServices.h"

#include <algorithm>

void FaultyFileServices::Inject(FileCall call, int nth, FaultAction action)
{
    faults.push_back(Fault{call, nth, action, false});
}

void FaultyFileServices::InjectFrom(FileCall call, int nth, FaultAction action)
{
    faults.push_back(Fault{call, nth, action, true});
}

bool FaultyFileServices::Faulty(FileCall call, const char* first, const char* second, FaultAction& action)
{
    int nth = ++calls[call];
    if (beforeCall)
        beforeCall(call, nth, first, second);
    if (failWhen && failWhen(call, first, second)) {
        action = FaultFail;
        return true;
    }
    for (const Fault& fault : faults) {
        if (fault.call == call && (fault.nth == 0 || fault.nth == nth || (fault.onwards && nth > fault.nth))) {
            action = fault.action;
            return true;
        }
    }
    return false;
}

SearchHandle FaultyFileServices::FindFirst(const char* pattern, FoundFile& first)
{
    if (Faulty(CallFindFirst, pattern))
        return nullptr;
    SearchHandle search = real.FindFirst(pattern, first);
    if (search && adjustFound)
        adjustFound(first);
    return search;
}

FindNextResult FaultyFileServices::FindNext(SearchHandle search, FoundFile& next)
{
    if (Faulty(CallFindNext))
        return FindNextError;
    FindNextResult result = real.FindNext(search, next);
    if (result == FindNextFound && adjustFound)
        adjustFound(next);
    return result;
}

bool FaultyFileServices::FolderExists(const char* path)
{
    FaultAction action;
    if (Faulty(CallFolderExists, path, nullptr, action))
        return action == FaultReportTaken;
    return real.FolderExists(path);
}

bool FaultyFileServices::Exists(const char* path)
{
    FaultAction action;
    if (Faulty(CallExists, path, nullptr, action))
        return action == FaultReportTaken;
    return real.Exists(path);
}

MoveResult FaultyFileServices::Move(const char* from, const char* to, int& error)
{
    FaultAction action;
    if (Faulty(CallMove, from, to, action)) {
        error = action == FaultReportTaken ? 0 : 5;
        return action == FaultReportTaken ? MoveTargetTaken : MoveFailed;
    }
    return real.Move(from, to, error);
}

bool FaultyFileServices::Identify(const char* path, FileIdentity& identity)
{
    if (Faulty(CallIdentify, path))
        return false;
    return real.Identify(path, identity);
}

static const uint32_t kReadOnly = 1;
static const uint32_t kHiddenOrSystem = 2 | 4;

uint32_t FaultyFileServices::KeptAttributes(const char* path)
{
    if (attributesOf)
        return attributesOf(path) & kHiddenOrSystem;
    return real.KeptAttributes(path);
}

LogHandle FaultyFileServices::CreateLog(const char* path, uint32_t keptAttributes)
{
    if (Faulty(CallCreateLog, path))
        return nullptr;
    const uint32_t attributes = attributesOf ? attributesOf(path) : 0;
    if ((attributes & kReadOnly) != 0 || (attributes & kHiddenOrSystem & ~keptAttributes) != 0)
        return nullptr;
    LogHandle log = real.CreateLog(path, keptAttributes);
    Opened(log, path, 0);
    return log;
}

void FaultyFileServices::Opened(LogHandle log, const char* path, int64_t size)
{
    if (log == nullptr)
        return;
    logPaths[log] = path;
    auto known = written.find(path);
    if (known == written.end()) {
        written[path] = Written{size, size};
        return;
    }
    known->second.size = size;
    known->second.flushed = std::min(known->second.flushed, size);
}

LogHandle FaultyFileServices::AppendLog(const char* path)
{
    if (Faulty(CallAppendLog, path))
        return nullptr;
    if (attributesOf && (attributesOf(path) & kReadOnly) != 0)
        return nullptr;
    uint64_t size = 0;
    WriteTime time;
    ReadHandle file = real.OpenReadWithInfo(path, size, time);
    if (file)
        real.CloseRead(file);
    LogHandle log = real.AppendLog(path);
    Opened(log, path, static_cast<int64_t>(size));
    return log;
}

ReadHandle FaultyFileServices::OpenRead(const char* path, bool& fileThere)
{
    if (Faulty(CallOpenRead, path)) {
        fileThere = true;
        return nullptr;
    }
    return real.OpenRead(path, fileThere);
}

ReadHandle FaultyFileServices::OpenReadWithInfo(const char* path, uint64_t& size, WriteTime& written)
{
    if (Faulty(CallOpenRead, path))
        return nullptr;
    return real.OpenReadWithInfo(path, size, written);
}

int FaultyFileServices::Read(ReadHandle file, void* buffer, int size)
{
    if (Faulty(CallRead))
        return -1;
    return real.Read(file, buffer, size);
}

int FaultyFileServices::ReadAt(ReadHandle file, uint64_t offset, void* buffer, int size)
{
    if (Faulty(CallReadAt))
        return -1;
    return real.ReadAt(file, offset, buffer, size);
}

bool FaultyFileServices::LastWriteTime(const char* path, WriteTime& written, bool& offline)
{
    if (Faulty(CallLastWriteTime, path))
        return false;
    return real.LastWriteTime(path, written, offline);
}

bool FaultyFileServices::WriteLog(LogHandle log, const void* bytes, int count)
{
    FaultAction action;
    if (Faulty(CallWriteLog, nullptr, nullptr, action)) {
        if (action == FaultWriteHalf)
            real.WriteLog(log, bytes, count / 2);
        return false;
    }
    if (!real.WriteLog(log, bytes, count))
        return false;
    if (logPaths.count(log))
        written[logPaths[log]].size += count;
    return true;
}

bool FaultyFileServices::TruncateLog(LogHandle log, int64_t size)
{
    if (!real.TruncateLog(log, size))
        return false;
    if (logPaths.count(log)) {
        Written& file = written[logPaths[log]];
        file.size = size;
        file.flushed = std::min(file.flushed, size);
    }
    return true;
}

bool FaultyFileServices::FlushLog(LogHandle log)
{
    if (Faulty(CallFlushLog) || !real.FlushLog(log))
        return false;
    if (logPaths.count(log))
        written[logPaths[log]].flushed = written[logPaths[log]].size;
    return true;
}

void FaultyFileServices::CloseLog(LogHandle log)
{
    logPaths.erase(log);
    real.CloseLog(log);
}

void FaultyFileServices::CutPower(PowerCutKind kind, unsigned seed)
{
    for (const auto& file : written) {
        const int64_t lost = file.second.size - file.second.flushed;
        if (lost <= 0)
            continue;
        seed = seed * 1103515245u + 12345u;
        const int64_t kept = file.second.flushed + (kind == CutPartly ? static_cast<int64_t>(seed % lost) : 0);
        LogHandle log = real.AppendLog(file.first.c_str());
        if (log == nullptr)
            continue;
        real.TruncateLog(log, kept);
        if (kind == CutToNuls) {
            const std::string nuls(static_cast<size_t>(1 + seed % lost), '\0');
            real.WriteLog(log, nuls.data(), static_cast<int>(nuls.size()));
        }
        real.CloseLog(log);
    }
    written.clear();
}

bool FaultyFileServices::IsLeadByte(unsigned char c) const
{
    if (cp932)
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    return real.IsLeadByte(c);
}
