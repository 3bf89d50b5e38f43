// Runs asked to stop after every possible number of steps: nothing is lost, no file starts a
// move after the stop, files waiting under temporary names reach a name of their own, and the
// log tells every move.
#include "engine/order/Ordering.h"
#include "engine/steps/TempNames.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/StepLines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

struct StopCase
{
    std::string name;
    Names files;
    int32_t startNumber;
    int32_t order;
    uint8_t padDigits;
    // Every file ends under its original or new name, wherever the run stops.
    bool noneLeftWaiting;
    // Stopped after that many steps, the files end under these names, in the order of files.
    int exactStop = -1;
    Names exactNames = {};
};

std::map<std::string, std::string> NamesByContent(const TempFolder& folder)
{
    std::map<std::string, std::string> where;
    for (const std::string& name : folder.Names())
        where[folder.Read(name)] = name;
    return where;
}

// The folder the log's moves give when played over the files as they were.
std::set<std::string> Replayed(const Names& before, const Names& lines)
{
    std::set<std::string> names(before.begin(), before.end());
    for (const std::string& line : lines) {
        StepLine step;
        EXPECT_TRUE(ReadStepLine(line, step)) << line;
        if (step.failed || step.from == step.to)
            continue;
        EXPECT_EQ(1u, names.erase(step.from)) << "the log moves a name that is not there: " << line;
        EXPECT_TRUE(names.insert(step.to).second) << "the log moves onto a taken name: " << line;
    }
    return names;
}

std::string LastLineFrom(const Names& lines, const std::string& name)
{
    std::string last;
    for (const std::string& line : lines) {
        if (line.compare(0, name.size() + 1, name + "\t") == 0)
            last = line;
    }
    return last;
}

class RunStop
{
public:
    explicit RunStop(const StopCase& c) : c(c) {}

    void Prepare(RunFixture& run) const
    {
        run.AddFiles(c.files);
        run.job.startNumber = c.startNumber;
        run.job.order = c.order;
        run.job.padDigits = c.padDigits;
        nextTempNumber = 0;
        randomState = 7;
    }

    // The run left alone: each file's new name, and its log.
    void RunThrough()
    {
        RunFixture run;
        Prepare(run);
        ASSERT_TRUE(run.Run());
        ASSERT_EQ(0, run.outcome.notRenamed) << "the cases are runs that go through";
        newNameOf = NamesByContent(run.folder);
        fullLog = run.LogLines();
    }

    void StopAt(int k)
    {
        SCOPED_TRACE(c.name + ", stopped after step " + std::to_string(k));
        RunFixture run;
        Prepare(run);
        StopAfter stop(k);
        run.progress = &stop;
        ASSERT_TRUE(run.Run());

        const int walkSteps = static_cast<int>(fullLog.size());
        EXPECT_EQ(k < walkSteps, run.outcome.stopped);
        ASSERT_EQ(static_cast<size_t>(std::min(k, walkSteps - 1) + 1), stop.told.size());
        for (size_t i = 0; i < stop.told.size(); ++i) {
            EXPECT_EQ(static_cast<int>(i), stop.told[i].stepsTaken);
            EXPECT_EQ(static_cast<int>(c.files.size()), stop.told[i].fileCount);
            EXPECT_LT(stop.told[i].stepsTaken, stop.told[i].stepsKnown);
        }

        // No file started a move after the stop: the walk's lines are the first k of the
        // run left alone, and every later line moves a file out of a temporary name.
        Names lines = run.LogLines();
        const int walked = std::min(k, walkSteps);
        ASSERT_LE(static_cast<size_t>(walked), lines.size());
        EXPECT_EQ(Names(fullLog.begin(), fullLog.begin() + walked), Names(lines.begin(), lines.begin() + walked));
        for (size_t i = static_cast<size_t>(walked); i < lines.size(); ++i)
            EXPECT_TRUE(IsTempName(lines[i].substr(0, 12).c_str())) << lines[i];
        // One line for each file that waited at the stop, the settling told of each.
        EXPECT_EQ(run.outcome.stopped, stop.SettledOneByOne());
        EXPECT_TRUE(stop.settling.empty() || stop.settling.back().second == static_cast<int>(lines.size()) - walked);
        EXPECT_EQ(static_cast<int>(lines.size()), run.outcome.steps);
        EXPECT_TRUE(run.outcome.logComplete);

        Names after = run.folder.Names();
        EXPECT_EQ(std::set<std::string>(after.begin(), after.end()), Replayed(c.files, lines));

        std::map<std::string, std::string> where = NamesByContent(run.folder);
        ASSERT_EQ(c.files.size(), where.size()) << "a file was lost";
        int renamed = 0;
        int waiting = 0;
        for (const std::string& original : c.files) {
            const std::string& now = where[original];
            const std::string& newName = newNameOf[original];
            if (now == newName) {
                ++renamed;
            } else if (IsTempName(now.c_str())) {
                ++waiting;
                EXPECT_FALSE(c.noneLeftWaiting) << original << " left under " << now;
                EXPECT_TRUE(run.folder.Exists(original) && run.folder.Exists(newName))
                    << original << " left under " << now << " though one of its names is free";
                EXPECT_EQ(Line(now, original) + "\tnew and original names taken, file left under its temporary name",
                          LastLineFrom(lines, now));
            } else {
                EXPECT_EQ(original, now) << "neither its original nor its new name";
            }
        }
        if (k == c.exactStop) {
            Names names;
            for (const std::string& original : c.files)
                names.push_back(where[original]);
            EXPECT_EQ(c.exactNames, names);
        }
        EXPECT_EQ(renamed, run.outcome.renamed);
        EXPECT_EQ(waiting, run.outcome.leftTemporary);
        EXPECT_EQ(static_cast<int>(c.files.size()) - renamed, run.outcome.notRenamed);
        EXPECT_EQ(0, run.list.Count());
    }

    void EveryStop()
    {
        RunThrough();
        for (int k = 0; k <= static_cast<int>(fullLog.size()); ++k)
            StopAt(k);
    }

private:
    const StopCase& c;
    std::map<std::string, std::string> newNameOf;
    Names fullLog;
};

// Small folders of clashing names: numbers, a few letters, two extensions.
StopCase RandomCase(uint32_t seed)
{
    std::mt19937 random(seed);
    const Names pool = {"0.txt", "1.txt", "2.txt", "3.txt", "4.txt", "5.txt", "6.txt",
                        "7.txt", "1.jpg", "2.jpg", "a.txt", "b.txt", "c.jpg"};
    StopCase c = {"random folder " + std::to_string(seed), {}, 0, 0, 0, false};
    for (const std::string& name : pool) {
        if (random() % 2)
            c.files.push_back(name);
    }
    c.startNumber = static_cast<int32_t>(random() % 4);
    const int32_t orders[] = {ExtAscending, NameAscending, ExtDescending, NameDescending, Random};
    c.order = orders[random() % 5];
    return c;
}

}  // namespace

TEST(StoppedRun, EveryStopKeepsEveryFileAndLogsEveryMove)
{
    std::vector<StopCase> cases = {
        {"the worked example", {"001.jpg", "002.jpg", "c.jpg"}, 2, NameAscending, 1, false},
        {"two files exchange their names", {"000.txt", "001.txt"}, 0, NameDescending, 1, true},
        {"a renumbering by one", NumberedNames("%03d.jpg", 0, 8), 1, NameAscending, 1, true},
        {"a renumbering by one, backwards", NumberedNames("%03d.jpg", 0, 8), 1, NameDescending, 1, true},
        // Waiting: 1.txt (new name 2.txt, free) and 2.txt (new name 3.txt, taken). 2.txt is the
        // only name left to 2.txt, so 1.txt goes back to its own.
        {"a name two files want goes to the one without another",
         {"1.txt", "2.txt", "3.txt"},
         2,
         NameAscending,
         0,
         true,
         2,
         {"1.txt", "2.txt", "3.txt"}},
        // Waiting: 0.txt, whose new and original names are both free.
        {"the new name where both are free", {"0.txt", "1.txt"}, 1, NameAscending, 0, true, 2, {"1.txt", "2.txt"}},
    };
    for (uint32_t seed = 1; seed <= 16; ++seed)
        cases.push_back(RandomCase(seed));
    for (const StopCase& c : cases) {
        RunStop run(c);
        run.EveryStop();
    }
}

TEST(StoppedRun, AFileWhoseTemporaryNameAnotherFileTookIsNeverMoved)
{
    // a.txt cannot reach ~ren0000.txt (a folder) and waits under ~ren0001.tmp (~ren0000.tmp is
    // outside the mask). As b.tmp moves there, another program takes a.txt away, and b.tmp or
    // a file of that program's comes in its place. where: a.txt's, b.tmp's and that file's names.
    const std::string gone = "\tfile no longer under this name, another file is", a = Line("a.txt", "~ren0001.tmp");
    const std::string b = Line("b.tmp", "~ren0001.tmp"), bAside = Line("b.tmp", "~ren0002.tmp");
    struct Case
    {
        bool batchFileComes;
        int stopAt;
        Names lines;
        Names where;
        int renamed;
    } cases[] = {
        {true, 99, {a, b, Line("~ren0001.tmp", "~ren0000.txt") + gone}, {"moved.dat", "~ren0001.tmp", ""}, 1},
        {true, 2, {a, b, Line("~ren0001.tmp", "a.txt") + gone}, {"moved.dat", "~ren0001.tmp", ""}, 1},
        {false,
         99,
         {a, bAside, Line("~ren0001.tmp", "~ren0000.txt") + gone, Line("~ren0002.tmp", "~ren0003.tmp"),
          Line("~ren0003.tmp", "b.tmp")},
         {"moved.dat", "b.tmp", "~ren0001.tmp"},
         0},
        {false,
         2,
         {a, bAside, Line("~ren0001.tmp", "a.txt") + gone, Line("~ren0002.tmp", "b.tmp")},
         {"moved.dat", "b.tmp", "~ren0001.tmp"},
         0},
    };
    for (const Case& c : cases) {
        RunFixture run({"a.txt", "b.tmp", "~ren0000.tmp"}, NameAscending);
        run.folder.MakeFolder("~ren0000.txt");
        run.job.mask = "?.*";
        run.job.SplitPattern("~ren?");
        run.job.digitCount = 4;
        StopAfter stop(c.stopAt);
        run.progress = &stop;
        run.fs.beforeCall = [&](FileCall call, int, const char* from, const char* to) {
            if (call == CallMove && run.folder.PathOf("b.tmp") == from && run.folder.PathOf("~ren0001.tmp") == to &&
                std::rename(to, run.folder.PathOf("moved.dat").c_str()) == 0 && !c.batchFileComes)
                run.folder.Write("~ren0001.tmp", "other");
        };
        nextTempNumber = 0;
        ASSERT_TRUE(run.Run());
        EXPECT_EQ(c.lines, run.LogLines());
        std::map<std::string, std::string> where = NamesByContent(run.folder);
        EXPECT_EQ(c.where, (Names{where["a.txt"], where["b.tmp"], where["other"]}));
        EXPECT_EQ(c.renamed, run.outcome.renamed);
        EXPECT_EQ(2 - c.renamed, run.outcome.notRenamed);
        EXPECT_EQ(0, run.outcome.leftTemporary);
    }
}

TEST(StoppedRun, AFileTakenAwayWhileTheStopSettlesIsNeitherLeftTemporaryNorBlamedOnTakenNames)
{
    // 0.txt waits under ~ren0000.tmp at the stop, its new name 1.txt taken. Once the stop has
    // looked at it, another program takes it away and puts a file of its own there; in the
    // second row it has taken 0.txt as well, so that neither name is left to the waiting file.
    for (bool originalTaken : {false, true}) {
        RunFixture run({"0.txt", "1.txt"}, NameAscending);
        run.job.startNumber = 1;
        run.job.padDigits = 0;
        StopAfter stop(1);
        run.progress = &stop;
        const std::string temp = run.folder.PathOf("~ren0000.tmp");
        int looks = 0;
        run.fs.beforeCall = [&](FileCall call, int, const char* from, const char*) {
            if (call != CallIdentify || temp != from || stop.told.empty() || stop.told.back().stepsTaken < 1)
                return;
            if (++looks == 1 && originalTaken)
                run.folder.Write("0.txt", "third");
            if (looks == 2 && std::rename(from, run.folder.PathOf("moved.dat").c_str()) == 0)
                run.folder.Write("~ren0000.tmp", "other");
        };
        nextTempNumber = 0;
        ASSERT_TRUE(run.Run());
        EXPECT_EQ((Names{Line("0.txt", "~ren0000.tmp"),
                         Line("~ren0000.tmp", "0.txt") + "\tfile no longer under this name, another file is"}),
                  run.LogLines());
        EXPECT_EQ(0, run.outcome.leftTemporary);
        EXPECT_EQ(2, run.outcome.notRenamed);
    }
}

TEST(StoppedRun, TheProgressCountsTheWalksStepsAndNoPutBack)
{
    // 0.txt cannot move on from ~ren0000.tmp to 1.txt and goes back inside the walk, before
    // 1.txt's second step.
    RunFixture run({"0.txt", "1.txt", "2.txt"}, NameAscending);
    run.job.startNumber = 1;
    run.job.padDigits = 0;
    run.fs.failWhen = [&run](FileCall call, const char* from, const char* to) {
        return call == CallMove && run.folder.PathOf("~ren0000.tmp") == from && run.folder.PathOf("1.txt") == to;
    };
    StopAfter stop(99);
    run.progress = &stop;
    nextTempNumber = 0;
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(6u, run.LogLines().size());
    std::vector<std::pair<int, int>> told;
    for (const WalkProgress& progress : stop.told)
        told.push_back({progress.stepsTaken, progress.stepsKnown});
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 3}, {1, 4}, {2, 5}, {3, 5}, {4, 5}}), told);
}
