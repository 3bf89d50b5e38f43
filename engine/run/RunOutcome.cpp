#include "engine/run/RunOutcome.h"

#include "engine/FileEntry.h"
#include "engine/FileSteps.h"

void PutBackCounted(FileEntry& entry, LogWriter& log, FileServices& fs, RunOutcome& outcome, StepFailure failure)
{
    // A file another program took away is under no name of the run.
    if (!PutBackLogged(entry, log, fs, failure) && !entry.gone)
        ++outcome.leftTemporary;
}
