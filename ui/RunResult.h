#ifndef QUILLOWBY_UI_RUN_RESULT_H
#define QUILLOWBY_UI_RUN_RESULT_H

#include "core/CountedString.h"
#include "engine/RunRename.h"

// What the result box says after a run: "Completed." only when every file reached its new
// name, "Failed." when the run could not start, for a run stopped by the user how many files
// have their new names and how many their old ones, otherwise what went wrong. A run that was
// given no log file says that it wrote none. A stop asked for when the run no longer took it
// is owned up to.
CountedString RunResultText(bool ran, const RunOutcome& outcome, bool stopAsked = false);

#endif
