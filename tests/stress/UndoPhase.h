#ifndef QUILLOWBY_TESTS_STRESS_UNDO_PHASE_H
#define QUILLOWBY_TESTS_STRESS_UNDO_PHASE_H

#include "engine/undo/UndoRun.h"
#include "tests/stress/Scenario.h"
#include "tests/stress/StressFolder.h"
#include "tests/support/FaultyFileServices.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct Observation;

// What goes wrong around the undo that follows a run.
struct UndoScenario
{
    // Faults injected into the first undo: moves, existence tests, log writes, the search.
    std::vector<FaultSpec> faults;
    // The process dies right after the run's nth move reached the disk (0: it does not):
    // nothing after it moves, no further line reaches the log.
    int dieAfterMove;
    // Bytes of the dying step's line that reached the log all the same.
    int cutBytes;
    // The process dies inside an undo as well: 1 in the undo, 2 in the undo of the undo (0:
    // it does not), right after that undo's move undoDeathAfterMove, undoDeathCutBytes of
    // its line logged. Another undo then finishes its work.
    int undoDeath;
    int undoDeathAfterMove;
    int undoDeathCutBytes;
};

// Drawn apart from the run's own scenario, so that the runs of a seed stay as they were.
UndoScenario MakeUndoScenario(const Scenario& scenario);
std::string DescribeUndo(const UndoScenario& undo);

// The process dying in a run or an undo: from the chosen move on (0: never), the file
// services let nothing reach the disk.
class ProcessDeath
{
public:
    ProcessDeath(const UndoScenario& undo, FaultyFileServices& fs, const std::string& entryFolder)
        : ProcessDeath(undo.dieAfterMove, undo.cutBytes, fs, entryFolder)
    {
    }
    ProcessDeath(int dieAfterMove, int cutBytes, FaultyFileServices& fs, const std::string& entryFolder)
        : dieAfterMove(dieAfterMove), cutBytes(cutBytes), fs(fs), entryFolder(entryFolder), dead(false)
    {
    }

    // Called before each call of the run or undo reaches the disk.
    void BeforeCall(FileCall call, int nth, const char* first, const char* second);
    bool Dead() const { return dead; }
    // The content of the file moved without a line, as the tree holds it; "" when none was.
    std::string InFlightContent(const Tree& tree) const
    {
        auto moved = tree.find(inFlightTo);
        return dead && moved != tree.end() && !tree.count(inFlightFrom) ? moved->second.content : std::string();
    }
    // Writes the part of the dying step's line that reached the log before the end.
    void CutLog(const std::string& logPath) const;

    std::string inFlightFrom;
    std::string inFlightTo;

private:
    int dieAfterMove;
    int cutBytes;
    FaultyFileServices& fs;
    std::string entryFolder;
    bool dead;
};

// Everything seen around the undo of a run and the undo of that undo.
struct UndoObservation
{
    bool tried;
    bool killed;
    std::string inFlightFrom;
    std::string inFlightTo;
    // The run's log as the undo found it.
    std::string runLog;
    Tree beforeUndo;
    Tree afterUndo;
    Tree afterRedo;
    bool undone;
    bool redone;
    UndoOutcome undo;
    UndoOutcome redo;
    int faultsFired;
    // The log after both undos.
    std::string logAfter;
    // An undo died (UndoScenario::undoDeath), after moving the file of this content without
    // a line, and the next undo finished its work: undo or redo is that undo's outcome.
    int undoDeath;
    std::string undoInFlightContent;
    Tree afterDeath;
};

// Undoes the run just observed (with the undo scenario's faults), then undoes that undo.
void RunUndoPhase(const Scenario& scenario, const UndoScenario& undoScenario, const std::string& folder,
                  const std::string& entryFolder, const ProcessDeath& death, Observation& observation);

// The promises an undo keeps; one text per breach.
std::vector<std::string> CheckUndo(const Scenario& scenario, const Observation& observation);
std::string UndoOutcomeText(const Observation& observation);

// The undo scenario's faults that fired in an undo through fs.
int UndoFaultsFired(const UndoScenario& undoScenario, const FaultyFileServices& fs);
// The log is no file of the folder's: runs and undos write it.
Tree WithoutLog(const Tree& tree, const std::string& logKey);
// Nothing lost, nothing duplicated, nothing overwritten: the same contents and sub-folders.
void CheckKept(const std::string& what, const Tree& before, const Tree& after, const std::string& logKey,
               std::vector<std::string>& breaches);
// The same names with the same contents.
void CheckSame(const std::string& what, const Tree& expected, const Tree& seen, const std::string& logKey,
               std::vector<std::string>& breaches);
// Every file as expected, or named by an undo, or one a dying process moved without a line
// (inFlight holds those files' contents).
void CheckBackOrNamed(const std::string& what, const Tree& expected, const Tree& seen,
                      const std::vector<std::string>& named, const std::set<std::string>& inFlight,
                      const std::string& logKey, std::vector<std::string>& breaches);

#endif
