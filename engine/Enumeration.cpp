#include "engine/Enumeration.h"

#include "core/CountedString.h"
#include "engine/AsciiFold.h"
#include "engine/FileEntry.h"

#include <cstring>

bool FolderSearch::Start(const CountedString& folder, const CountedString& mask)
{
    // A separator in the mask would list another folder, whose names the run would then
    // look for, and rename, in this one.
    if (mask.Data() && HoldsSeparator(mask.Data(), fs))
        return false;
    CountedString pattern(folder);
    if (!EndsWithSeparator(pattern.Data() ? pattern.Data() : "", fs)) {
        const char separator[2] = {fs.Separator(), '\0'};
        pattern.Append(separator);
    }
    pattern.Append(mask.Data() ? mask.Data() : "");
    handle = fs.FindFirst(pattern.Data(), current);
    return handle != nullptr;
}

void FolderSearch::Close()
{
    if (handle)
        fs.FindClose(handle);
    handle = nullptr;
}

static bool SameIgnoringAsciiCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        if (FoldAscii(static_cast<unsigned char>(*a)) != FoldAscii(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

// The part of a path behind its last separator: the platform's own, and "/", which Windows
// takes as one too. Elsewhere a backslash is an ordinary byte of a name.
static const char* FinalComponent(const char* path, const FileServices& fs)
{
    const char* final = path;
    for (const char* p = path; *p; ++p) {
        if (fs.IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) {
            ++p;
            continue;
        }
        if (*p == fs.Separator() || *p == '/')
            final = p + 1;
    }
    return final;
}

namespace {

// Tells whether a listed name is the log file. Only names that could be it by their final
// component are asked of the file system, which alone knows how it compares names.
class LogFileFilter
{
public:
    LogFileFilter(const char* logPath, FileServices& fs) : logPath(logPath), fs(fs), logName(nullptr)
    {
        if (logPath && logPath[0])
            logName = FinalComponent(logPath, fs);
    }

    bool IsLog(const FileEntry& entry) const
    {
        if (logName == nullptr || !SameIgnoringAsciiCase(logName, entry.currentName))
            return false;
        return fs.SameFile(logPath, entry.folder.Concat(entry.currentName).Data());
    }

private:
    const char* logPath;
    FileServices& fs;
    const char* logName;
};

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
    CollectResult result = CollectDone;
    for (;;) {
        const FoundFile& found = search.Current();
        if (!found.isDirectory) {
            if (found.unreachable) {
                report.unreachable.push_back(found.name);
                ++report.leftOut[LeftOutUnreachable];
            } else if (std::strlen(found.name) > static_cast<size_t>(kNameSize - 1)) {
                report.offendingName = found.name;
                result = CollectNameTooLong;
                break;
            } else {
                EntryHandle* handle = NewEntryHandle(folderText, fs);
                handle->entry->FillFromFindData(found);
                if (logFilter.IsLog(*handle->entry)) {
                    ReleaseEntryHandle(handle);
                    ++report.leftOut[LeftOutLog];
                } else {
                    list.AddLast(handle);
                }
            }
        }
        FindNextResult next = search.Next();
        if (next == FindNextEnd)
            break;
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
