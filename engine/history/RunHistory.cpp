#include "engine/history/RunHistory.h"

#include "core/CountedString.h"
#include "engine/Enumeration.h"
#include "engine/log/RenameLogReader.h"
#include "engine/names/DateFields.h"
#include "engine/platform/PathNames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// "NNNNNNNN-YYYYMMDD-hhmmss-VVVVVVVVVVVVVVVV" and the extension.
const size_t kStemLength = 8 + 1 + 8 + 1 + 6 + 1 + 16;
const char kLive[] = ".log";
const char kSealed[] = ".old";

bool AllOf(const char* text, size_t count, bool hex)
{
    for (size_t i = 0; i < count; ++i) {
        const char c = text[i];
        const bool digit = c >= '0' && c <= '9';
        if (!digit && !(hex && c >= 'a' && c <= 'f'))
            return false;
    }
    return true;
}

// The record's number, time and volume from its name; false for any other file.
bool ParseName(const char* name, HistoryRecord& record)
{
    if (std::strlen(name) != kStemLength + 4)
        return false;
    const char* extension = name + kStemLength;
    record.sealed = std::strcmp(extension, kSealed) == 0;
    if (!record.sealed && std::strcmp(extension, kLive) != 0)
        return false;
    if (!AllOf(name, 8, false) || name[8] != '-' || !AllOf(name + 9, 8, false) || name[17] != '-' ||
        !AllOf(name + 18, 6, false) || name[24] != '-' || !AllOf(name + 25, 16, true))
        return false;
    record.number = static_cast<uint32_t>(std::strtoul(std::string(name, 8).c_str(), nullptr, 10));
    const std::string d(name + 9, 8);
    const std::string t(name + 18, 6);
    record.made = d.substr(0, 4) + "/" + d.substr(4, 2) + "/" + d.substr(6, 2) + " " + t.substr(0, 2) + ":" +
                  t.substr(2, 2) + ":" + t.substr(4, 2);
    record.volume = std::strtoull(std::string(name + 25, 16).c_str(), nullptr, 16);
    return true;
}

// What the record says of its files, read through the log's own reader.
void ReadState(HistoryRecord& record, FileServices& fs)
{
    std::vector<LoggedStep> steps;
    RenameLogParser parser(fs, &steps);
    if (!ReadRenameLog(record.path.c_str(), fs, parser) || !parser.IsRenameLog() || parser.Size() == 0) {
        record.state = RecordUnreadable;
        return;
    }
    record.folder = parser.Folder();
    record.runKey = parser.RunKey();
    const bool takenBack = parser.Acts() % 2 == 0;
    if (parser.LastActOpen())
        record.state = takenBack ? RecordUndoOpen : RecordRedoOpen;
    else if (parser.Sections() == 1 && !parser.RunFinished())
        record.state = RecordRunOpen;
    else
        record.state = takenBack ? RecordTakenBack : RecordDone;
    record.moves = false;
    for (size_t i = parser.LastActStart(); i < steps.size(); ++i)
        record.moves = record.moves || steps[i].cut || (!steps[i].Failed() && steps[i].from != steps[i].to);
}

}  // namespace

std::string RecordFolder(const char* folder, FileServices& fs)
{
    std::string full = fs.FullPath(folder);
    // "C:\" and "/" keep theirs.
    while (full.size() > 1 && EndsWithSeparator(full.c_str(), fs) && !(full.size() == 3 && full[1] == ':'))
        full.pop_back();
    return full;
}

bool RunHistory::CanBeWritten()
{
    if (!fs.CreateFolder(folder.c_str()))
        return false;
    CountedString probe(folder.c_str());
    EnsureFinalSeparator(probe, fs);
    probe.Append("~probe.tmp");
    return fs.CanCreateFile(probe.Data());
}

bool RunHistory::Load()
{
    records.clear();
    FolderSearch search(fs);
    if (!search.Start(CountedString(folder.c_str()), CountedString("*")))
        return !FolderFound(folder.c_str(), fs);
    CountedString base(folder.c_str());
    EnsureFinalSeparator(base, fs);
    do {
        const FoundFile& found = search.Current();
        HistoryRecord record;
        if (found.isDirectory || !ParseName(found.name, record))
            continue;
        record.path = base.Concat(found.name).Data();
        records.push_back(record);
    } while (search.Next() == FindNextFound);
    std::sort(records.begin(), records.end(),
              [](const HistoryRecord& a, const HistoryRecord& b) { return a.number < b.number; });
    for (HistoryRecord& record : records) {
        uint64_t size = 0;
        WriteTime written;
        ReadHandle file = fs.OpenReadWithInfo(record.path.c_str(), size, written);
        if (file)
            fs.CloseRead(file);
        record.size = size;
        ReadState(record, fs);
    }
    return true;
}

int RunHistory::NextUndo() const
{
    for (size_t i = records.size(); i-- > 0;) {
        const HistoryRecord& record = records[i];
        if ((record.state == RecordDone && record.moves) || record.Open())
            return static_cast<int>(i);
    }
    return -1;
}

// Undos go from the newest record back, so the records taken back since the last run are the
// newest ones that are not sealed, and the last one taken back is the oldest of them.
int RunHistory::NextRedo() const
{
    for (size_t i = 0; i < records.size(); ++i) {
        const HistoryRecord& record = records[i];
        if (!record.sealed && (record.state == RecordTakenBack || record.state == RecordRedoOpen))
            return static_cast<int>(i);
    }
    return -1;
}

uint64_t RunHistory::VolumeOf(const std::string& fullFolder) const
{
    FileIdentity identity;
    return fs.Identify(fullFolder.c_str(), identity) ? identity.volume : 0;
}

bool RunHistory::SameFolder(const HistoryRecord& record, const std::string& fullFolder) const
{
    return fs.SameName(record.folder.c_str(), fullFolder.c_str()) && record.volume == VolumeOf(fullFolder);
}

int RunHistory::UnfinishedIn(const std::string& fullFolder) const
{
    for (size_t i = records.size(); i-- > 0;) {
        if (records[i].Open() && (records[i].moves || records[i].state != RecordRunOpen) &&
            SameFolder(records[i], fullFolder))
            return static_cast<int>(i);
    }
    return -1;
}

bool RunHistory::Holds(uint64_t runKey, const std::string& fullFolder) const
{
    for (const HistoryRecord& record : records) {
        if (record.state != RecordUnreadable && record.runKey == runKey &&
            fs.SameName(record.folder.c_str(), fullFolder.c_str()))
            return true;
    }
    return false;
}

void RunHistory::Seal()
{
    for (HistoryRecord& record : records) {
        if (record.sealed || record.state != RecordTakenBack)
            continue;
        std::string sealed = record.path.substr(0, record.path.size() - 4) + kSealed;
        int error = 0;
        if (fs.Move(record.path.c_str(), sealed.c_str(), error) == MoveDone) {
            record.path = sealed;
            record.sealed = true;
        }
    }
}

// Leaves room for one more record within the bound.
void RunHistory::Trim()
{
    uint64_t bytes = 0;
    for (const HistoryRecord& record : records)
        bytes += record.size;
    size_t count = records.size();
    for (size_t i = 0;
         i < records.size() && (count + 1 > static_cast<size_t>(kHistoryRecords) || bytes > kHistoryBytes); ++i) {
        if (records[i].Open() || !fs.RemoveFile(records[i].path.c_str()))
            continue;
        bytes -= records[i].size;
        --count;
        records[i].path.clear();
    }
    records.erase(
        std::remove_if(records.begin(), records.end(), [](const HistoryRecord& record) { return record.path.empty(); }),
        records.end());
}

std::string RunHistory::NewRecordPath(const std::string& fullFolder, int64_t localNow)
{
    if (!fs.CreateFolder(folder.c_str()))
        return std::string();
    Seal();
    Trim();
    const uint32_t number = records.empty() ? 1 : records.back().number + 1;
    char made[kOrderDateSize];
    FormatOrderDate(localNow, 0, made);
    // "2019/05/01 10:00:00" to "20190501-100000".
    std::string stamp;
    for (const char* c = made; *c; ++c) {
        if (*c >= '0' && *c <= '9')
            stamp.push_back(*c);
        else if (*c == ' ')
            stamp.push_back('-');
    }
    char name[kStemLength + 8];
    std::snprintf(name, sizeof name, "%08u-%s-%016llx%s", number, stamp.c_str(),
                  static_cast<unsigned long long>(VolumeOf(fullFolder)), kLive);
    CountedString path(folder.c_str());
    EnsureFinalSeparator(path, fs);
    path.Append(name);
    return path.Data();
}
