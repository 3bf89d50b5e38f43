#include "engine/steps/FileSteps.h"

#include "engine/log/RenameLog.h"
#include "engine/platform/FileServices.h"
#include "engine/steps/TempNames.h"

#include <cstring>

// Temporary numbers skipped in a row before a move aside gives up; a folder holding more
// leftover temporary files than this is not a folder anyone renumbers.
static const int kMaxTempSkips = 100000;

void BeginStep(FileEntry& entry, const char* to)
{
    std::strcpy(entry.loggedFrom, entry.currentName);
    std::strcpy(entry.loggedTo, to);
    entry.stepFailure = FailureNone;
    entry.stepError = 0;
}

RenameStep FileEntry::RenameEntry(FileServices& fs)
{
    BeginStep(*this, newName);

    CountedString oldPath = folder.Concat(currentName);
    CountedString target = folder.Concat(newName);
    if (oldPath.Equals(target.Data()))
        return StepDone;

    // Where letter case does not count, a target that differs from the current name only in
    // case (full-width, Greek and Cyrillic letters too) is the file itself: the move would
    // take it, the existence test sends it aside first.
    if (fs.IgnoresCase() && fs.SameName(currentName, newName) && fs.Exists(target.Data()))
        return MoveAside(*this, oldPath, fs);

    // The move never replaces, so it tells whether the target is taken; a separate test
    // would look the name up in the folder a second time.
    int error = 0;
    MoveResult moved = fs.Move(oldPath.Data(), target.Data(), error);
    if (moved == MoveDone)
        return StepDone;
    // A move can fail for another reason before it looks at the target (the file went away,
    // or another program holds it open). A taken target sends the file aside all the same,
    // so such a step reads the same in the log whichever the platform checks first.
    if (moved == MoveFailed && !fs.Exists(target.Data())) {
        stepFailure = FailureMove;
        stepError = error;
        return StepFailed;
    }
    return MoveAside(*this, oldPath, fs);
}

RenameStep FailStep(FileEntry& entry, StepFailure reason)
{
    BeginStep(entry, entry.newName);
    entry.stepFailure = reason;
    return StepFailed;
}

RenameStep MoveAside(FileEntry& entry, const CountedString& oldPath, FileServices& fs)
{
    char temp[kFormatBufferSize];
    for (int skipped = 0; skipped < kMaxTempSkips; ++skipped) {
        FormatTempName(temp, nextTempNumber, fs);
        std::strcpy(entry.loggedTo, temp);
        int error = 0;
        MoveResult moved = fs.Move(oldPath.Data(), entry.folder.Concat(temp).Data(), error);
        if (moved == MoveTargetTaken) {
            ++nextTempNumber;
            continue;
        }
        if (moved == MoveFailed) {
            entry.stepFailure = FailureMove;
            entry.stepError = error;
            return StepFailed;
        }
        if (entry.originalName.IsAbsent())
            entry.originalName.Assign(entry.currentName);
        std::strcpy(entry.currentName, temp);
        ++nextTempNumber;
        if (!entry.identityKnown)
            entry.identityKnown = fs.Identify(entry.folder.Concat(temp).Data(), entry.identity);
        return StepWaiting;
    }
    entry.stepFailure = FailureNoTemporaryName;
    return StepFailed;
}

RenameStep FailGone(FileEntry& entry)
{
    entry.gone = true;
    return FailStep(entry, FailureAnotherFileThere);
}

bool LostToAnotherFile(FileEntry& entry, FileServices& fs)
{
    FileIdentity now;
    // A name that leads nowhere moves nothing: the move says so.
    if (!entry.identityKnown || !fs.Identify(entry.folder.Concat(entry.currentName).Data(), now) ||
        SameIdentity(now, entry.identity))
        return false;
    entry.gone = true;
    entry.stepFailure = FailureAnotherFileThere;
    entry.stepError = 0;
    return true;
}

MoveResult LeaveTempName(FileEntry& entry, const char* name, FileServices& fs)
{
    int error = 0;
    MoveResult moved = fs.Move(entry.folder.Concat(entry.currentName).Data(), entry.folder.Concat(name).Data(), error);
    if (moved == MoveDone)
        std::strcpy(entry.currentName, name);
    else if (moved == MoveFailed)
        entry.stepError = error;
    return moved;
}

bool MoveOn(FileEntry& entry, FileServices& fs)
{
    BeginStep(entry, entry.newName);
    MoveResult moved = LeaveTempName(entry, entry.newName, fs);
    if (moved == MoveDone)
        return true;
    entry.stepFailure = moved == MoveTargetTaken ? FailureNewNameTaken : FailureMove;
    return false;
}

bool PutBack(FileEntry& entry, FileServices& fs)
{
    BeginStep(entry, entry.originalName.Data());
    if (LostToAnotherFile(entry, fs))
        return false;

    MoveResult moved = LeaveTempName(entry, entry.originalName.Data(), fs);
    if (moved == MoveDone)
        return true;
    entry.stepFailure = moved == MoveTargetTaken ? FailureOriginalNameTaken : FailureMoveBack;
    return false;
}

bool PutBackLogged(FileEntry& entry, LogWriter& log, FileServices& fs, StepFailure failure)
{
    bool back = PutBack(entry, fs);
    if (!back && !entry.gone && failure != FailureNone && entry.stepError == 0)
        entry.stepFailure = failure;
    WriteLogLine(entry, log);
    return back;
}

void PutBackCounted(FileEntry& entry, LogWriter& log, FileServices& fs, int& leftTemporary, StepFailure failure)
{
    // A file another program took away is under no name of the run.
    if (!PutBackLogged(entry, log, fs, failure) && !entry.gone)
        ++leftTemporary;
}

void WriteLogLine(const FileEntry& entry, LogWriter& log)
{
    log.WriteStep(entry.loggedFrom, entry.loggedTo, entry.stepFailure, entry.stepError);
}
