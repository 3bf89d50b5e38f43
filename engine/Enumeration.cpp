#include "engine/Enumeration.h"

#include "core/CountedString.h"
#include "engine/FileEntry.h"
#include "engine/NameHashes.h"
#include "engine/log/LogFileFilter.h"
#include "engine/platform/PathNames.h"

#include <cstring>

bool FolderSearch::Start(const CountedString& folder, const CountedString& mask)
{
    // A separator in the mask would list another folder, whose names the run would then
    // look for, and rename, in this one.
    if (mask.Data() && HoldsSeparator(mask.Data(), fs))
        return false;
    CountedString pattern(folder);
    EnsureFinalSeparator(pattern, fs);
    pattern.Append(mask.Text());
    handle = fs.FindFirst(pattern.Data(), current);
    return handle != nullptr;
}

void FolderSearch::Close()
{
    if (handle)
        fs.FindClose(handle);
    handle = nullptr;
}

bool ForEachName(FileServices& fs, const CountedString& folder, const std::function<void(const char*)>& take)
{
    FolderSearch search(fs);
    if (!search.Start(folder, CountedString("*")))
        return false;
    FindNextResult next;
    do {
        take(search.Current().name);
        if (search.Current().shortName[0] != '\0')
            take(search.Current().shortName);
    } while ((next = search.Next()) == FindNextFound);
    return next == FindNextEnd;
}

void CollectReport::LeaveOut(const char* name, LeftOutKind kind)
{
    leftOutFiles.push_back(LeftOutFile{name, kind});
    ++leftOut[kind];
}

namespace {

// The files a search passed over before its current result.
void LeaveOutMasked(const FoundFile& found, CollectReport& report)
{
    for (size_t at = 0; at < found.maskedOut.size(); at += std::strlen(found.maskedOut.c_str() + at) + 1)
        report.LeaveOut(found.maskedOut.c_str() + at, LeftOutShortNameOnly);
}

}  // namespace

void ReleaseEntries(EntryList& list, int from)
{
    for (int i = from; i < list.Count(); ++i)
        ReleaseEntryHandle(list.At(i));
    list.Clear();
}

CollectResult CollectEntries(FolderSearch& search, const char* folderText, const char* logPath, EntryList& list,
                             FileServices& fs, CollectReport& report)
{
    list.Clear();
    LogFileFilter logFilter(logPath, fs);
    // Given once with its final separator, the folder is not lengthened again for every entry.
    CountedString folder(folderText);
    EnsureFinalSeparator(folder, fs);
    CollectResult result = CollectDone;
    for (;;) {
        const FoundFile& found = search.Current();
        if (report.everyName) {
            report.everyName->Add(found.name);
            if (found.shortName[0] != '\0')
                report.everyName->Add(found.shortName);
        }
        LeaveOutMasked(found, report);
        if (!found.isDirectory) {
            if (found.hiddenSystem) {
                // Whatever its name, it is no file of the user's: neither renamed nor failed.
                report.LeaveOut(found.name, LeftOutHiddenSystem);
            } else if (found.unreachable) {
                // The platform cannot reach a file through a path longer than its calls take
                // either; that is said as it is, not blamed on the name.
                const bool pathTooLong = PathOutOfReach(folder.Concat(found.name).Data(), fs);
                report.unreachable.push_back(
                    UnreachableName{found.name, pathTooLong ? FailurePathTooLong : FailureNameNotRepresentable});
                report.LeaveOut(found.name, pathTooLong ? LeftOutPathTooLong : LeftOutUnreachable);
            } else if (std::strlen(found.name) > static_cast<size_t>(kNameSize - 1)) {
                // Possible in a double-byte code page: the file system counts characters.
                report.unreachable.push_back(UnreachableName{found.name, FailureNameTooLong});
                report.LeaveOut(found.name, LeftOutTooLong);
            } else {
                EntryHandle* handle = NewEntryHandle(folder.Data(), fs);
                handle->entry->FillFromFindData(found);
                if (logFilter.IsLog(found, handle->entry->folder, handle->entry->currentName)) {
                    ReleaseEntryHandle(handle);
                    report.LeaveOut(found.name, LeftOutLog);
                } else {
                    list.AddLast(handle);
                }
            }
        }
        FindNextResult next = search.Next();
        if (next == FindNextEnd) {
            LeaveOutMasked(search.Current(), report);
            break;
        }
        if (next == FindNextError) {
            result = CollectListingFailed;
            break;
        }
    }
    search.Close();
    if (result != CollectDone)
        ReleaseEntries(list, 0);
    return result;
}
