#ifndef QUILLOWBY_ENGINE_ENUMERATION_H
#define QUILLOWBY_ENGINE_ENUMERATION_H

#include "engine/log/LogFormat.h"
#include "engine/platform/FileServices.h"

#include <functional>
#include <string>
#include <vector>

class CountedString;
class EntryList;
class NameHashes;

// An open folder search; closed when the owner goes.
class FolderSearch
{
public:
    explicit FolderSearch(FileServices& fs) : fs(fs), handle(nullptr) {}
    ~FolderSearch() { Close(); }

    // Searches "folder<separator>mask" (one separator, the mask as typed) and fetches the
    // first result. False when the folder cannot be searched, nothing at all matches, or the
    // mask holds a separator.
    bool Start(const CountedString& folder, const CountedString& mask);
    FindNextResult Next() { return fs.FindNext(handle, current); }
    void Close();

    const FoundFile& Current() const { return current; }

private:
    FolderSearch(const FolderSearch&);
    FolderSearch& operator=(const FolderSearch&);

    FileServices& fs;
    SearchHandle handle;
    FoundFile current;
};

// Hands every name of the folder to take, short names too, from one listing. False when the
// listing failed before its end: the names handed so far are not all.
bool ForEachName(FileServices& fs, const CountedString& folder, const std::function<void(const char*)>& take);

enum CollectResult
{
    CollectDone,
    CollectListingFailed
};

// A file the run cannot touch, and why, as its log line says.
struct UnreachableName
{
    std::string name;
    StepFailure reason;
};

// Why a listed file is not part of the batch.
enum LeftOutKind
{
    // The ANSI code page cannot reach its name.
    LeftOutUnreachable,
    // It is the run's own log file.
    LeftOutLog,
    // Its name is longer than a new name may be (possible in a double-byte code page).
    LeftOutTooLong,
    // The mask takes it by its short (8.3) name alone, as the Windows search does.
    LeftOutShortNameOnly,
    // Windows marks it hidden and system: the folder's own file (desktop.ini, Thumbs.db), which
    // the user never sees and whose name the folder's settings rely on.
    LeftOutHiddenSystem,
    // The folder's path with its name is longer than the file calls take.
    LeftOutPathTooLong,
    LeftOutKindCount
};

// A listed file that is not part of the batch, and why.
struct LeftOutFile
{
    std::string name;
    LeftOutKind kind;
};

struct CollectReport
{
    CollectReport() : leftOut(), everyName(nullptr) {}

    // Counts the file as left out of the batch, and keeps its name to be shown.
    void LeaveOut(const char* name, LeftOutKind kind);

    // Names the ANSI code page cannot reach, or too long to rename, or whose path is too
    // long; left out of the batch.
    std::vector<UnreachableName> unreachable;
    // Every file left out of the batch, in the listing's order.
    std::vector<LeftOutFile> leftOutFiles;
    // Files left out of the batch, by kind.
    int leftOut[LeftOutKindCount];
    // Given, it learns every name the search yields, short names too, whatever it is.
    NameHashes* everyName;
};

// Clears the list and adds one entry per regular file the started search yields, in its
// order; closes the search. The file at logPath (if it lies there) is never part of the
// batch. On any result but CollectDone the list is released and left empty.
CollectResult CollectEntries(FolderSearch& search, const char* folderText, const char* logPath, EntryList& list,
                             FileServices& fs, CollectReport& report);

// Releases the entries at positions from..Count()-1 and clears the list.
void ReleaseEntries(EntryList& list, int from);

#endif
