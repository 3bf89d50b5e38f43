#ifndef QUILLOWBY_UI_RUN_RESULT_H
#define QUILLOWBY_UI_RUN_RESULT_H

#include "core/CountedString.h"
#include "engine/run/RunRename.h"

// What the result box says after a run: "Completed." only when every file of the batch
// reached its new name, "Failed." and why on the next line when the run could not start, for
// a run stopped by the user how many files have their new names and how many their old ones,
// otherwise what went wrong: the first files that kept their names, each with why, and the
// log at logPath. Files left out of the batch are counted apart. A run that was given no log
// file says that it wrote none. A stop asked for when the run no longer took it is owned up to,
// and so is a record of the history of runs that did not take every line.
CountedString RunResultText(bool ran, const RunOutcome& outcome, bool stopAsked = false, const char* logPath = "");

// How many files were left out of the batch, and of which kinds; empty when none were.
CountedString LeftOutText(const int (&leftOut)[LeftOutKindCount]);

#endif
