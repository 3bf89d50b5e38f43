#include "engine/run/StoppedWalk.h"

#include "core/CountedString.h"
#include "engine/Enumeration.h"
#include "engine/FileEntry.h"
#include "engine/RunProgress.h"
#include "engine/history/WriteAhead.h"
#include "engine/log/RenameLog.h"
#include "engine/platform/FileServices.h"
#include "engine/platform/PathNames.h"
#include "engine/run/RunOutcome.h"
#include "engine/steps/FileSteps.h"

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
    // The name as the first file that may go there has it; whether it stands in the folder.
    std::string name;
    bool taken;
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
            WaitingFile file = {entry, {Slot(entry->newName), Slot(entry->originalName.Data())}, NoSide};
            files.push_back(file);
        }
        if (!files.empty())
            FindTakenNames(files.front().entry->folder);
        for (int i = 0; i < static_cast<int>(files.size()); ++i) {
            WaitingFile& file = files[i];
            for (int& slot : file.names) {
                if (names[slot].taken)
                    slot = kTaken;
            }
            if (file.names[OriginalSide] == file.names[NewSide])
                file.names[OriginalSide] = kTaken;
            for (int slot : file.names) {
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
    int Slot(const char* name)
    {
        std::string key = NameKey(name, fs);
        auto known = slots.find(key);
        if (known != slots.end())
            return known->second;
        int slot = static_cast<int>(names.size());
        names.push_back(FreeName{name, false, false, 0, {}});
        slots[key] = slot;
        return slot;
    }

    // The key under which a name and every name the file system takes for the same one meet:
    // letter case folded where it does not count, a double-byte character kept by its lead
    // byte alone (the two cases of a full-width, Greek or Cyrillic letter share theirs).
    std::string LooseKey(const char* name) const
    {
        if (!fs.IgnoresCase())
            return name;
        std::string key;
        for (const char* c = name; *c;) {
            int length = CharacterLength(c, fs);
            char byte = *c;
            key += length == 1 && byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A') : byte;
            c += length;
        }
        return key;
    }

    void MarkListed(const char* listed, const std::unordered_multimap<std::string, int>& byKey)
    {
        auto same = byKey.equal_range(LooseKey(listed));
        for (auto it = same.first; it != same.second; ++it) {
            if (fs.SameName(listed, names[it->second].name.c_str()))
                names[it->second].taken = true;
        }
    }

    // Which names stand in the folder at the stop, by its name or its short name, from one
    // listing of it: where the file system reads the whole folder to find a name missing
    // (Wine looks for it in every letter case and among the short names), two existence
    // tests per waiting file made settling cost three times a step of the walk. A listing
    // that fails leaves each name to its own existence test.
    void FindTakenNames(const CountedString& folder)
    {
        std::unordered_multimap<std::string, int> byKey;
        for (int slot = 0; slot < static_cast<int>(names.size()); ++slot)
            byKey.emplace(LooseKey(names[slot].name.c_str()), slot);
        if (ForEachName(fs, folder, [&](const char* name) { MarkListed(name, byKey); }))
            return;
        for (FreeName& name : names)
            name.taken = fs.Exists(folder.Concat(name.name.c_str()).Data());
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

// The file goes to the name given to it; put back when that is its original name, when none
// was given, or when its new name was taken after all.
void Settle(const WaitingFile& file, LogWriter& log, FileServices& fs, RunOutcome& outcome)
{
    FileEntry& entry = *file.entry;
    if (file.placed == NewSide) {
        bool done = MoveOn(entry, fs);
        WriteLogLine(entry, log);
        if (done) {
            ++outcome.renamed;
            return;
        }
    }
    PutBackCounted(entry, log, fs, outcome.leftTemporary, file.placed == NoSide ? FailureBothNamesTaken : FailureNone);
    ++outcome.notRenamed;
}

// Tells the record written ahead the moves of the files from position on, as far as one
// batch goes; returns the position after the last one told.
size_t ExpectSettling(const std::vector<WaitingFile>& files, size_t position, WriteAhead& ahead)
{
    for (; position < files.size(); ++position) {
        const WaitingFile& file = files[position];
        const FileEntry& entry = *file.entry;
        const char* to = file.placed == NewSide ? entry.newName : entry.originalName.Data();
        if (file.placed != NoSide && !ahead.Expect(entry.currentName, to))
            break;
    }
    ahead.Announce();
    return position;
}

}  // namespace

void SettleStoppedWalk(EntryList& list, int from, LogWriter& log, FileServices& fs, RunOutcome& outcome,
                       RunProgress* progress, WriteAhead* ahead)
{
    int waiting = 0;
    for (int position = from; position < list.Count(); ++position)
        waiting += list.At(position)->entry->originalName.IsAbsent() ? 0 : 1;
    int settled = 0;
    if (progress)
        progress->Settling(settled, waiting);
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
        BeginStep(entry, entry.originalName.Data());
        if (LostToAnotherFile(entry, fs)) {
            WriteLogLine(entry, log);
            ++outcome.notRenamed;
            if (progress)
                progress->Settling(++settled, waiting);
        }
    }
    NameSharing sharing(list, from, fs);
    sharing.Share();
    size_t expectedUpTo = 0;
    for (size_t i = 0; i < sharing.files.size(); ++i) {
        const WaitingFile& file = sharing.files[i];
        if (ahead && ahead->Idle() && i >= expectedUpTo)
            expectedUpTo = ExpectSettling(sharing.files, i, *ahead);
        Settle(file, log, fs, outcome);
        if (progress)
            progress->Settling(++settled, waiting);
    }
    ReleaseEntries(list, from);
}
