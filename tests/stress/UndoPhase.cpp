#include "tests/stress/UndoPhase.h"

#include "engine/RenameLogReader.h"
#include "tests/stress/Dice.h"
#include "tests/stress/ScenarioRun.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

const FaultKind kUndoFaults[] = {FaultMoveFails,       FaultMoveSaysTaken, FaultExistsErrs,
                                 FaultExistsSaysTaken, FaultLogWritesStop, FaultSearchFails};

void InjectUndoFaults(const UndoScenario& u, FaultyFileServices& fs)
{
    for (const FaultSpec& fault : u.faults) {
        switch (fault.kind) {
        case FaultMoveFails:
            fs.Inject(CallMove, fault.nth, FaultFail);
            break;
        case FaultMoveSaysTaken:
            fs.Inject(CallMove, fault.nth, FaultReportTaken);
            break;
        case FaultExistsErrs:
            fs.Inject(CallExists, fault.nth, FaultFail);
            break;
        case FaultExistsSaysTaken:
            fs.Inject(CallExists, fault.nth, FaultReportTaken);
            break;
        case FaultLogWritesStop:
            fs.InjectFrom(CallWriteLog, fault.nth, FaultFail);
            break;
        default:
            fs.Inject(CallFindFirst, 1, FaultFail);
            break;
        }
    }
}

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

int UndoFaultsFired(const UndoScenario& u, const FaultyFileServices& fs)
{
    int fired = 0;
    for (const FaultSpec& fault : u.faults)
        fired += fs.Calls(CallOf(fault.kind)) >= fault.nth ? 1 : 0;
    return fired;
}

bool IsTempKey(const std::string& key)
{
    if (key.size() < 12 || key.compare(0, 4, "~ren") != 0 || key.compare(key.size() - 4, 4, ".tmp") != 0)
        return false;
    return std::all_of(key.begin() + 4, key.end() - 4, [](char c) { return c >= '0' && c <= '9'; });
}

class UndoChecker
{
public:
    UndoChecker(const Scenario& s, const Observation& o) : s(s), o(o), u(o.undoPhase) {}

    std::vector<std::string> Check();

private:
    void Breach(const std::string& text) { breaches.push_back(text); }
    Tree Strip(const Tree& tree) const;
    void CheckKept(const char* what, const Tree& before, const Tree& after);
    void CheckSame(const char* what, const Tree& expected, const Tree& seen);
    void CheckHonest(bool logTrusty);
    void CheckAllBack();

    const Scenario& s;
    const Observation& o;
    const UndoObservation& u;
    std::vector<LoggedStep> runSteps;
    std::set<std::string> movedByRun;
    std::set<std::string> namedByRun;
    std::string inFlightContent;
    std::vector<std::string> breaches;
};

// The log is no file of the folder's; an undo writes to it.
Tree UndoChecker::Strip(const Tree& tree) const
{
    Tree stripped = tree;
    if (!o.logKey.empty()) {
        for (auto item = stripped.begin(); item != stripped.end();) {
            if (CaseFolded(item->first) == CaseFolded(o.logKey))
                item = stripped.erase(item);
            else
                ++item;
        }
    }
    return stripped;
}

// Nothing lost, nothing duplicated, nothing overwritten: the same contents and folders.
void UndoChecker::CheckKept(const char* what, const Tree& before, const Tree& after)
{
    std::multiset<std::string> contentsBefore, contentsAfter;
    std::set<std::string> foldersBefore, foldersAfter;
    for (const auto& item : Strip(before))
        item.second.isDirectory ? (void)foldersBefore.insert(item.first) : (void)contentsBefore.insert(item.second.content);
    for (const auto& item : Strip(after))
        item.second.isDirectory ? (void)foldersAfter.insert(item.first) : (void)contentsAfter.insert(item.second.content);
    if (contentsBefore != contentsAfter)
        Breach(std::string(what) + ": the files' contents changed (lost, duplicated or overwritten)");
    if (foldersBefore != foldersAfter)
        Breach(std::string(what) + ": the sub-folders changed");
}

void UndoChecker::CheckSame(const char* what, const Tree& expected, const Tree& seen)
{
    Tree a = Strip(expected), b = Strip(seen);
    bool same = a.size() == b.size();
    for (auto x = a.begin(), y = b.begin(); same && x != a.end(); ++x, ++y)
        same = x->first == y->first && x->second.isDirectory == y->second.isDirectory &&
               x->second.content == y->second.content;
    if (!same)
        Breach(std::string(what));
}

// A file the run moved is back under its name, or the undo says it is not. A log that lost
// lines may make the undo look for a file where it no longer is: then "not put back" can be
// said of a file that is back all the same.
void UndoChecker::CheckHonest(bool logTrusty)
{
    const std::vector<std::string>& reported = u.undo.notBackNames;
    for (const auto& batch : o.batchContents) {
        if (movedByRun.count(batch.first) == 0)
            continue;
        auto now = u.afterUndo.find(batch.first);
        bool back = now != u.afterUndo.end() && !now->second.isDirectory && now->second.content == batch.second;
        bool said = std::find(reported.begin(), reported.end(), batch.first) != reported.end();
        // The step in flight may have brought its file home though the log does not say so.
        const bool inFlight = u.killed && batch.second == inFlightContent;
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
    if (!u.killed) {
        CheckSame("the undo did not give back the folder as it was before the run", o.before, u.afterUndo);
        if (u.undo.notBack != 0)
            Breach("every file is back, yet " + std::to_string(u.undo.notBack) + " reported as not");
        return;
    }
    for (const auto& batch : o.batchContents) {
        if (movedByRun.count(batch.first) == 0)
            continue;
        auto now = u.afterUndo.find(batch.first);
        if (now != u.afterUndo.end() && now->second.content == batch.second)
            continue;
        if (batch.second == inFlightContent)
            continue;
        const std::vector<std::string>& reported = u.undo.notBackNames;
        bool said = std::find(reported.begin(), reported.end(), batch.first) != reported.end();
        if (!(said && CaseFolded(batch.first) == CaseFolded(u.inFlightTo)))
            Breach("after the process died, \"" + Printable(batch.first) + "\" is not back");
    }
    auto parked = u.afterUndo.find(u.inFlightTo);
    if (!inFlightContent.empty() && IsTempKey(u.inFlightTo) && namedByRun.count(u.inFlightTo) == 0 &&
        parked != u.afterUndo.end() && parked->second.content == inFlightContent) {
        const std::vector<std::string>& named = u.undo.unaccounted;
        if (std::find(named.begin(), named.end(), u.inFlightTo) == named.end())
            Breach("the file in flight under \"" + Printable(u.inFlightTo) + "\" is not named in the report");
    }
}

std::vector<std::string> UndoChecker::Check()
{
    if (!u.tried)
        return breaches;
    RenameLogParser parser(&runSteps);
    parser.Feed(u.runLog.data(), u.runLog.size());
    for (const LoggedStep& step : runSteps) {
        namedByRun.insert(step.from);
        namedByRun.insert(step.to);
        if (!step.Failed() && step.from != step.to)
            movedByRun.insert(step.from);
    }
    if (u.killed) {
        auto moved = u.beforeUndo.find(u.inFlightTo);
        if (moved != u.beforeUndo.end() && u.beforeUndo.count(u.inFlightFrom) == 0)
            inFlightContent = moved->second.content;
    }

    CheckKept("undo", u.beforeUndo, u.afterUndo);
    CheckKept("undo of the undo", u.afterUndo, u.afterRedo);
    if (!u.undone) {
        CheckSame("a refused undo changed the folder", u.beforeUndo, u.afterUndo);
        return breaches;
    }
    bool logTrusty = u.killed ? true : o.outcome.logComplete;
    for (const FaultSpec& fault : s.faults)
        logTrusty = logTrusty && fault.kind != FaultLogNotCreated && fault.kind != FaultLogWritesStop;
    if (o.events.empty())
        CheckHonest(logTrusty);
    // Wine moves a file to a path longer than the ANSI calls take, but not back from it.
    bool pathsReachable = true;
    for (const std::string& name : namedByRun)
        pathsReachable = pathsReachable && !PathTooLongForEngine(o.typedFolder + PathSeparator() + name);
    if (o.events.empty() && !o.runaway && logTrusty && pathsReachable && u.faultsFired == 0)
        CheckAllBack();
    if (u.undo.logComplete)
        CheckSame("the undo of the undo did not give back the folder as the undo found it", u.beforeUndo, u.afterRedo);
    return breaches;
}

} // namespace

UndoScenario MakeUndoScenario(const Scenario& s)
{
    Dice random(ScenarioSeed(s.seed, s.index) ^ 0x756E646F2D706861ull);
    UndoScenario u = UndoScenario();
    const int files = static_cast<int>(s.files.size());
    int draw = static_cast<int>(random.Below(100));
    int count = draw < 45 ? 0 : draw < 75 ? 1 : draw < 90 ? 2 : random.Between(3, 6);
    for (int i = 0; i < count; ++i) {
        FaultKind kind = kUndoFaults[random.Below(sizeof kUndoFaults / sizeof kUndoFaults[0])];
        if (kind == FaultSearchFails && !random.Percent(20))
            kind = FaultMoveFails;
        int nth = kind == FaultLogWritesStop ? random.Between(1, files + 3) : random.Between(1, 2 * files + 4);
        u.faults.push_back(FaultSpec{kind, nth});
    }
    if (random.Percent(35)) {
        u.dieAfterMove = random.Between(1, files + 1);
        u.cutBytes = random.Percent(50) ? 0 : random.Between(1, 40);
    }
    return u;
}

std::string DescribeUndo(const UndoScenario& u)
{
    std::string text;
    char line[128];
    for (const FaultSpec& fault : u.faults) {
        std::snprintf(line, sizeof line, "  undo fault: %s, call %d\n", FaultName(fault.kind), fault.nth);
        text += line;
    }
    if (u.dieAfterMove > 0) {
        std::snprintf(line, sizeof line, "  the process dies after move %d, %d bytes of its line logged\n",
                      u.dieAfterMove, u.cutBytes);
        text += line;
    }
    return text;
}

void ProcessDeath::BeforeCall(FileCall call, int nth, const char* first, const char* second)
{
    if (dead || call != CallMove || nth != undo.dieAfterMove)
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
    if (!dead || undo.cutBytes == 0 || logPath.empty() || !ReadPath(logPath, ignored))
        return;
    std::string line = inFlightFrom + "\t->\t" + inFlightTo + "\r\n";
    size_t length = std::min(static_cast<size_t>(undo.cutBytes), line.size() - 1);
    if (std::FILE* log = std::fopen(logPath.c_str(), "ab")) {
        std::fwrite(line.data(), 1, length, log);
        std::fclose(log);
    }
}

void RunUndoPhase(const Scenario& s, const UndoScenario& undoScenario, const std::string& folder,
                  const ProcessDeath& death, Observation& o)
{
    UndoObservation& u = o.undoPhase;
    u.tried = o.ran;
    if (!u.tried)
        return;
    u.killed = death.Dead();
    u.inFlightFrom = death.inFlightFrom;
    u.inFlightTo = death.inFlightTo;
    death.CutLog(o.logPath);
    if (!o.logPath.empty())
        ReadPath(o.logPath, u.runLog);
    u.beforeUndo = ReadTree(folder);

    FaultyFileServices faulty(PlatformFileServices());
    FaultyFileServices clean(PlatformFileServices());
    if (s.cp932LeadBytes) {
        faulty.UseCp932LeadBytes();
        clean.UseCp932LeadBytes();
    }
    InjectUndoFaults(undoScenario, faulty);
    u.undone = UndoRun(o.logPath.c_str(), faulty, u.undo);
    u.faultsFired = UndoFaultsFired(undoScenario, faulty);
    u.afterUndo = ReadTree(folder);
    u.redone = UndoRun(o.logPath.c_str(), clean, u.redo);
    u.afterRedo = ReadTree(folder);
    if (!o.logPath.empty())
        ReadPath(o.logPath, u.logAfter);
}

std::vector<std::string> CheckUndo(const Scenario& scenario, const Observation& observation)
{
    return UndoChecker(scenario, observation).Check();
}

std::string UndoOutcomeText(const Observation& o)
{
    const UndoObservation& u = o.undoPhase;
    if (!u.tried)
        return std::string();
    char text[512];
    std::snprintf(text, sizeof text,
                  "  undo: done %d, refusal %d, fileCount %d, notBack %d, unaccounted %d, steps %d, logComplete %d, "
                  "faults fired %d; undo of the undo: done %d, refusal %d, notBack %d\n",
                  u.undone ? 1 : 0, u.undo.refusal, u.undo.fileCount, u.undo.notBack,
                  static_cast<int>(u.undo.unaccounted.size()), u.undo.steps, u.undo.logComplete ? 1 : 0, u.faultsFired,
                  u.redone ? 1 : 0, u.redo.refusal, u.redo.notBack);
    std::string result = text;
    if (u.killed)
        result += "  died moving \"" + Printable(u.inFlightFrom) + "\" to \"" + Printable(u.inFlightTo) + "\"\n";
    for (const std::string& name : u.undo.notBackNames)
        result += "  reported not back: \"" + Printable(name) + "\"\n";
    for (const std::string& name : u.undo.unaccounted)
        result += "  reported unaccounted: \"" + Printable(name) + "\"\n";
    return result;
}
