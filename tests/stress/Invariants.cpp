#include "tests/stress/Invariants.h"

#include "engine/steps/TempNames.h"
#include "tests/stress/Scenario.h"
#include "tests/stress/ScenarioRun.h"
#include "tests/support/StepLines.h"

#include <cstring>
#include <map>
#include <set>

namespace {

bool IsTopLevel(const std::string& key)
{
    return key.find('/') == std::string::npos;
}

std::string Quoted(const std::string& name)
{
    return "\"" + Printable(name) + "\"";
}

// A new name every layer takes as it is: no separator, nothing Windows refuses or drops, no
// device, not of a temporary name's form, and short enough for the file calls and for Wine,
// which keeps names as UTF-8 of at most 255 bytes.
bool PlainNewName(const std::string& name, const std::string& entryFolder, bool cp932)
{
    if (HoldsSeparatorModel(name, cp932) || NameAsStored(name) != name || NamesADevice(name) ||
        IsTempName(CaseFolded(name).c_str()) || PathTooLongForEngine(entryFolder + name))
        return false;
    if (!kWindows)
        return true;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        unsigned codePoint = 0;
        const size_t escape = EscapeAt(name, i, codePoint);
        if (escape > 0)
            i += escape - 1;
        else if (IsLeadModel(c, true) && i + 1 < name.size())
            ++i;
        else if ((c < 0x20 || c >= 0x80 || std::strchr("\\/:*?\"<>|", c) != nullptr) && !(c >= 0xA1 && c <= 0xDF))
            return false;
    }
    return StoredBytes(name) <= 255;
}

class Checker
{
public:
    // The log file's name in the folder is left out of the comparisons when the run wrote its
    // log there; a log that was never created leaves whatever held that name alone.
    Checker(const Scenario& scenario, const Observation& observation)
        : scenario(scenario),
          observation(observation),
          logFile(observation.logCreated ? observation.logKey : std::string())
    {
    }

    std::vector<std::string> Run()
    {
        if (observation.runaway)
            Breach("the walk did not end: the run went past its bound of steps");
        if (observation.openedPlaceholder)
            Breach("a file listed as a cloud placeholder was opened");
        if (observation.movesOntoLogName > 0 && !observation.logCreated)
            Breach("a file was moved onto the log's name, which no log held");
        CheckQuestion();
        CheckPreview();
        if (observation.declined)
            CheckDeclinedRun();
        else if (!observation.ran)
            CheckRefusedRun();
        else
            CheckFinishedRun();
        return breaches;
    }

private:
    void Breach(const std::string& text) { breaches.push_back(text); }

    // The question comes for a user's document and never for an earlier rename log.
    void CheckQuestion()
    {
        if (scenario.logPlace == LogElsewhereUserFile && !observation.asked)
            Breach("a user's document at the log path was taken for a rename log");
        if (scenario.logPlace == LogElsewhereExisting && observation.asked)
            Breach("an earlier rename log at the log path was taken for a user's document");
    }

    // Told No: nothing moved, and the file at the log path is byte for byte what it was.
    void CheckDeclinedRun()
    {
        CompareTrees(observation.before, observation.after, "a run told No changed the folder");
        if (!observation.logReadable || !observation.logExistedBefore || observation.logText != observation.logBefore)
            Breach("a run told No changed the file at the log path");
    }

    // The preview shows what a run without the injected faults does, and changes nothing.
    void CheckPreview()
    {
        CompareTrees(observation.before, observation.afterPreview, "the preview changed the folder");
        const Expected& expected = observation.expectedWithoutFaults;
        const RunPreview& preview = observation.preview;
        if (preview.outcome.refusal != expected.refusal || preview.outcome.refusedName != expected.refusedName) {
            Breach("the preview shows refusal " + std::to_string(preview.outcome.refusal) + " for " +
                   Quoted(preview.outcome.refusedName) + ", expected " + std::to_string(expected.refusal) + " for " +
                   Quoted(expected.refusedName));
            return;
        }
        if (static_cast<size_t>(preview.RowCount()) != expected.batch.size()) {
            Breach("the preview shows " + std::to_string(preview.RowCount()) + " files, expected " +
                   std::to_string(expected.batch.size()));
            return;
        }
        for (int row = 0; row < preview.RowCount(); ++row) {
            const Planned& planned = expected.batch[static_cast<size_t>(row)];
            if (planned.key != preview.CurrentName(row) || planned.newName != preview.NewName(row)) {
                Breach("preview row " + std::to_string(row) + " shows " + Quoted(preview.CurrentName(row)) + " -> " +
                       Quoted(preview.NewName(row)) + ", expected " + Quoted(planned.key) + " -> " +
                       Quoted(planned.newName));
                return;
            }
        }
        const int unreachable = preview.LeftOut(LeftOutUnreachable) + preview.LeftOut(LeftOutTooLong) +
                                preview.LeftOut(LeftOutPathTooLong);
        if (expected.refusal == RefusalNone && unreachable != expected.unreachable)
            Breach("the preview leaves out " + std::to_string(unreachable) +
                   " unreachable names, expected " + std::to_string(expected.unreachable));
        const int hiddenSystem = preview.LeftOut(LeftOutHiddenSystem);
        if (expected.refusal == RefusalNone && hiddenSystem != expected.hiddenSystem)
            Breach("the preview leaves out " + std::to_string(hiddenSystem) + " hidden system files, expected " +
                   std::to_string(expected.hiddenSystem));
    }

    void CheckRefusedRun()
    {
        if (observation.expected.refusal == RefusalNone) {
            Breach("the run refused to start (refusal " + std::to_string(observation.outcome.refusal) + ", " +
                   Quoted(observation.outcome.refusedName) + ") though nothing should stop it");
        } else if (observation.outcome.refusal != observation.expected.refusal ||
                   observation.outcome.refusedName != observation.expected.refusedName) {
            Breach("refusal " + std::to_string(observation.outcome.refusal) + " for " +
                   Quoted(observation.outcome.refusedName) + ", expected " +
                   std::to_string(observation.expected.refusal) + " for " + Quoted(observation.expected.refusedName));
        }
        CompareTrees(observation.before, observation.after, "a run that did not start changed the folder");
        if (!observation.logPath.empty() &&
            (observation.logReadable != observation.logExistedBefore || observation.logText != observation.logBefore))
            Breach("a run that did not start created or changed the log file");
        if (!observation.events.empty())
            Breach("a run that did not start moved files");
    }

    void CheckFinishedRun()
    {
        if (observation.expected.refusal != RefusalNone) {
            Breach("the run went through though it must refuse (refusal " +
                   std::to_string(observation.expected.refusal) + " for " + Quoted(observation.expected.refusedName) +
                   ")");
        }
        CheckContents();
        CheckOutsideBatch();
        CheckBatch();
        CheckBound();
        obstacle = Obstacle();
        if (obstacle.empty())
            CheckWorkDone();
        CheckLogState();
    }

    // What may keep a file of the batch from its new name; "" when nothing may.
    std::string Obstacle() const
    {
        if (!scenario.faults.empty())
            return "faults";
        if (!observation.events.empty())
            return "another program";
        std::set<std::string> batchKeys;
        for (const Planned& planned : observation.expected.batch)
            batchKeys.insert(planned.key);
        // Names held by something the batch never moves, then the new names themselves.
        std::set<std::string> held;
        for (const auto& item : observation.before) {
            if (IsTopLevel(item.first) && !batchKeys.count(item.first))
                held.insert(CaseFolded(item.first));
        }
        if (!observation.logKey.empty())
            held.insert(CaseFolded(observation.logKey));
        std::string entryFolder =
            observation.typedFolder + (scenario.typedSeparators > 0 ? "" : std::string(1, PathSeparator()));
        for (const Planned& planned : observation.expected.batch) {
            if (!PlainNewName(planned.newName, entryFolder, observation.cp932))
                return "the new name " + Quoted(planned.newName);
            if (!held.insert(CaseFolded(planned.newName)).second)
                return "something holds " + Quoted(planned.newName);
        }
        return "";
    }

    // Nothing in the way: every file the code page reaches arrives, one step each, two for a
    // file whose target a file behind it held (or its own file, in other letters) at its turn.
    void CheckWorkDone()
    {
        if (observation.outcome.notRenamed != observation.outcome.unreachable) {
            Breach("nothing stood in the way, yet " +
                   std::to_string(observation.outcome.notRenamed - observation.outcome.unreachable) +
                   " files did not reach their new names");
        }
        int steps = observation.outcome.unreachable;
        const std::vector<Planned>& batch = observation.expected.batch;
        for (size_t i = 0; i < batch.size(); ++i) {
            std::string target = CaseFolded(batch[i].newName);
            bool waits = NamesIgnoreCase() && CaseFolded(batch[i].key) == target && batch[i].key != batch[i].newName;
            for (size_t j = i + 1; j < batch.size() && !waits; ++j)
                waits = CaseFolded(batch[j].key) == target;
            steps += waits ? 2 : 1;
        }
        if (observation.outcome.steps != steps) {
            Breach("nothing stood in the way, yet the run took " + std::to_string(observation.outcome.steps) +
                   " steps where the walk takes " + std::to_string(steps));
        }
    }

    // Every file's content is in the folder exactly once, apart from what another program did.
    void CheckContents()
    {
        std::multiset<std::string> expected;
        for (const auto& item : observation.before) {
            if (!item.second.isDirectory && item.first != logFile)
                expected.insert(item.second.content);
        }
        for (const ExternalEvent& event : observation.events) {
            if (event.kind == ExternalEvent::Created)
                expected.insert(event.content);
            else if (event.kind == ExternalEvent::Deleted && expected.count(event.content))
                expected.erase(expected.find(event.content));
        }
        std::multiset<std::string> found;
        for (const auto& item : observation.after) {
            if (item.second.unreadable)
                Breach(Quoted(item.first) + " cannot be read after the run: something still holds it");
            if (!item.second.isDirectory && item.first != logFile)
                found.insert(item.second.content);
        }
        for (const std::string& content : expected) {
            size_t count = found.count(content);
            if (count != 1)
                Breach("\"" + content + "\" is in the folder " + std::to_string(count) + " times after the run");
        }
        for (const std::string& content : found) {
            if (!expected.count(content))
                Breach("\"" + content + "\" appeared in the folder during the run");
        }
    }

    // Sub-folders, their files, files the mask leaves out, names the code page cannot hold,
    // the log: all where they were, as they were.
    void CheckOutsideBatch()
    {
        std::set<std::string> batch;
        for (const Planned& planned : observation.expected.batch)
            batch.insert(planned.key);
        for (const auto& item : observation.before) {
            if (batch.count(item.first) || item.first == logFile)
                continue;
            auto after = observation.after.find(item.first);
            if (after == observation.after.end())
                Breach(Quoted(item.first) + ", outside the batch, is gone");
            else if (after->second.isDirectory != item.second.isDirectory ||
                     after->second.content != item.second.content)
                Breach(Quoted(item.first) + ", outside the batch, changed");
        }
    }

    void CheckBatch()
    {
        if (observation.outcome.fileCount != static_cast<int>(observation.expected.batch.size())) {
            Breach("fileCount " + std::to_string(observation.outcome.fileCount) + ", the batch holds " +
                   std::to_string(observation.expected.batch.size()));
        }
        if (observation.outcome.unreachable != observation.expected.unreachable) {
            Breach("unreachable " + std::to_string(observation.outcome.unreachable) + ", expected " +
                   std::to_string(observation.expected.unreachable));
        }

        std::map<std::string, std::string> location;  // content -> name after the run
        for (const auto& item : observation.after) {
            if (!item.second.isDirectory && item.first != logFile)
                location[item.second.content] = item.first;
        }
        std::set<std::string> touched;  // contents another program deleted or renamed
        std::set<std::string> movedAway;  // names another program gave batch files
        for (const ExternalEvent& event : observation.events) {
            if (event.kind != ExternalEvent::Created)
                touched.insert(event.content);
            if (event.kind == ExternalEvent::Renamed)
                movedAway.insert(event.to);
        }

        int notAtNewName = 0;
        int otherLetters = 0;
        for (const Planned& planned : observation.expected.batch) {
            const std::string& content = observation.before.at(planned.key).content;
            if (touched.count(content))
                continue;
            auto found = location.find(content);
            if (found == location.end())
                continue;  // reported by CheckContents
            const std::string& now = found->second;
            if (now == NameAsStored(planned.newName))
                continue;
            // The new name in other letters: the same name to the file system, and the file may
            // count either way. Wine keeps the old letters when a file is moved onto its own
            // name in other letters; a run that put the file back reports it not renamed.
            if (CaseFolded(now) == CaseFolded(NameAsStored(planned.newName))) {
                ++otherLetters;
                continue;
            }
            ++notAtNewName;
            notArrived.push_back(planned.key);
            bool atOldName = CaseFolded(now) == CaseFolded(planned.key);
            if (IsTempName(now.c_str()) && !atOldName && observation.outcome.stopped && OnlyStopRequested() &&
                (!HoldsName(planned.key) || !HoldsName(planned.newName))) {
                Breach("the run stopped and left " + Quoted(planned.key) + " under " + Quoted(now) +
                       " though its original or new name is free");
            }
            if (!atOldName && !IsTempName(now.c_str()) && !movedAway.count(now)) {
                Breach(Quoted(planned.key) + " ended as " + Quoted(now) + ", neither its new name " +
                       Quoted(planned.newName) + " nor its old one");
            }
            if (IsTempName(now.c_str()) && !atOldName)
                leftOnTemporaryNames.insert(now);
        }
        int reported = observation.outcome.notRenamed - observation.outcome.unreachable;
        int touchedCount = static_cast<int>(touched.size());
        if (reported < notAtNewName || reported > notAtNewName + otherLetters + touchedCount) {
            Breach("notRenamed " + std::to_string(observation.outcome.notRenamed) + " (" +
                   std::to_string(observation.outcome.unreachable) + " unreachable), but " +
                   std::to_string(notAtNewName) + " files are not under their new names" +
                   (touchedCount ? " and " + std::to_string(touchedCount) + " were taken by another program" : ""));
        }
    }

    // Nothing but the stop request went wrong, so only two taken names keep a file waiting.
    bool OnlyStopRequested() const
    {
        for (const FaultSpec& fault : scenario.faults) {
            if (fault.kind != FaultStopRequested)
                return false;
        }
        return true;
    }

    bool HoldsName(const std::string& name) const
    {
        for (const auto& item : observation.after) {
            if (CaseFolded(item.first) == CaseFolded(NameAsStored(name)))
                return true;
        }
        return false;
    }

    void CheckBound()
    {
        int n = observation.outcome.fileCount;
        int bound = n * (n + 1) + 2 * n + observation.outcome.unreachable + 4;
        if (observation.outcome.steps > bound)
            Breach("the run took " + std::to_string(observation.outcome.steps) + " steps for " + std::to_string(n) +
                   " files");
    }

    bool FaultFired(FaultKind kind) const
    {
        for (const FaultSpec& fault : scenario.faults) {
            if (fault.kind != kind)
                continue;
            if (kind == FaultLogNotCreated)
                return true;
            if (kind == FaultLogWritesStop && fault.nth <= observation.logWrites)
                return true;
        }
        return false;
    }

    void CheckLogState()
    {
        bool mustFail = observation.logCannotOpen || FaultFired(FaultLogNotCreated) || FaultFired(FaultLogWritesStop);
        if (mustFail && observation.outcome.logComplete)
            Breach("the outcome says the log is complete, but it could not be written whole");
        if (!mustFail && !observation.logMayFail && !observation.outcome.logComplete)
            Breach("the outcome says the log is incomplete, but nothing kept it from being written");
        if (!observation.outcome.logComplete)
            return;
        std::vector<StepLine> lines;
        if (!ParseLog(lines))
            return;
        if (static_cast<int>(lines.size()) != observation.outcome.steps) {
            Breach("the log holds " + std::to_string(lines.size()) + " step lines, the outcome counts " +
                   std::to_string(observation.outcome.steps));
        }
        Replay(lines);
        CheckTemporaryNamesReported(lines);
        CheckNotArrivedExplained(lines);
    }

    // A file that did not reach its new name has a step in the log that failed, or one that
    // put it back, following the file from name to name; in a run that was stopped, a file
    // may also have no step at all, its move never begun.
    void CheckNotArrivedExplained(const std::vector<StepLine>& lines)
    {
        for (const std::string& key : notArrived) {
            std::string name = key;
            bool explained = observation.outcome.stopped;
            // A file may come back to its own name in the middle of a run (a temporary name
            // of a user's is the next free one), and then be put back there: a line from that
            // name to itself, which only a file's first line may not be.
            bool first = true;
            for (const StepLine& line : lines) {
                if (line.from != name)
                    continue;
                if (first)
                    explained = false;
                if (line.failed)
                    explained = true;
                else
                    name = line.to;
                if (!line.failed && line.to == key && !first)
                    explained = true;
                first = false;
            }
            if (!explained) {
                Breach(Quoted(key) + " did not reach its new name and the log gives no reason" +
                       (obstacle.empty() ? "" : " (in the way: " + obstacle + ")"));
            }
        }
    }

    bool ParseLog(std::vector<StepLine>& lines)
    {
        if (!observation.logReadable) {
            Breach("the log is complete by the outcome but cannot be read");
            return false;
        }
        const std::string& text = observation.logText;
        std::string header = observation.typedFolder + "\r\n";
        if (text.compare(0, header.size(), header) != 0) {
            Breach("the log's header is not the folder as typed");
            return false;
        }
        size_t start = header.size();
        while (start < text.size()) {
            size_t end = text.find("\r\n", start);
            if (end == std::string::npos) {
                Breach("the log ends in a line without CR LF");
                return false;
            }
            std::string line = text.substr(start, end - start);
            start = end + 2;
            StepLine parsed;
            if (!ReadStepLine(line, parsed)) {
                Breach("log line without an arrow: " + Quoted(line));
                return false;
            }
            lines.push_back(parsed);
        }
        return true;
    }

    // The log tells the truth: its lines without a reason, played over the folder as it was,
    // with what another program did in between, give the folder as it is.
    void Replay(const std::vector<StepLine>& lines)
    {
        Tree state;
        for (const auto& item : observation.before) {
            if (IsTopLevel(item.first) && item.first != logFile)
                state[item.first] = item.second;
        }
        size_t nextEvent = 0;
        for (size_t i = 0; i <= lines.size(); ++i) {
            while (nextEvent < observation.events.size() &&
                   observation.events[nextEvent].linesBefore <= static_cast<int>(i))
                Apply(observation.events[nextEvent++], state);
            if (i == lines.size())
                break;
            const StepLine& line = lines[i];
            if (line.failed || line.from == line.to)
                continue;
            std::string where = "log line " + std::to_string(i + 1) + " (" + Quoted(line.from) + " -> " +
                                Quoted(line.to) + ")";
            auto from = state.find(line.from);
            if (from == state.end()) {
                Breach(where + " moves a name that is not there");
                continue;
            }
            for (const auto& item : state) {
                if (item.first != line.from && CaseFolded(item.first) == CaseFolded(NameAsStored(line.to))) {
                    Breach(where + " lands on a name that is taken");
                    break;
                }
            }
            Item moved = from->second;
            state.erase(from);
            std::string to = NameAsStored(line.to);
            state[to] = moved;
            // Wine keeps the stored letter case when a file is moved onto its own name in
            // other letters; Windows takes the new letters. Either is the same name there.
            if (CaseFolded(to) == CaseFolded(line.from))
                caseOnly.insert(to);
        }
        Tree now;
        for (const auto& item : observation.after) {
            if (IsTopLevel(item.first) && item.first != logFile)
                now[item.first] = item.second;
        }
        for (const std::string& name : caseOnly) {
            auto expected = state.find(name);
            if (expected == state.end() || now.count(name))
                continue;
            for (auto found = now.begin(); found != now.end(); ++found) {
                if (CaseFolded(found->first) == CaseFolded(name) && found->second.content == expected->second.content) {
                    Item item = expected->second;
                    state.erase(expected);
                    state[found->first] = item;
                    break;
                }
            }
        }
        std::string differences;
        int shown = 0;
        for (const auto& item : state) {
            auto found = now.find(item.first);
            if (found == now.end() || found->second.content != item.second.content) {
                if (shown++ < 4)
                    differences += " " + Quoted(item.first) + " (by the log: \"" + item.second.content + "\")";
            }
        }
        for (const auto& item : now) {
            if (!state.count(item.first) && shown++ < 8)
                differences += " " + Quoted(item.first) + " (not by the log: \"" + item.second.content + "\")";
        }
        if (shown > 0)
            Breach("replaying the log does not give the folder:" + differences);
    }

    static void Apply(const ExternalEvent& event, Tree& state)
    {
        if (event.kind == ExternalEvent::Created) {
            Item item = Item();
            item.content = event.content;
            state[event.key] = item;
        } else if (event.kind == ExternalEvent::Deleted) {
            state.erase(event.key);
        } else {
            Item item = state[event.key];
            state.erase(event.key);
            state[event.to] = item;
        }
    }

    // A file left under a temporary name is one the log says something went wrong with.
    void CheckTemporaryNamesReported(const std::vector<StepLine>& lines)
    {
        for (const std::string& name : leftOnTemporaryNames) {
            const StepLine* last = nullptr;
            for (const StepLine& line : lines) {
                if (line.from == name)
                    last = &line;
            }
            if (last == nullptr || !last->failed)
                Breach("a file was left under " + Quoted(name) + " and the log gives no reason");
        }
    }

    void CompareTrees(const Tree& before, const Tree& after, const std::string& what)
    {
        for (const auto& item : before) {
            auto found = after.find(item.first);
            if (found == after.end() || found->second.content != item.second.content ||
                found->second.isDirectory != item.second.isDirectory) {
                Breach(what + ": " + Quoted(item.first));
                return;
            }
        }
        for (const auto& item : after) {
            if (!before.count(item.first)) {
                Breach(what + ": " + Quoted(item.first) + " is new");
                return;
            }
        }
    }

    const Scenario& scenario;
    const Observation& observation;
    const std::string logFile;
    std::vector<std::string> breaches;
    std::set<std::string> leftOnTemporaryNames;
    // Files of the batch not under their new names after the run.
    std::vector<std::string> notArrived;
    std::string obstacle;
    std::set<std::string> caseOnly;
};

}  // namespace

std::vector<std::string> CheckRun(const Scenario& scenario, const Observation& observation)
{
    return Checker(scenario, observation).Run();
}
