#include "engine/run/RunOutcome.h"

#include "engine/FileEntry.h"

void PutBackCounted(FileEntry& entry, LogWriter& log, FileServices& fs, RunOutcome& outcome, StepFailure failure)
{
    // A file another program took away is under no name of the run.
    if (!entry.PutBackLogged(log, fs, failure) && !entry.gone)
        ++outcome.leftTemporary;
}
