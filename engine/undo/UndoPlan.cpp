#include "engine/undo/UndoPlan.h"

#include "core/CountedString.h"
#include "engine/Enumeration.h"
#include "engine/log/RenameLog.h"
#include "engine/steps/TempNames.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

bool Movable(const std::unique_ptr<UndoFile>& file)
{
    return !file->lost;
}

}  // namespace

bool RefuseUndo(UndoOutcome& outcome, UndoRefusal refusal, const std::string& name)
{
    outcome.refusal = refusal;
    outcome.refusedName = name;
    return false;
}

bool UndoPlan::Read(const char* logPath, UndoOutcome& outcome)
{
    if (logPath == nullptr || logPath[0] == '\0' || !ReadRenameLog(logPath, fs, parser))
        return RefuseUndo(outcome, UndoNoLog);
    if (!parser.IsRenameLog())
        return RefuseUndo(outcome, UndoNotALog);
    // The undo ends what the file stops inside before it writes its own record; read as if
    // that were done already (see RenameLogParser).
    logSize = static_cast<int64_t>(parser.Size());
    endsInNuls = parser.EndsInNuls();
    completion = parser.Complete();
    outcome.folder = parser.Folder();
    return true;
}

// The names of the folder, short names too, as the file system compares them.
bool UndoPlan::ListNames(const std::string& folder, std::unordered_set<std::string>& names) const
{
    return ForEachName(fs, CountedString(folder.c_str()), [&](const char* name) { names.insert(NameKey(name, fs)); });
}

bool UndoPlan::Present(const std::string& name, const std::string& folder, const std::unordered_set<std::string>& names,
                       bool listed) const
{
    if (listed)
        return names.count(NameKey(name.c_str(), fs)) != 0;
    CountedString path(folder.c_str());
    EnsureFinalSeparator(path, fs);
    return fs.Exists(path.Concat(name.c_str()).Data());
}

// Finds the steps written ahead that moved nothing: each one a later line takes back, and
// each one of a batch that no kMovesMadeLine closed whose names on the disk say it was not
// made (the file under its name before, none under its name after). Where the names cannot
// tell, the file stays where it is and is named, as for a line cut short.
void UndoPlan::SettleAnnounced(size_t first, const std::string& folder)
{
    noMove.assign(steps.size(), false);
    notMade.clear();
    for (size_t i = first; i < steps.size(); ++i) {
        if (!steps[i].NotMade())
            continue;
        for (size_t k = i; k-- > first;) {
            if (!noMove[k] && !steps[k].Failed() && steps[k].from == steps[i].from && steps[k].to == steps[i].to) {
                noMove[k] = true;
                break;
            }
        }
    }
    std::unordered_set<std::string> names;
    bool tried = false;
    bool listed = false;
    for (size_t i = first; i < steps.size(); ++i) {
        LoggedStep& step = steps[i];
        if (!step.uncertain || noMove[i] || step.Failed() || step.cut || step.from == step.to)
            continue;
        // One listing rather than an existence test per name: where the file system reads the
        // whole folder to find a name missing, a batch of them would take minutes.
        if (!tried)
            listed = ListNames(folder, names);
        tried = true;
        const bool atFrom = Present(step.from, folder, names, listed);
        const bool atTo = Present(step.to, folder, names, listed);
        if (atTo && !atFrom)
            continue;
        notMade.push_back(i);
        if (atFrom && !atTo)
            noMove[i] = true;
        else
            step.cut = true;
    }
}

// Follows every step from first on that moved a file, from the name before the record to the
// last one. A file that comes back to a name it had has nothing to take back since then.
bool UndoPlan::FollowFiles(size_t first, UndoOutcome& outcome)
{
    files.clear();
    fileOfStep.assign(steps.size(), nullptr);
    SettleAnnounced(first, outcome.folder);
    std::unordered_map<std::string, UndoFile*> at;
    for (size_t i = first; i < steps.size(); ++i) {
        const LoggedStep& step = steps[i];
        if (step.Failed() || noMove[i] || (step.from == step.to && !step.cut))
            continue;
        for (const std::string* name : {&step.from, &step.to}) {
            if (name->size() >= static_cast<size_t>(kNameSize))
                return RefuseUndo(outcome, UndoNameTooLong, *name);
            if (HoldsSeparator(name->c_str(), fs))
                return RefuseUndo(outcome, UndoNameNotPlain, *name);
        }
        UndoFile* file;
        auto found = at.find(NameKey(step.from.c_str(), fs));
        if (found == at.end()) {
            files.emplace_back(new UndoFile);
            file = files.back().get();
            file->entry.reset(new FileEntry(outcome.folder.c_str(), fs));
            file->next = 0;
            file->stopped = false;
            file->lost = false;
            file->before = step.from;
        } else {
            file = found->second;
            at.erase(found);
        }
        // Where a step cut short took the file, the log does not say: it stays where it is,
        // and so do its earlier steps.
        if (step.cut) {
            file->stopped = true;
            file->lost = true;
            file->steps.push_back(i);
            fileOfStep[i] = file;
            continue;
        }
        // A move never replaces, so a file the record left under the new name was gone
        // from it before: some other program took it away.
        auto taken = at.find(NameKey(step.to.c_str(), fs));
        if (taken != at.end()) {
            taken->second->stopped = true;
            taken->second->lost = true;
            at.erase(taken);
        }
        at[NameKey(step.to.c_str(), fs)] = file;
        std::strcpy(file->entry->currentName, step.to.c_str());
        // Oldest first while following.
        std::vector<size_t>& chain = file->steps;
        size_t back = chain.size();
        while (back > 0 && steps[chain[back - 1]].from != step.to)
            --back;
        if (back == 0) {
            chain.push_back(i);
            fileOfStep[i] = file;
            continue;
        }
        for (size_t k = back - 1; k < chain.size(); ++k)
            fileOfStep[chain[k]] = nullptr;
        chain.resize(back - 1);
    }
    size_t kept = 0;
    for (std::unique_ptr<UndoFile>& file : files) {
        if (file->steps.empty())
            continue;
        std::reverse(file->steps.begin(), file->steps.end());
        files[kept++] = std::move(file);
    }
    files.resize(kept);
    return true;
}

bool UndoPlan::Prepare(const char* logPath, UndoOutcome& outcome)
{
    if (!Read(logPath, outcome))
        return false;
    // An undo cut short is finished: the record it was taking back and what it did make one
    // record, taken back from where each file is now.
    outcome.finishing = parser.LastActOpen();
    const size_t first = outcome.finishing ? 0 : parser.LastActStart();
    if (!FollowFiles(first, outcome))
        return false;
    // With no file it could move, it only says that the last undo finished.
    onlyFinishes = outcome.finishing && std::none_of(files.begin(), files.end(), Movable);
    if (onlyFinishes)
        return true;
    if (files.empty())
        return RefuseUndo(outcome, UndoNothingToTakeBack);
    if (!SurveyFolder(first, logPath, outcome))
        return false;
    if (outcome.fileCount == 0)
        return RefuseUndo(outcome, UndoNothingToTakeBack);
    return true;
}

void UndoPlan::WriteOpening(LogWriter& log, const std::string& folder) const
{
    if (onlyFinishes) {
        log.WriteUndoFinished(completion);
        return;
    }
    // An undo that stopped right after its folder line wrote nothing else: this one goes on there.
    log.BeginUndoSection(completion, folder, !parser.LastSectionEmpty());
    if (!parser.WritesAhead())
        return;
    // What it found of the moves the record could not confirm goes on the disk before it
    // moves a file: once files move, the names no longer tell.
    for (size_t i : notMade)
        log.WriteStep(steps[i].from.c_str(), steps[i].to.c_str(), FailureNotMade, 0);
    log.ConfirmMoves();
    log.Sync();
}

// Notes the folder's sub-folders, counts the files of the record that are where it says, and
// finds temporary names that no line of the record names: a file moved there by a step whose
// line was never written. Which file it is, nothing tells, so it stays. Only a name the
// record's walk could have taken counts: numbered at or after the first temporary name the
// record names (any number when it names none).
bool UndoPlan::SurveyFolder(size_t first, const char* logPath, UndoOutcome& outcome)
{
    std::unordered_set<std::string> named;
    int64_t firstTemp = INT64_MAX;
    for (size_t i = first; i < steps.size(); ++i) {
        named.insert(steps[i].from);
        named.insert(steps[i].to);
        const int64_t number = steps[i].Failed() ? -1 : TempNumber(steps[i].to.c_str());
        if (number >= 0 && number < firstTemp)
            firstTemp = number;
    }
    if (firstTemp == INT64_MAX)
        firstTemp = 0;
    FolderSearch search(fs);
    if (!search.Start(CountedString(outcome.folder.c_str()), CountedString("*"))) {
        const bool there = FolderFound(outcome.folder.c_str(), fs);
        return RefuseUndo(outcome, there ? UndoFolderNotSearchable : UndoFolderGone);
    }
    // The folder line is the folder as typed, with or without its final separator.
    CountedString entryFolder(outcome.folder.c_str());
    EnsureFinalSeparator(entryFolder, fs);
    std::unordered_set<std::string> present;
    do {
        const FoundFile& found = search.Current();
        if (found.isDirectory) {
            folders.insert(NameKey(found.name, fs));
            continue;
        }
        present.insert(NameKey(found.name, fs));
        // The log itself may have a temporary name's form.
        if (TempNumber(found.name) >= firstTemp && named.count(found.name) == 0 &&
            !SameFile(entryFolder.Concat(found.name).Data(), logPath, fs))
            outcome.unaccounted.push_back(found.name);
    } while (search.Next() == FindNextFound);
    outcome.fileCount = 0;
    for (const std::unique_ptr<UndoFile>& file : files)
        outcome.fileCount += !file->lost && present.count(NameKey(file->entry->currentName, fs)) != 0 ? 1 : 0;
    return true;
}

// A file whose steps could not all be taken back may still stand under its old name.
void CountNotBack(const UndoPlan& plan, UndoOutcome& outcome)
{
    for (const std::unique_ptr<UndoFile>& file : plan.Files()) {
        if (file->lost || file->before != file->entry->currentName) {
            ++outcome.notBack;
            outcome.notBackNames.push_back(file->before);
        }
    }
}
