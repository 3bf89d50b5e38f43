#include "tests/stress/UndoPhase.h"

#include "engine/log/RenameLogReader.h"
#include "engine/steps/TempNames.h"
#include "tests/stress/Dice.h"
#include "tests/stress/HistoryPhase.h"
#include "tests/stress/ScenarioRun.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

const FaultKind kUndoFaults[] = {FaultMoveFails,       FaultMoveSaysTaken, FaultExistsErrs,
                                 FaultExistsSaysTaken, FaultLogWritesStop, FaultSearchFails};

FileCall CallOf(FaultKind kind)
{
    switch (kind) {
    case FaultMoveFails:
    case FaultMoveSaysTaken:
        return CallMove;
    case FaultExistsErrs:
    case FaultExistsSaysTaken:
        return CallExists;
    case FaultLogWritesStop:
        return CallWriteLog;
    default:
        return CallFindFirst;
    }
}

}  // namespace

int UndoFaultsFired(const UndoScenario& undoScenario, const FaultyFileServices& fs)
{
    int fired = 0;
    for (const FaultSpec& fault : undoScenario.faults)
        fired += fs.Calls(CallOf(fault.kind)) >= fault.nth ? 1 : 0;
    return fired;
}

Tree WithoutLog(const Tree& tree, const std::string& logKey)
{
    Tree stripped = tree;
    if (!logKey.empty()) {
        for (auto item = stripped.begin(); item != stripped.end();) {
            if (CaseFolded(item->first) == CaseFolded(logKey))
                item = stripped.erase(item);
            else
                ++item;
        }
    }
    return stripped;
}

void CheckKept(const std::string& what, const Tree& before, const Tree& after, const std::string& logKey,
               std::vector<std::string>& breaches)
{
    std::multiset<std::string> contentsBefore, contentsAfter;
    std::set<std::string> foldersBefore, foldersAfter;
    for (const auto& item : WithoutLog(before, logKey))
        item.second.isDirectory ? (void)foldersBefore.insert(item.first)
                                : (void)contentsBefore.insert(item.second.content);
    for (const auto& item : WithoutLog(after, logKey))
        item.second.isDirectory ? (void)foldersAfter.insert(item.first)
                                : (void)contentsAfter.insert(item.second.content);
    if (contentsBefore != contentsAfter)
        breaches.push_back(what + ": the files' contents changed (lost, duplicated or overwritten)");
    if (foldersBefore != foldersAfter)
        breaches.push_back(what + ": the sub-folders changed");
}

void CheckSame(const std::string& what, const Tree& expected, const Tree& seen, const std::string& logKey,
               std::vector<std::string>& breaches)
{
    Tree a = WithoutLog(expected, logKey), b = WithoutLog(seen, logKey);
    bool same = a.size() == b.size();
    for (auto x = a.begin(), y = b.begin(); same && x != a.end(); ++x, ++y)
        same = x->first == y->first && x->second.isDirectory == y->second.isDirectory &&
               x->second.content == y->second.content;
    if (!same)
        breaches.push_back(what);
}

void CheckBackOrNamed(const std::string& what, const Tree& expected, const Tree& seen,
                      const std::vector<std::string>& named, const std::set<std::string>& inFlight,
                      const std::string& logKey, std::vector<std::string>& breaches)
{
    for (const auto& item : WithoutLog(expected, logKey)) {
        auto now = seen.find(item.first);
        if (item.second.isDirectory || (now != seen.end() && now->second.content == item.second.content))
            continue;
        if (std::find(named.begin(), named.end(), item.first) == named.end() && !inFlight.count(item.second.content))
            breaches.push_back(what + ": \"" + Printable(item.first) + "\" is not back, and the undo does not name it");
    }
}

namespace {

class UndoChecker
{
public:
    UndoChecker(const Scenario& scenario, const Observation& observation)
        : scenario(scenario), observation(observation), undoObservation(observation.undoPhase)
    {
    }

    std::vector<std::string> Check();

private:
    void Breach(const std::string& text) { breaches.push_back(text); }
    void CheckSame(const char* what, const Tree& expected, const Tree& seen)
    {
        ::CheckSame(what, expected, seen, observation.logKey, breaches);
    }
    void CheckHonest(bool logTrusty);
    void CheckAllBack();
    void CheckBackOrNamed(const std::string& what, const Tree& expected, const Tree& seen, const UndoOutcome& outcome);

    const Scenario& scenario;
    const Observation& observation;
    const UndoObservation& undoObservation;
    std::vector<LoggedStep> runSteps;
    std::set<std::string> movedByRun;
    std::set<std::string> namedByRun;
    std::string inFlightContent;
    std::vector<std::string> breaches;
};

// A file the run moved is back under its name, or the undo says it is not. A log that lost
// lines may make the undo look for a file where it no longer is: then "not put back" can be
// said of a file that is back all the same.
void UndoChecker::CheckHonest(bool logTrusty)
{
    const std::vector<std::string>& reported = undoObservation.undo.notBackNames;
    for (const auto& batch : observation.batchContents) {
        if (movedByRun.count(batch.first) == 0)
            continue;
        auto now = undoObservation.afterUndo.find(batch.first);
        bool back =
            now != undoObservation.afterUndo.end() && !now->second.isDirectory && now->second.content == batch.second;
        bool said = std::find(reported.begin(), reported.end(), batch.first) != reported.end();
        // The step in flight may have brought its file home though the log does not say so.
        const bool inFlight = (undoObservation.killed && batch.second == inFlightContent) ||
                              (undoObservation.undoDeath == 1 && batch.second == undoObservation.undoInFlightContent);
        if (back && said && logTrusty && !inFlight)
            Breach("\"" + Printable(batch.first) + "\" is back, yet reported as not put back");
        if (!back && !said && !inFlight)
            Breach("\"" + Printable(batch.first) + "\" is not back, and the undo does not say so");
    }
}

// Nobody else touched the folder and every step is in the log: every file is back, but
// after a death the file in flight and the file whose name it holds, both reported.
void UndoChecker::CheckAllBack()
{
    if (!undoObservation.killed) {
        CheckSame("the undo did not give back the folder as it was before the run", observation.before,
                  undoObservation.afterUndo);
        if (undoObservation.undo.notBack != 0)
            Breach("every file is back, yet " + std::to_string(undoObservation.undo.notBack) + " reported as not");
        return;
    }
    for (const auto& batch : observation.batchContents) {
        if (movedByRun.count(batch.first) == 0)
            continue;
        auto now = undoObservation.afterUndo.find(batch.first);
        if (now != undoObservation.afterUndo.end() && now->second.content == batch.second)
            continue;
        if (batch.second == inFlightContent)
            continue;
        const std::vector<std::string>& reported = undoObservation.undo.notBackNames;
        bool said = std::find(reported.begin(), reported.end(), batch.first) != reported.end();
        if (!(said && CaseFolded(batch.first) == CaseFolded(undoObservation.inFlightTo)))
            Breach("after the process died, \"" + Printable(batch.first) + "\" is not back");
    }
    auto parked = undoObservation.afterUndo.find(undoObservation.inFlightTo);
    if (!inFlightContent.empty() && IsTempName(undoObservation.inFlightTo.c_str()) &&
        namedByRun.count(undoObservation.inFlightTo) == 0 && parked != undoObservation.afterUndo.end() &&
        parked->second.content == inFlightContent) {
        const std::vector<std::string>& named = undoObservation.undo.unaccounted;
        if (std::find(named.begin(), named.end(), undoObservation.inFlightTo) == named.end())
            Breach("the file in flight under \"" + Printable(undoObservation.inFlightTo) +
                   "\" is not named in the report");
    }
}

// After an undo that died and the undo that finished its work: every file is as expected,
// or that undo names it, or it is a file a dying process moved without a line.
void UndoChecker::CheckBackOrNamed(const std::string& what, const Tree& expected, const Tree& seen,
                                   const UndoOutcome& outcome)
{
    std::set<std::string> inFlight;
    if (undoObservation.killed && !inFlightContent.empty())
        inFlight.insert(inFlightContent);
    if (!undoObservation.undoInFlightContent.empty())
        inFlight.insert(undoObservation.undoInFlightContent);
    ::CheckBackOrNamed(what, expected, seen, outcome.notBackNames, inFlight, observation.logKey, breaches);
}

std::vector<std::string> UndoChecker::Check()
{
    if (!undoObservation.tried)
        return breaches;
    RenameLogParser parser(PlatformFileServices(), &runSteps);
    parser.Feed(undoObservation.runLog.data(), undoObservation.runLog.size());
    for (const LoggedStep& step : runSteps) {
        namedByRun.insert(step.from);
        namedByRun.insert(step.to);
        if (!step.Failed() && step.from != step.to)
            movedByRun.insert(step.from);
    }
    if (undoObservation.killed) {
        auto moved = undoObservation.beforeUndo.find(undoObservation.inFlightTo);
        if (moved != undoObservation.beforeUndo.end() &&
            undoObservation.beforeUndo.count(undoObservation.inFlightFrom) == 0)
            inFlightContent = moved->second.content;
    }

    CheckKept("undo", undoObservation.beforeUndo, undoObservation.afterUndo, observation.logKey, breaches);
    CheckKept("undo of the undo", undoObservation.afterUndo, undoObservation.afterRedo, observation.logKey, breaches);
    if (!undoObservation.undone) {
        CheckSame("a refused undo changed the folder",
                  undoObservation.undoDeath == 1 ? undoObservation.afterDeath : undoObservation.beforeUndo,
                  undoObservation.afterUndo);
        return breaches;
    }
    bool logTrusty = undoObservation.killed ? true : observation.outcome.logComplete;
    for (const FaultSpec& fault : scenario.faults)
        logTrusty = logTrusty && fault.kind != FaultLogNotCreated && fault.kind != FaultLogWritesStop;
    // An undo that died with faults may have lost lines the undo finishing it reads.
    logTrusty = logTrusty && !(undoObservation.undoDeath == 1 && undoObservation.faultsFired > 0);
    if (observation.events.empty())
        CheckHonest(logTrusty);
    // A file moved to a path longer than the file calls take cannot be moved back.
    bool pathsReachable = true;
    for (const std::string& name : namedByRun)
        pathsReachable = pathsReachable && !PathTooLongForEngine(observation.typedFolder + PathSeparator() + name);
    const bool clear = observation.events.empty() && !observation.runaway && logTrusty && pathsReachable &&
                       undoObservation.faultsFired == 0;
    if (clear && undoObservation.undoDeath == 1)
        CheckBackOrNamed("after the undo died and the next one finished it", observation.before,
                         undoObservation.afterUndo, undoObservation.undo);
    else if (clear)
        CheckAllBack();
    if (undoObservation.undo.logComplete && undoObservation.undoDeath == 0)
        CheckSame("the undo of the undo did not give back the folder as the undo found it", undoObservation.beforeUndo,
                  undoObservation.afterRedo);
    else if (undoObservation.undo.logComplete && undoObservation.redone &&
             (undoObservation.undoDeath == 2 || undoObservation.faultsFired == 0))
        CheckBackOrNamed("the undo of the undo, one of them died", undoObservation.beforeUndo,
                         undoObservation.afterRedo, undoObservation.redo);
    return breaches;
}

}  // namespace

UndoScenario MakeUndoScenario(const Scenario& scenario)
{
    Dice random(ScenarioSeed(scenario.seed, scenario.index) ^ 0x756E646F2D706861ull);
    UndoScenario undoScenario = UndoScenario();
    const int files = static_cast<int>(scenario.files.size());
    int draw = static_cast<int>(random.Below(100));
    int count = draw < 45 ? 0 : draw < 75 ? 1 : draw < 90 ? 2 : random.Between(3, 6);
    for (int i = 0; i < count; ++i) {
        FaultKind kind = kUndoFaults[random.Below(sizeof kUndoFaults / sizeof kUndoFaults[0])];
        if (kind == FaultSearchFails && !random.Percent(20))
            kind = FaultMoveFails;
        int nth = kind == FaultLogWritesStop ? random.Between(1, files + 3) : random.Between(1, 2 * files + 4);
        undoScenario.faults.push_back(FaultSpec{kind, nth});
    }
    if (random.Percent(35)) {
        undoScenario.dieAfterMove = random.Between(1, files + 1);
        undoScenario.cutBytes = random.Percent(50) ? 0 : random.Between(1, 40);
    }
    if (random.Percent(30)) {
        undoScenario.undoDeath = random.Percent(60) ? 1 : 2;
        undoScenario.undoDeathAfterMove = random.Between(1, 2 * files + 1);
        undoScenario.undoDeathCutBytes = random.Percent(50) ? 0 : random.Between(1, 40);
    }
    // One way to end the run at a time: a power cut takes the place of a death.
    if (MakePowerScenario(scenario).runAt > 0)
        undoScenario.dieAfterMove = 0;
    return undoScenario;
}

std::string DescribeUndo(const UndoScenario& undoScenario)
{
    std::string text;
    char line[128];
    for (const FaultSpec& fault : undoScenario.faults) {
        std::snprintf(line, sizeof line, "  undo fault: %s, call %d\n", FaultName(fault.kind), fault.nth);
        text += line;
    }
    if (undoScenario.dieAfterMove > 0) {
        std::snprintf(line, sizeof line, "  the process dies after move %d, %d bytes of its line logged\n",
                      undoScenario.dieAfterMove, undoScenario.cutBytes);
        text += line;
    }
    if (undoScenario.undoDeath > 0) {
        std::snprintf(line, sizeof line,
                      "  the process dies in the %s after its move %d, %d bytes of its line logged\n",
                      undoScenario.undoDeath == 1 ? "undo" : "undo of the undo", undoScenario.undoDeathAfterMove,
                      undoScenario.undoDeathCutBytes);
        text += line;
    }
    return text;
}

void ProcessDeath::BeforeCall(FileCall call, int nth, const char* first, const char* second)
{
    if (dead || call != CallMove || nth != dieAfterMove)
        return;
    dead = true;
    auto bare = [this](const char* path) {
        std::string text(path);
        return text.compare(0, entryFolder.size(), entryFolder) == 0 ? text.substr(entryFolder.size()) : text;
    };
    inFlightFrom = bare(first);
    inFlightTo = bare(second);
    fs.InjectFrom(CallMove, nth + 1, FaultFail);
    fs.InjectFrom(CallWriteLog, fs.Calls(CallWriteLog) + 1, FaultFail);
}

void ProcessDeath::CutLog(const std::string& logPath) const
{
    std::string ignored;
    if (!dead || cutBytes == 0 || logPath.empty() || !ReadPath(logPath, ignored))
        return;
    // A run writes a step's line only once its move went through; after a move that found
    // its target taken, the next line is that of a move aside, which this run did not live
    // to make.
    if (ReadPath(entryFolder + inFlightFrom, ignored) || !ReadPath(entryFolder + inFlightTo, ignored))
        return;
    std::string line = inFlightFrom + "\t->\t" + inFlightTo + "\r\n";
    size_t length = std::min(static_cast<size_t>(cutBytes), line.size() - 1);
    if (std::FILE* log = std::fopen(logPath.c_str(), "ab")) {
        std::fwrite(line.data(), 1, length, log);
        std::fclose(log);
    }
}

// Runs one undo through fs; when the undo scenario kills this one (level), another undo
// finishes its work, and outcome is that one's.
bool UndoDying(int level, const UndoScenario& undoScenario, const std::string& entryFolder, const std::string& folder,
               FaultyFileServices& fs, FaultyFileServices& clean, Observation& observation, UndoOutcome& outcome)
{
    UndoObservation& undoObservation = observation.undoPhase;
    ProcessDeath death(undoScenario.undoDeath == level ? undoScenario.undoDeathAfterMove : 0,
                       undoScenario.undoDeathCutBytes, fs, entryFolder);
    fs.beforeCall = [&death](FileCall call, int nth, const char* first, const char* second) {
        death.BeforeCall(call, nth, first, second);
    };
    bool done = UndoRun(observation.logPath.c_str(), fs, outcome);
    fs.beforeCall = nullptr;
    if (!death.Dead())
        return done;
    death.CutLog(observation.logPath);
    undoObservation.undoDeath = level;
    undoObservation.afterDeath = ReadTree(folder);
    undoObservation.undoInFlightContent = death.InFlightContent(undoObservation.afterDeath);
    return UndoRun(observation.logPath.c_str(), clean, outcome);
}

void RunUndoPhase(const Scenario& scenario, const UndoScenario& undoScenario, const std::string& folder,
                  const std::string& entryFolder, const ProcessDeath& death, Observation& observation)
{
    UndoObservation& undoObservation = observation.undoPhase;
    undoObservation.tried = observation.ran;
    if (!undoObservation.tried)
        return;
    undoObservation.killed = death.Dead();
    undoObservation.inFlightFrom = death.inFlightFrom;
    undoObservation.inFlightTo = death.inFlightTo;
    death.CutLog(observation.logPath);
    if (!observation.logPath.empty())
        ReadPath(observation.logPath, undoObservation.runLog);
    undoObservation.beforeUndo = ReadTree(folder);

    FaultyFileServices faulty(PlatformFileServices()), clean(PlatformFileServices()), dying(PlatformFileServices());
    WithLeadBytes(faulty, scenario);
    WithLeadBytes(clean, scenario);
    WithLeadBytes(dying, scenario);
    InjectFaults(undoScenario.faults, faulty);
    undoObservation.undoDeath = 0;
    undoObservation.undone =
        UndoDying(1, undoScenario, entryFolder, folder, faulty, clean, observation, undoObservation.undo);
    undoObservation.faultsFired = UndoFaultsFired(undoScenario, faulty);
    undoObservation.afterUndo = ReadTree(folder);
    undoObservation.redone =
        UndoDying(2, undoScenario, entryFolder, folder, dying, clean, observation, undoObservation.redo);
    undoObservation.afterRedo = ReadTree(folder);
    if (!observation.logPath.empty())
        ReadPath(observation.logPath, undoObservation.logAfter);
}

std::vector<std::string> CheckUndo(const Scenario& scenario, const Observation& observation)
{
    return UndoChecker(scenario, observation).Check();
}

std::string UndoOutcomeText(const Observation& observation)
{
    const UndoObservation& undoObservation = observation.undoPhase;
    if (!undoObservation.tried)
        return std::string();
    char text[512];
    std::snprintf(text, sizeof text,
                  "  undo: done %d, refusal %d, fileCount %d, notBack %d, unaccounted %d, steps %d, logComplete %d, "
                  "faults fired %d; undo of the undo: done %d, refusal %d, notBack %d\n",
                  undoObservation.undone ? 1 : 0, undoObservation.undo.refusal, undoObservation.undo.fileCount,
                  undoObservation.undo.notBack, static_cast<int>(undoObservation.undo.unaccounted.size()),
                  undoObservation.undo.steps, undoObservation.undo.logComplete ? 1 : 0, undoObservation.faultsFired,
                  undoObservation.redone ? 1 : 0, undoObservation.redo.refusal, undoObservation.redo.notBack);
    std::string result = text;
    if (undoObservation.killed)
        result += "  died moving \"" + Printable(undoObservation.inFlightFrom) + "\" to \"" +
                  Printable(undoObservation.inFlightTo) + "\"\n";
    if (undoObservation.undoDeath > 0)
        result += std::string("  the ") + (undoObservation.undoDeath == 1 ? "undo" : "undo of the undo") +
                  " died, the next one finished it; the file in flight holds \"" +
                  Printable(undoObservation.undoInFlightContent) + "\"\n";
    for (const std::string& name : undoObservation.undo.notBackNames)
        result += "  reported not back: \"" + Printable(name) + "\"\n";
    for (const std::string& name : undoObservation.undo.unaccounted)
        result += "  reported unaccounted: \"" + Printable(name) + "\"\n";
    return result;
}
