#include "engine/StoppedWalk.h"

#include "engine/Enumeration.h"
#include "engine/FileEntry.h"
#include "engine/PathNames.h"
#include "engine/platform/FileServices.h"
#include "engine/log/RenameLog.h"
#include "engine/RunRename.h"

#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

const int kTaken = -1;

// The two names a waiting file may go to.
enum Side
{
    NewSide,
    OriginalSide,
    NoSide
};

Side OtherSide(Side side)
{
    return side == NewSide ? OriginalSide : NewSide;
}

struct WaitingFile
{
    FileEntry* entry;
    // The free names it may take, by side; kTaken when a name was taken at the stop, or when
    // both are one name.
    int names[2];
    // The side of the name given to it; NoSide while none has been.
    Side placed;
};

struct FreeName
{
    bool given;
    // Waiting files without a name that may still take this one.
    int wanting;
    std::vector<int> files;
};

// Shares out the names free at the stop: a name that only one waiting file still wants goes
// to that file, new names first, and when the names left are each wanted by two files, one
// file is given its new name and the sharing goes on.
//
// Every file has at most two names to choose from, and moves out of temporary names only
// free names nobody wants, so the names can be given before any file moves and the moves
// made in any order. A name only one file still wants can always go to that file without
// costing another file its place; so giving those first, and breaking each ring that is left
// by giving one file its new name, places every file that any sharing could place.
class NameSharing
{
public:
    NameSharing(EntryList& list, int from, FileServices& fs) : fs(fs)
    {
        for (int position = from; position < list.Count(); ++position) {
            FileEntry* entry = list.At(position)->entry;
            if (entry->originalName.IsAbsent() || entry->gone)
                continue;
            WaitingFile file = {entry, {Slot(*entry, entry->newName), Slot(*entry, entry->originalName.Data())}, NoSide};
            if (file.names[OriginalSide] == file.names[NewSide])
                file.names[OriginalSide] = kTaken;
            files.push_back(file);
        }
        for (int i = 0; i < static_cast<int>(files.size()); ++i) {
            for (int slot : files[i].names) {
                if (slot != kTaken) {
                    ++names[slot].wanting;
                    names[slot].files.push_back(i);
                }
            }
        }
    }

    void Share()
    {
        for (int slot = 0; slot < static_cast<int>(names.size()); ++slot)
            Offer(slot);
        GiveLoneNames();
        for (int i = 0; i < static_cast<int>(files.size()); ++i) {
            for (Side side : {NewSide, OriginalSide}) {
                int slot = files[i].names[side];
                if (files[i].placed == NoSide && slot != kTaken && !names[slot].given) {
                    Give(i, side);
                    GiveLoneNames();
                }
            }
        }
    }

    std::vector<WaitingFile> files;

private:
    int Slot(const FileEntry& entry, const char* name)
    {
        std::string key = NameKey(name, fs);
        auto known = slots.find(key);
        if (known != slots.end())
            return known->second;
        int slot = kTaken;
        if (!fs.Exists(entry.folder.Concat(name).Data())) {
            slot = static_cast<int>(names.size());
            names.push_back(FreeName{false, 0, {}});
        }
        slots[key] = slot;
        return slot;
    }

    int LoneFile(int slot) const
    {
        for (int i : names[slot].files) {
            if (files[i].placed == NoSide)
                return i;
        }
        return kTaken;
    }

    // A name only one file still wants joins the queue of its side, new names first.
    void Offer(int slot)
    {
        if (names[slot].given || names[slot].wanting != 1)
            return;
        int lone = LoneFile(slot);
        (files[lone].names[NewSide] == slot ? loneNew : loneOriginal).push_back(slot);
    }

    void GiveLoneNames()
    {
        while (!loneNew.empty() || !loneOriginal.empty()) {
            std::deque<int>& queue = loneNew.empty() ? loneOriginal : loneNew;
            int slot = queue.front();
            queue.pop_front();
            if (names[slot].given || names[slot].wanting != 1)
                continue;
            int lone = LoneFile(slot);
            Give(lone, files[lone].names[NewSide] == slot ? NewSide : OriginalSide);
        }
    }

    void Give(int file, Side side)
    {
        WaitingFile& waiting = files[file];
        waiting.placed = side;
        names[waiting.names[side]].given = true;
        int other = waiting.names[OtherSide(side)];
        if (other != kTaken && !names[other].given) {
            --names[other].wanting;
            Offer(other);
        }
    }

    FileServices& fs;
    std::unordered_map<std::string, int> slots;
    std::vector<FreeName> names;
    std::deque<int> loneNew;
    std::deque<int> loneOriginal;
};

// The step from the temporary name to the new name, which was free at the stop.
bool MoveOn(FileEntry& entry, FileServices& fs)
{
    entry.BeginStep(entry.newName);
    MoveResult moved = entry.LeaveTempName(entry.newName, fs);
    if (moved == MoveDone)
        return true;
    entry.stepFailure = moved == MoveTargetTaken ? FailureNewNameTaken : FailureMove;
    return false;
}

}  // namespace

void SettleStoppedWalk(EntryList& list, int from, LogWriter& log, FileServices& fs, RunOutcome& outcome)
{
    for (int position = from; position < list.Count(); ++position) {
        FileEntry& entry = *list.At(position)->entry;
        if (entry.originalName.IsAbsent()) {
            if (std::strcmp(entry.currentName, entry.newName) == 0)
                ++outcome.renamed;
            else
                ++outcome.notRenamed;
            continue;
        }
        // Another file under its temporary name is none of the names to share out.
        entry.BeginStep(entry.originalName.Data());
        if (entry.LostToAnotherFile(fs)) {
            entry.WriteLogLine(log);
            ++outcome.notRenamed;
        }
    }
    NameSharing sharing(list, from, fs);
    sharing.Share();
    for (const WaitingFile& file : sharing.files) {
        FileEntry& entry = *file.entry;
        if (file.placed == NewSide) {
            bool done = MoveOn(entry, fs);
            entry.WriteLogLine(log);
            if (done) {
                ++outcome.renamed;
                continue;
            }
        }
        PutBackCounted(entry, log, fs, outcome, file.placed == NoSide ? FailureBothNamesTaken : FailureNone);
        ++outcome.notRenamed;
    }
    ReleaseEntries(list, from);
}
