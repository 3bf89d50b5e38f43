#include "tests/stress/HistoryPhase.h"

#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/log/RenameLogReader.h"
#include "engine/order/Ordering.h"
#include "engine/run/RunPreview.h"
#include "engine/undo/HistoryUndo.h"
#include "tests/stress/Dice.h"
#include "tests/stress/ScenarioRun.h"

#include <algorithm>
#include <cstring>

namespace {

// Undos of two runs and of the log at the log path, a redo, and an act each that died.
const int kMostActs = 10;

struct HistoryScenario
{
    bool secondRun;
    // A redo comes once this many undos went through (0: none); after a redo that died, the
    // next act is a redo again, or an undo.
    int redoAfter;
    bool redoAgain;
};

// Drawn apart from the run's own scenario, so that the runs of a seed stay as they were.
HistoryScenario MakeHistoryScenario(const Scenario& scenario)
{
    Dice random(ScenarioSeed(scenario.seed, scenario.index) ^ 0x686973746F727921ull);
    HistoryScenario history = HistoryScenario();
    history.secondRun = random.Percent(30);
    history.redoAfter = random.Percent(40) ? random.Between(1, 2) : 0;
    history.redoAgain = random.Percent(50);
    return history;
}

}  // namespace

PowerScenario MakePowerScenario(const Scenario& scenario)
{
    Dice random(ScenarioSeed(scenario.seed, scenario.index) ^ 0x706F7765722D6375ull);
    PowerScenario power = PowerScenario();
    const int calls = 2 * static_cast<int>(scenario.files.size()) + 6;
    if (random.Percent(20))
        power.runAt = random.Between(1, calls);
    if (random.Percent(15)) {
        power.act = random.Between(1, 3);
        power.actAt = random.Between(1, calls);
    }
    power.kind = static_cast<PowerCutKind>(random.Below(3));
    return power;
}

void PowerCut::BeforeCall(FileCall call)
{
    const bool lasting = call == CallMove || call == CallWriteLog || call == CallFlushLog || call == CallCreateLog ||
                         call == CallAppendLog;
    if (at == 0 || !lasting || ++calls != at)
        return;
    // This call fails too, on whichever of the services it came.
    for (FaultyFileServices* fs : watched) {
        for (int kind = 0; kind < CallKinds; ++kind)
            fs->InjectFrom(static_cast<FileCall>(kind), fs->Calls(static_cast<FileCall>(kind)), FaultFail);
    }
}

void PowerCut::Cut()
{
    if (at == 0)
        return;
    for (FaultyFileServices* fs : watched)
        fs->CutPower(kind, static_cast<unsigned>(at));
}

LogHandle RecordSeam::CreateLog(const char* path, uint32_t keptAttributes)
{
    if (std::strncmp(path, historyFolder.c_str(), historyFolder.size()) != 0)
        return real.CreateLog(path, keptAttributes);
    record = recordFs.CreateLog(path, keptAttributes);
    return record;
}

bool RecordSeam::WriteLog(LogHandle log, const void* bytes, int count)
{
    if (record == nullptr || log != record)
        return real.WriteLog(log, bytes, count);
    return !death.Dead() && recordFs.WriteLog(log, bytes, count);
}

bool RecordSeam::FlushLog(LogHandle log)
{
    return record != nullptr && log == record ? recordFs.FlushLog(log) : real.FlushLog(log);
}

void RecordSeam::CloseLog(LogHandle log)
{
    if (record == nullptr || log != record)
        return real.CloseLog(log);
    record = nullptr;
    recordFs.CloseLog(log);
}

MoveResult RecordSeam::Move(const char* from, const char* to, int& error)
{
    const MoveResult result = real.Move(from, to, error);
    movedBeforeDeath += result == MoveDone && !death.Dead() ? 1 : 0;
    return result;
}

bool RunHistoryPhase(const Scenario& scenario, const UndoScenario& undoScenario, const RenameJob& job,
                     FaultyFileServices& runFs, const RecordSeam& seam, const std::string& folder,
                     const std::string& entryFolder, Observation& observation)
{
    const HistoryScenario drawn = MakeHistoryScenario(scenario);
    const PowerScenario power = MakePowerScenario(scenario);
    if (!drawn.secondRun && power.runAt == 0 && power.act == 0)
        return false;
    HistoryObservation& h = observation.historyPhase;
    const ProcessDeath& death = seam.death;
    FileServices& platform = PlatformFileServices();
    observation.undoPhase.killed = death.Dead() || power.runAt > 0;
    h.tried = observation.ran;
    if (!h.tried)
        return true;
    // The dying process's last bytes land in the log it made and in the record alike.
    if (observation.logCreated)
        death.CutLog(observation.logPath);
    RunHistory records(seam.historyFolder, platform);
    if (records.Load() && !records.Records().empty())
        death.CutLog(records.Records().back().path);
    h.excused.insert(death.InFlightContent(observation.after));
    // After a power cut the run may have finished on the disk or not: the undos tell.
    h.mustRefuse = drawn.secondRun && power.runAt == 0 &&
                   (death.Dead() ? seam.movedBeforeDeath > 0 : observation.outcome.leftTemporary > 0);

    // The second run comes in a new process: the history as the disk holds it.
    RunHistory history(seam.historyFolder, platform);
    history.Load();
    FaultyFileServices fs(platform);
    WithLeadBytes(fs, scenario).adjustFound = runFs.adjustFound;
    h.trees.push_back(ReadTree(folder));
    ReadPath(observation.logPath, h.logBefore);
    h.secondAsked = LogPathHoldsOtherFile(observation.logPath.c_str(), platform);
    if (!h.secondAsked && drawn.secondRun) {
        RunPreview preview;
        PreviewRun(job, fs, randomState, preview, nullptr, &history);
        h.previewRefusal = preview.outcome.refusal;
        EntryList list;
        h.secondRan = RunRename(job, list, fs, h.second, nullptr, &history);
    }
    h.trees.push_back(ReadTree(folder));
    ReadPath(observation.logPath, h.logAfter);
    // A log never created leaves its name to any file; an undo may park one there.
    h.logKey = observation.logCreated || h.logAfter != h.logBefore ? observation.logKey : std::string();

    // Undo after undo, each in a new process, until there is nothing left to take back; an
    // act that died is finished by the next.
    const std::string fullFolder = RecordFolder(observation.typedFolder.c_str(), runFs);
    const std::string recordEntry = fullFolder + PathSeparator();
    // Nothing left to take back: nothing of the history may hold back a new run. Nothing left to
    // make again: no redo cut short may stay open.
    auto leftOpen = [&](bool redo) {
        RunHistory now(seam.historyFolder, platform);
        const int next = now.Load() ? now.NextRedo() : -1;
        return redo ? next >= 0 && now.Records()[static_cast<size_t>(next)].state == RecordRedoOpen
                    : now.UnfinishedIn(fullFolder) >= 0;
    };
    bool died = false, redo = false, redoTried = false;
    int undos = 0;
    for (int act = 1;; ++act) {
        RunHistory acting(seam.historyFolder, platform);
        acting.Load();
        FaultyFileServices chooser(platform), faulty(platform);
        WithLeadBytes(chooser, scenario);
        WithLeadBytes(faulty, scenario);
        redo = died ? redo && drawn.redoAgain : !redoTried && drawn.redoAfter > 0 && undos == drawn.redoAfter;
        redoTried = redoTried || redo;
        UndoChoice choice;
        UndoOutcome outcome;
        const bool chosen = redo ? ChooseRedo(acting, chooser, choice, outcome)
                                 : ChooseUndo(acting, observation.logPath.c_str(), chooser, choice, outcome);
        h.acts += "  act " + std::to_string(act) + (redo ? ": redo" : ": undo") + (!chosen ? "" : " of record ") +
                  (chosen ? std::to_string(choice.record) : "");
        h.endless = chosen && act > kMostActs;
        if (!chosen || h.endless) {
            h.acts += ", refusal " + std::to_string(outcome.refusal) + "\n";
            h.leftOpen = h.leftOpen || (outcome.refusal == UndoNothingToTakeBack && leftOpen(redo));
            died = false;
            if (redo && !h.endless)
                continue;
            break;
        }
        if (act == 1)
            InjectFaults(undoScenario.faults, faulty);
        PowerCut actPower(act == power.act ? power.actAt : 0, power.kind);
        actPower.Watch(faulty);
        ProcessDeath dying(act == undoScenario.undoDeath && act != power.act ? undoScenario.undoDeathAfterMove : 0,
                           undoScenario.undoDeathCutBytes, faulty, choice.record >= 0 ? recordEntry : entryFolder);
        faulty.beforeCall = [&](FileCall call, int nth, const char* first, const char* second) {
            dying.BeforeCall(call, nth, first, second);
            actPower.BeforeCall(call);
        };
        const bool done = UndoRun(choice.path.c_str(), faulty, outcome);
        faulty.beforeCall = nullptr;
        actPower.Cut();
        h.powerCuts += actPower.Fired() ? 1 : 0;
        died = dying.Dead() || actPower.Fired();
        dying.CutLog(choice.path);
        h.trees.push_back(ReadTree(folder));
        h.excused.insert(dying.InFlightContent(h.trees.back()));
        h.faultsFired += act == 1 ? UndoFaultsFired(undoScenario, faulty) : 0;
        // A later undo carries on from where this one left a file: what was ever under a name
        // it names may end anywhere.
        std::vector<std::string> named = outcome.notBackNames;
        named.insert(named.end(), outcome.unaccounted.begin(), outcome.unaccounted.end());
        for (const std::string& name : named) {
            h.named.push_back(name);
            for (const Tree& tree : h.trees)
                h.excused.insert(tree.count(name) ? tree.at(name).content : std::string());
        }
        undos += done && !redo && !died ? 1 : 0;
        h.redos += done && redo && !died ? 1 : 0;
        h.deaths += died ? 1 : 0;
        h.fromLogPath += choice.record < 0 ? 1 : 0;
        h.acts += ": refusal " + std::to_string(outcome.refusal) + ", files " + std::to_string(outcome.fileCount) +
                  ", not back " + std::to_string(outcome.FilesNotBack()) + (died ? ", died\n" : "\n");
    }
    h.excused.erase(std::string());
    // Whatever the log at the log path holds, the history has nothing left to take back.
    RunHistory left(seam.historyFolder, platform);
    h.emptied = left.Load() && left.NextUndo() < 0;
    h.leftOpen = h.leftOpen || leftOpen(false);
    return true;
}

std::vector<std::string> CheckHistory(const Observation& observation)
{
    std::vector<std::string> breaches;
    const HistoryObservation& h = observation.historyPhase;
    if (!h.tried)
        return breaches;
    const bool unfinished = h.second.refusal == RefusalUnfinishedRun;
    if (!h.secondAsked && h.mustRefuse && !unfinished)
        breaches.push_back("the first run did not finish, yet the second was not refused as unfinished (refusal " +
                           std::to_string(h.second.refusal) + ")");
    if (!h.secondAsked && !observation.undoPhase.killed && observation.outcome.leftTemporary == 0 && unfinished)
        breaches.push_back("the first run finished, yet the second was refused as unfinished");
    if (!h.secondAsked && (h.previewRefusal == RefusalUnfinishedRun) != unfinished)
        breaches.push_back("the preview and the second run disagree on the unfinished run");
    if (!h.secondRan)
        CheckSame("a second run that did not start changed the folder", h.trees[0], h.trees[1], "", breaches);
    if (!h.secondRan && h.logBefore != h.logAfter)
        breaches.push_back("a second run that did not start changed the log");
    for (size_t i = 1; i < h.trees.size(); ++i)
        CheckKept(i == 1 ? std::string("the second run") : "act " + std::to_string(i - 1) + " through the history",
                  h.trees[i - 1], h.trees[i], h.logKey, breaches);
    if (h.endless)
        breaches.push_back("undo after undo through the history never runs out");
    if (h.leftOpen)
        breaches.push_back("nothing is left to take back or make again, yet a record stays open: a new run in the "
                           "folder is refused");
    // A file moved to a path longer than the file calls take cannot be moved back.
    bool reachable = true;
    for (const Tree* tree : {&observation.before, &h.trees[0], &h.trees[1]}) {
        for (const auto& item : *tree)
            reachable = reachable && !PathTooLongForEngine(observation.typedFolder + PathSeparator() + item.first);
    }
    const bool recordWhole = observation.undoPhase.killed || observation.outcome.recordComplete;
    // After a power cut every file is back or named, whatever record the history still keeps.
    if (observation.events.empty() && !observation.runaway && h.faultsFired == 0 && reachable && recordWhole &&
        (h.emptied || h.powerCuts > 0))
        CheckBackOrNamed("after the undos through the history", observation.before, h.trees.back(), h.named, h.excused,
                         h.logKey, breaches);
    return breaches;
}

std::string HistoryText(const Scenario& scenario, const Observation& observation)
{
    const HistoryScenario drawn = MakeHistoryScenario(scenario);
    const PowerScenario power = MakePowerScenario(scenario);
    const HistoryObservation& h = observation.historyPhase;
    if (!drawn.secondRun && power.runAt == 0 && power.act == 0)
        return std::string();
    std::string text = std::string("  fault: ") +
                       (drawn.secondRun ? "a second run over the first in a new process, " : "") +
                       "undos through the history until it has nothing left" +
                       (drawn.redoAfter > 0 ? ", a redo after undo " + std::to_string(drawn.redoAfter) : "") +
                       (drawn.redoAgain ? ", a redo that died is followed by a redo" : "") + "\n";
    if (power.runAt > 0 || power.act > 0)
        text += "  power cut (kind " + std::to_string(power.kind) + ") in the run at call " +
                std::to_string(power.runAt) + ", in act " + std::to_string(power.act) + " at call " +
                std::to_string(power.actAt) + " (calls that write, flush or move); cuts that fired " +
                std::to_string(h.powerCuts) + "\n";
    if (!h.tried)
        return text;
    text += DescribeUndo(MakeUndoScenario(scenario)) + "  second run: " +
            (h.secondAsked ? std::string("told No") : "refusal " + std::to_string(h.second.refusal)) +
            "; the first must make it refuse " + std::to_string(h.mustRefuse) + "\n" + h.acts;
    for (const std::string& name : h.named)
        text += "  named by an undo: \"" + Printable(name) + "\"\n";
    return text;
}
