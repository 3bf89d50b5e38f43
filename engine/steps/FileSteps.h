#ifndef QUILLOWBY_ENGINE_STEPS_FILE_STEPS_H
#define QUILLOWBY_ENGINE_STEPS_FILE_STEPS_H

#include "core/CountedString.h"
#include "engine/FileEntry.h"
#include "engine/log/LogFormat.h"
#include "engine/platform/FileServices.h"

class LogWriter;

// The steps of one file, which the run, its stopped walk and the undo all take. Each leaves
// in the entry the names it went from and to and why it failed, for the log's line.

// Every step starts here: it goes from currentName to `to`, and nothing has failed yet.
void BeginStep(FileEntry& entry, const char* to);
// The file goes from oldPath, its path under currentName, to the first free temporary name;
// originalName keeps the name it had before the run.
RenameStep MoveAside(FileEntry& entry, const CountedString& oldPath, FileServices& fs);
// A step that moves nothing and fails for the reason given.
RenameStep FailStep(FileEntry& entry, StepFailure reason);
// A step that moves nothing: the file was taken away from currentName, where another file
// now stands; the entry is marked gone.
RenameStep FailGone(FileEntry& entry);
// Whether another file now stands under currentName (false when that cannot be told);
// if so the entry is marked gone and the step in loggedFrom and loggedTo fails for it.
bool LostToAnotherFile(FileEntry& entry, FileServices& fs);
// Moves the file from the temporary name it waits under to name, never replacing a file;
// currentName follows the file. A move that fails for another reason than a taken name
// leaves the platform's error code in stepError.
MoveResult LeaveTempName(FileEntry& entry, const char* name, FileServices& fs);
// The step from the temporary name to the new name, which was free when the walk stopped.
bool MoveOn(FileEntry& entry, FileServices& fs);
// Moves a file left under a temporary name back to the name it had before the run. Never
// moves another file that has come to stand under that temporary name: then it fails and
// marks the entry gone.
bool PutBack(FileEntry& entry, FileServices& fs);
// PutBack, then its line in the log. A put-back that fails with no error code of the
// platform, the file still there, is logged with failure instead, when one is given: the
// caller may know more of why the file stays.
bool PutBackLogged(FileEntry& entry, LogWriter& log, FileServices& fs, StepFailure failure = FailureNone);
// PutBackLogged, and the file counted in leftTemporary when it stays under the temporary
// name.
void PutBackCounted(FileEntry& entry, LogWriter& log, FileServices& fs, int& leftTemporary,
                    StepFailure failure = FailureNone);
// The log's line of the last step, from loggedFrom to loggedTo.
void WriteLogLine(const FileEntry& entry, LogWriter& log);

#endif
