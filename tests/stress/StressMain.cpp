// Randomized runs of the renaming engine over folders filled to cause trouble, with faults
// injected through the file services, each run checked against the promises the engine
// makes. Usage:
//   stress_tests [--seed S] [--scenarios N] [--only K] [--time-limit SECONDS] [--no-photos]
// Without --seed the seed comes from the clock; it is printed either way, and the same seed
// gives the same scenarios. --only K replays scenario K of the seed alone and describes it.
// --no-photos leaves out the files of one photo and the names that write the date, so that a
// seed gives the scenarios it gave before the tester drew them.
// After every run that went through, the run is undone (with faults injected into the undo
// too) and the undo undone; in some scenarios the process dies in the middle of the run and
// the undo finds what it left. Every run keeps its record in a history of the scenario's own;
// in some scenarios a second run follows in a new process (refused when the first did not
// finish), then undo after undo through the history, a redo among them now and then, until it
// has nothing left to take back; in some scenarios the power fails in the first run or in one
// of those acts, and what the logs took since their last flush is lost. The last line is
// "scenarios=N faults=F lognewname=L breaches=B seed=S"; L counts the runs whose log path
// names, in the run's folder, a name the batch wants.
#include "engine/run/RunRename.h"
#include "tests/stress/Invariants.h"
#include "tests/stress/Scenario.h"
#include "tests/stress/ScenarioRun.h"
#include "tests/stress/StressFolder.h"
#include "tests/stress/UndoPhase.h"
#include "tests/support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

struct Options
{
    uint64_t seed = 0;
    bool seedGiven = false;
    uint64_t scenarios = 100;
    bool only = false;
    uint64_t onlyIndex = 0;
    int timeLimit = 120;
    bool photos = true;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name == "--no-photos") {
            options.photos = false;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        uint64_t value = std::strtoull(argv[++i], nullptr, 10);
        if (name == "--seed") {
            options.seed = value;
            options.seedGiven = true;
        } else if (name == "--scenarios") {
            options.scenarios = value;
        } else if (name == "--only") {
            options.only = true;
            options.onlyIndex = value;
        } else if (name == "--time-limit") {
            options.timeLimit = static_cast<int>(value);
        } else {
            return false;
        }
    }
    return true;
}

// The scenario in progress, for the watchdog to name when one runs away.
std::atomic<uint64_t> currentIndex(0);
std::atomic<int64_t> scenarioStarted(0);
std::atomic<bool> finished(false);

int64_t NowSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Watch(uint64_t seed, int limit)
{
    while (!finished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (!finished && NowSeconds() - scenarioStarted > limit) {
            std::printf("BREACH seed=%llu scenario=%llu: the run did not end within %d seconds\n",
                        static_cast<unsigned long long>(seed), static_cast<unsigned long long>(currentIndex.load()),
                        limit);
            std::printf("replay: --seed %llu --only %llu\n", static_cast<unsigned long long>(seed),
                        static_cast<unsigned long long>(currentIndex.load()));
            std::fflush(stdout);
            std::_Exit(3);
        }
    }
}

std::string OutcomeText(const Observation& observation)
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "  outcome: ran %d, refusal %d \"%s\", fileCount %d, notRenamed %d, unreachable %d, steps %d, "
                  "logComplete %d\n",
                  observation.ran ? 1 : 0, observation.outcome.refusal,
                  Printable(observation.outcome.refusedName).c_str(), observation.outcome.fileCount,
                  observation.outcome.notRenamed, observation.outcome.unreachable, observation.outcome.steps,
                  observation.outcome.logComplete ? 1 : 0);
    return text;
}

// A file's content, a photo's head before its own text shown by its length alone.
std::string ContentText(const std::string& content)
{
    size_t own = content.rfind("file ");
    if (own == 0 || own == std::string::npos)
        return Printable(content);
    return "<" + std::to_string(own) + " bytes of a head>" + Printable(content.substr(own));
}

std::string TreeText(const char* title, const Tree& tree)
{
    std::string text = std::string("  ") + title + ":\n";
    for (const auto& item : tree) {
        text += "    \"" + Printable(item.first) + "\"" +
                (item.second.isDirectory ? " (folder)" : " = \"" + ContentText(item.second.content) + "\"") + "\n";
    }
    return text;
}

void Report(const Scenario& scenario, const Observation& observation, const std::vector<std::string>& breaches)
{
    for (const std::string& breach : breaches) {
        std::printf("BREACH seed=%llu scenario=%llu: %s\n", static_cast<unsigned long long>(scenario.seed),
                    static_cast<unsigned long long>(scenario.index), breach.c_str());
    }
    std::string text = Describe(scenario) + HistoryText(scenario, observation) + "  log path: \"" +
                       Printable(observation.logPath) + "\"\n" + OutcomeText(observation) +
                       TreeText("before", observation.before) + TreeText("after", observation.after);
    for (const std::string& name : observation.platformUnreachable)
        text += "  unreachable by the platform layer: \"" + Printable(name) + "\"\n";
    for (const ExternalEvent& event : observation.events) {
        static const char* const kinds[] = {"created", "deleted", "renamed"};
        text += std::string("  another program ") + kinds[event.kind] + " \"" + Printable(event.key) + "\"" +
                (event.to.empty() ? "" : " to \"" + Printable(event.to) + "\"") + " after log line " +
                std::to_string(event.linesBefore) + "\n";
    }
    text += "  log:\n" + Printable(observation.logText).substr(0, 6000) + "\n";
    if (observation.undoPhase.tried) {
        text += DescribeUndo(MakeUndoScenario(scenario)) + UndoOutcomeText(observation) +
                TreeText("before the undo", observation.undoPhase.beforeUndo) +
                TreeText("after the undo", observation.undoPhase.afterUndo) +
                TreeText("after the undo of the undo", observation.undoPhase.afterRedo);
        text += "  log after both undos:\n" + Printable(observation.undoPhase.logAfter).substr(0, 12000) + "\n";
    }
    for (size_t i = 1; observation.historyPhase.tried && i < observation.historyPhase.trees.size(); ++i)
        text += TreeText(i == 1 ? "after the second run" : ("after act " + std::to_string(i - 1)).c_str(),
                         observation.historyPhase.trees[i]);
    std::printf("%s", text.c_str());
    std::printf("replay: --seed %llu --only %llu\n", static_cast<unsigned long long>(scenario.seed),
                static_cast<unsigned long long>(scenario.index));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(
            stderr, "usage: stress_tests [--seed S] [--scenarios N] [--only K] [--time-limit SECONDS] [--no-photos]\n");
        return 2;
    }
    if (!options.seedGiven)
        options.seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) % 1000000007u;
    std::printf("seed=%llu\n", static_cast<unsigned long long>(options.seed));
    std::fflush(stdout);

    std::string base;
    if (!MakeTempFolder("qbstress", base)) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 2;
    }

    scenarioStarted = NowSeconds();
    std::thread watchdog(Watch, options.seed, options.timeLimit);
    uint64_t first = options.only ? options.onlyIndex : 0;
    uint64_t count = options.only ? 1 : options.scenarios;
    unsigned long long faults = 0, breaches = 0, refused = 0, declined = 0, allRenamed = 0, files = 0, notRenamed = 0,
                       logOnNewName = 0, undoPhases = 0, undos = 0, undoKills = 0, kills = 0, notBack = 0;
    unsigned long long historyPhases = 0, unfinished = 0, refusedUnfinished = 0, historyActs = 0, redos = 0,
                       actDeaths = 0, logPathUndos = 0, powerCuts = 0;
    for (uint64_t index = first; index < first + count; ++index) {
        currentIndex = index;
        scenarioStarted = NowSeconds();
        Scenario scenario = MakeScenario(options.seed, index, options.photos);
        Observation observation = RunScenario(scenario, base);
        // A run that died keeps none of a run's promises; what the undo makes of it is checked.
        std::vector<std::string> found;
        if (!observation.undoPhase.killed)
            found = CheckRun(scenario, observation);
        for (const std::string& breach : CheckUndo(scenario, observation))
            found.push_back(breach);
        for (const std::string& breach : CheckHistory(observation))
            found.push_back(breach);
        const HistoryObservation& history = observation.historyPhase;
        historyPhases += history.tried ? 1 : 0;
        unfinished += history.mustRefuse ? 1 : 0;
        refusedUnfinished += history.second.refusal == RefusalUnfinishedRun ? 1 : 0;
        historyActs += history.tried ? history.trees.size() - 2 : 0;
        redos += history.redos;
        actDeaths += history.deaths;
        logPathUndos += history.fromLogPath;
        powerCuts += history.powerCuts;
        faults += observation.faultsFired + observation.undoPhase.faultsFired;
        kills += observation.undoPhase.killed ? 1 : 0;
        undoKills += observation.undoPhase.undoDeath > 0 ? 1 : 0;
        undoPhases += observation.undoPhase.tried ? 1 : 0;
        undos += observation.undoPhase.undone ? 1 : 0;
        notBack += observation.undoPhase.undo.notBack;
        refused += observation.ran ? 0 : 1;
        declined += observation.declined ? 1 : 0;
        allRenamed += observation.ran && observation.outcome.notRenamed == 0 ? 1 : 0;
        files += observation.outcome.fileCount;
        notRenamed += observation.outcome.notRenamed;
        logOnNewName += scenario.logPlace == LogOnANewName ? 1 : 0;
        if (!found.empty() || options.only)
            Report(scenario, observation, found);
        breaches += found.empty() ? 0 : 1;
    }
    finished = true;
    watchdog.join();
    RemoveTree(base);

    std::printf("runs refused=%llu (told No=%llu), every file renamed=%llu; files in batches=%llu, not renamed=%llu\n",
                refused, declined, allRenamed, files, notRenamed);
    std::printf("undo phases=%llu, undos that went through=%llu, kills=%llu, kills in an undo=%llu, "
                "files not put back=%llu\n",
                undoPhases, undos, kills, undoKills, notBack);
    std::printf(
        "second runs=%llu, over an unfinished one=%llu, refused as unfinished=%llu; acts through the "
        "history=%llu, redos=%llu, acts that died=%llu, undos of the log at the log path=%llu, power cuts=%llu\n",
        historyPhases, unfinished, refusedUnfinished, historyActs, redos, actDeaths, logPathUndos, powerCuts);
    std::printf("scenarios=%llu faults=%llu lognewname=%llu breaches=%llu seed=%llu\n",
                static_cast<unsigned long long>(count), faults, logOnNewName, breaches,
                static_cast<unsigned long long>(options.seed));
    return breaches == 0 ? 0 : 1;
}
