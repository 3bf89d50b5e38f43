#include "engine/FileEntry.h"

#include "engine/platform/PathNames.h"
#include "engine/names/TempNames.h"
#include "engine/platform/FileServices.h"

#include <cstring>

// Temporary numbers skipped in a row before a move aside gives up; a folder holding more
// leftover temporary files than this is not a folder anyone renumbers.
static const int kMaxTempSkips = 100000;

void FileEntry::BeginStep(const char* to)
{
    std::strcpy(loggedFrom, currentName);
    std::strcpy(loggedTo, to);
    stepFailure = FailureNone;
    stepError = 0;
}

RenameStep FileEntry::RenameEntry(FileServices& fs)
{
    BeginStep(newName);

    CountedString oldPath = folder.Concat(currentName);
    CountedString target = folder.Concat(newName);
    if (oldPath.Equals(target.Data()))
        return StepDone;

    // Where letter case does not count, a target that differs from the current name only in
    // case (full-width, Greek and Cyrillic letters too) is the file itself: the move would
    // take it, the existence test sends it aside first.
    if (fs.IgnoresCase() && fs.SameName(currentName, newName) && fs.Exists(target.Data()))
        return MoveAside(oldPath, fs);

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
    return MoveAside(oldPath, fs);
}

RenameStep FileEntry::FailStep(StepFailure reason)
{
    BeginStep(newName);
    stepFailure = reason;
    return StepFailed;
}

RenameStep FileEntry::MoveAside(const CountedString& oldPath, FileServices& fs)
{
    char temp[kFormatBufferSize];
    for (int skipped = 0; skipped < kMaxTempSkips; ++skipped) {
        FormatTempName(temp, nextTempNumber, fs);
        std::strcpy(loggedTo, temp);
        int error = 0;
        MoveResult moved = fs.Move(oldPath.Data(), folder.Concat(temp).Data(), error);
        if (moved == MoveTargetTaken) {
            ++nextTempNumber;
            continue;
        }
        if (moved == MoveFailed) {
            stepFailure = FailureMove;
            stepError = error;
            return StepFailed;
        }
        if (originalName.IsAbsent())
            originalName.Assign(currentName);
        std::strcpy(currentName, temp);
        ++nextTempNumber;
        if (!identityKnown)
            identityKnown = fs.Identify(folder.Concat(temp).Data(), identity);
        return StepWaiting;
    }
    stepFailure = FailureNoTemporaryName;
    return StepFailed;
}

RenameStep FileEntry::FailGone()
{
    gone = true;
    return FailStep(FailureAnotherFileThere);
}

bool FileEntry::LostToAnotherFile(FileServices& fs)
{
    FileIdentity now;
    // A name that leads nowhere moves nothing: the move says so.
    if (!identityKnown || !fs.Identify(folder.Concat(currentName).Data(), now) || SameIdentity(now, identity))
        return false;
    gone = true;
    stepFailure = FailureAnotherFileThere;
    stepError = 0;
    return true;
}

MoveResult FileEntry::LeaveTempName(const char* name, FileServices& fs)
{
    int error = 0;
    MoveResult moved = fs.Move(folder.Concat(currentName).Data(), folder.Concat(name).Data(), error);
    if (moved == MoveDone)
        std::strcpy(currentName, name);
    else if (moved == MoveFailed)
        stepError = error;
    return moved;
}

bool FileEntry::PutBack(FileServices& fs)
{
    BeginStep(originalName.Data());
    if (LostToAnotherFile(fs))
        return false;

    MoveResult moved = LeaveTempName(originalName.Data(), fs);
    if (moved == MoveDone)
        return true;
    stepFailure = moved == MoveTargetTaken ? FailureOriginalNameTaken : FailureMoveBack;
    return false;
}

bool FileEntry::PutBackLogged(LogWriter& log, FileServices& fs, StepFailure failure)
{
    bool back = PutBack(fs);
    if (!back && !gone && failure != FailureNone && stepError == 0)
        stepFailure = failure;
    WriteLogLine(log);
    return back;
}
