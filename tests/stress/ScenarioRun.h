#ifndef QUILLOWBY_TESTS_STRESS_SCENARIO_RUN_H
#define QUILLOWBY_TESTS_STRESS_SCENARIO_RUN_H

#include "engine/run/RunPreview.h"
#include "engine/run/RunRename.h"
#include "tests/stress/HistoryPhase.h"
#include "tests/stress/Oracle.h"
#include "tests/stress/StressFolder.h"
#include "tests/stress/UndoPhase.h"

#include <map>
#include <string>
#include <vector>

struct Scenario;

// What another program did to the folder during the run.
struct ExternalEvent
{
    enum Kind
    {
        Created,
        Deleted,
        Renamed
    };
    Kind kind;
    std::string key;
    std::string to;
    std::string content;
    // Step lines the log held when it happened.
    int linesBefore;
};

// Everything seen around one run, for the invariants to judge.
struct Observation
{
    std::string typedFolder;
    Tree before;
    Tree after;
    std::vector<Listed> listing;
    // The names the engine's platform layer reports as unreachable.
    std::vector<std::string> platformUnreachable;
    // The log's key in the folder's tree, "" when it lies outside.
    std::string logKey;
    // The last part of a log path that leads into the folder itself, "" otherwise.
    std::string logName;
    std::string logPath;
    bool logExistedBefore;
    std::string logBefore;
    bool logReadable;
    std::string logText;
    // The run created (or emptied) the file at the log path.
    bool logCreated;
    // The log may fail to open without any injected fault (a hidden or read-only file).
    bool logMayFail;
    // The log cannot be opened at all (no such folder, a folder, no path).
    bool logCannotOpen;
    bool cp932;
    Expected expected;
    // The run's preview, taken just before it through services that inject no fault, what the
    // oracle expects of a run without those faults, and the folder after the preview.
    RunPreview preview;
    Expected expectedWithoutFaults;
    Tree afterPreview;
    std::map<std::string, std::string> batchContents;  // key before the run -> content
    // The file at the log path was no rename log, so the window would have asked first.
    bool asked;
    // ... and the answer was No: the run was never started.
    bool declined;
    bool ran;
    RunOutcome outcome;
    int logWrites;
    std::vector<ExternalEvent> events;
    int faultsFired;
    // Moves of the run that went to the log's name in the folder.
    int movesOntoLogName;
    // Calls of the file services beyond the bound a run may take.
    bool runaway;
    // A file listed as a cloud placeholder was opened.
    bool openedPlaceholder;
    UndoObservation undoPhase;
    HistoryObservation historyPhase;
};

// Makes the scenario's folder, runs the engine over it and observes; base is the tester's
// own temporary folder.
Observation RunScenario(const Scenario& scenario, const std::string& base);

// Arms the fault seam with the scenario's faults of the kinds it injects; the run's and the
// undo's faults alike.
void InjectFaults(const std::vector<FaultSpec>& faults, FaultyFileServices& fs);
// The services split names as code page 932 does where the scenario says so; fs itself.
FaultyFileServices& WithLeadBytes(FaultyFileServices& fs, const Scenario& scenario);

#endif
