#ifndef QUILLOWBY_TESTS_STRESS_HISTORY_PHASE_H
#define QUILLOWBY_TESTS_STRESS_HISTORY_PHASE_H

#include "engine/platform/ForwardingFileServices.h"
#include "engine/run/RunRename.h"
#include "engine/undo/UndoRun.h"
#include "tests/stress/UndoPhase.h"

#include <set>
#include <string>
#include <vector>

class RenameJob;
struct Observation;

// A power cut, drawn apart from the rest: in the first run from its nth call that writes,
// flushes or moves (0: none), and in one act through the history from that act's actAt-th.
struct PowerScenario
{
    int runAt;
    int act;
    int actAt;
    PowerCutKind kind;
};
PowerScenario MakePowerScenario(const Scenario& scenario);

// From its nth call that writes, flushes or moves on, every call of the services it watches
// fails; Cut then takes from their logs what they wrote since their last flush.
class PowerCut
{
public:
    PowerCut(int at, PowerCutKind kind) : at(at), kind(kind) {}
    void Watch(FaultyFileServices& fs) { watched.push_back(&fs); }
    void BeforeCall(FileCall call);
    void Cut();
    bool Fired() const { return at > 0 && calls >= at; }

private:
    int at;
    PowerCutKind kind;
    int calls = 0;
    std::vector<FaultyFileServices*> watched;
};

// The run's file services with its record in the history kept out of the faults aimed at the
// log at the log path, so that those keep their meaning; the record dies with the process,
// and a power cut takes it through its own services.
class RecordSeam : public ForwardingFileServices
{
public:
    RecordSeam(FileServices& run, const std::string& historyFolder, const ProcessDeath& death)
        : ForwardingFileServices(run), historyFolder(historyFolder), death(death), recordFs(PlatformFileServices())
    {
    }

    LogHandle CreateLog(const char* path, uint32_t keptAttributes) override;
    bool WriteLog(LogHandle log, const void* bytes, int count) override;
    bool FlushLog(LogHandle log) override;
    void CloseLog(LogHandle log) override;
    MoveResult Move(const char* from, const char* to, int& error) override;

    const std::string historyFolder;
    const ProcessDeath& death;
    FaultyFileServices recordFs;
    // Moves that went through before the one the process died after: each has its line.
    int movedBeforeDeath = 0;

private:
    LogHandle record = nullptr;
};

// A second run over the first, in a new process, then undo after undo through the history.
struct HistoryObservation
{
    bool tried;
    // The first run left its record open with a move in it.
    bool mustRefuse;
    // The log path holds a file that is no rename log: asked, the user says No.
    bool secondAsked;
    bool secondRan;
    RunOutcome second;
    RunRefusal previewRefusal;
    std::string logBefore;
    std::string logAfter;
    // The log's key in the folder, "" when no run created the log there.
    std::string logKey;
    // Before the second run, after it, then after every undo or redo.
    std::vector<Tree> trees;
    // What the undos named as not back or unaccounted; the contents of files moved by a dying
    // process without a line, or ever under a name an undo named.
    std::vector<std::string> named;
    std::set<std::string> excused;
    int faultsFired, redos, deaths, fromLogPath, powerCuts;
    bool endless;
    bool emptied;
    bool leftOpen;
    std::string acts;
};

// In some scenarios, drawn apart from the run's own, this takes the place of the undo of the
// log at the log path (RunUndoPhase); false when the scenario leaves it to that.
bool RunHistoryPhase(const Scenario& scenario, const UndoScenario& undoScenario, const RenameJob& job,
                     FaultyFileServices& runFs, const RecordSeam& seam, const std::string& folder,
                     const std::string& entryFolder, Observation& observation);
std::vector<std::string> CheckHistory(const Observation& observation);
std::string HistoryText(const Scenario& scenario, const Observation& observation);

#endif
