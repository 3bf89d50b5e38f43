#include "tests/stress/Invariants.h"

#include "tests/stress/Scenario.h"
#include "tests/stress/ScenarioRun.h"

#include <map>
#include <set>

namespace {

struct LogLine
{
    std::string from;
    std::string to;
    bool failed;  // a reason follows the names: the step did not take place
};

bool IsTopLevel(const std::string& key)
{
    return key.find('/') == std::string::npos;
}

// "~ren", four or more digits, ".tmp": the form of the engine's temporary names.
bool IsTemporaryName(const std::string& name)
{
    if (name.size() < 12 || name.compare(0, 4, "~ren") != 0 || name.compare(name.size() - 4, 4, ".tmp") != 0)
        return false;
    for (size_t i = 4; i < name.size() - 4; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
    }
    return true;
}

std::string Quoted(const std::string& name)
{
    return "\"" + Printable(name) + "\"";
}

class Checker
{
public:
    // The log file's name in the folder is left out of the comparisons when the run wrote its
    // log there; a log that was never created leaves whatever held that name alone.
    Checker(const Scenario& s, const Observation& o) : s(s), o(o), logFile(o.logCreated ? o.logKey : std::string()) {}

    std::vector<std::string> Run()
    {
        if (o.runaway)
            Breach("the walk did not end: the run went past its bound of steps");
        if (!o.ran)
            CheckRefusedRun();
        else
            CheckFinishedRun();
        return breaches;
    }

private:
    void Breach(const std::string& text) { breaches.push_back(text); }

    void CheckRefusedRun()
    {
        if (o.expected.refusal == RefusalNone) {
            Breach("the run refused to start (refusal " + std::to_string(o.outcome.refusal) + ", " +
                   Quoted(o.outcome.refusedName) + ") though nothing should stop it");
        } else if (o.outcome.refusal != o.expected.refusal || o.outcome.refusedName != o.expected.refusedName) {
            Breach("refusal " + std::to_string(o.outcome.refusal) + " for " + Quoted(o.outcome.refusedName) +
                   ", expected " + std::to_string(o.expected.refusal) + " for " + Quoted(o.expected.refusedName));
        }
        CompareTrees(o.before, o.after, "a run that did not start changed the folder");
        if (!o.logPath.empty() && (o.logReadable != o.logExistedBefore || o.logText != o.logBefore))
            Breach("a run that did not start created or changed the log file");
        if (!o.events.empty())
            Breach("a run that did not start moved files");
    }

    void CheckFinishedRun()
    {
        if (o.expected.refusal != RefusalNone) {
            Breach("the run went through though it must refuse (refusal " + std::to_string(o.expected.refusal) +
                   " for " + Quoted(o.expected.refusedName) + ")");
        }
        CheckContents();
        CheckOutsideBatch();
        CheckBatch();
        CheckBound();
        CheckLogState();
    }

    // Every file's content is in the folder exactly once, apart from what another program did.
    void CheckContents()
    {
        std::multiset<std::string> expected;
        for (const auto& item : o.before) {
            if (!item.second.isDirectory && item.first != logFile)
                expected.insert(item.second.content);
        }
        for (const ExternalEvent& event : o.events) {
            if (event.kind == ExternalEvent::Created)
                expected.insert(event.content);
            else if (event.kind == ExternalEvent::Deleted && expected.count(event.content))
                expected.erase(expected.find(event.content));
        }
        std::multiset<std::string> found;
        for (const auto& item : o.after) {
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
        for (const Planned& planned : o.expected.batch)
            batch.insert(planned.key);
        for (const auto& item : o.before) {
            if (batch.count(item.first) || item.first == logFile)
                continue;
            auto after = o.after.find(item.first);
            if (after == o.after.end())
                Breach(Quoted(item.first) + ", outside the batch, is gone");
            else if (after->second.isDirectory != item.second.isDirectory ||
                     after->second.content != item.second.content)
                Breach(Quoted(item.first) + ", outside the batch, changed");
        }
    }

    void CheckBatch()
    {
        if (o.outcome.fileCount != static_cast<int>(o.expected.batch.size())) {
            Breach("fileCount " + std::to_string(o.outcome.fileCount) + ", the batch holds " +
                   std::to_string(o.expected.batch.size()));
        }
        if (o.outcome.unreachable != o.expected.unreachable) {
            Breach("unreachable " + std::to_string(o.outcome.unreachable) + ", expected " +
                   std::to_string(o.expected.unreachable));
        }

        std::map<std::string, std::string> location;  // content -> name after the run
        for (const auto& item : o.after) {
            if (!item.second.isDirectory && item.first != logFile)
                location[item.second.content] = item.first;
        }
        std::set<std::string> touched;  // contents another program deleted or renamed
        std::set<std::string> movedAway;  // names another program gave batch files
        for (const ExternalEvent& event : o.events) {
            if (event.kind != ExternalEvent::Created)
                touched.insert(event.content);
            if (event.kind == ExternalEvent::Renamed)
                movedAway.insert(event.to);
        }

        int notAtNewName = 0;
        int otherLetters = 0;
        for (const Planned& planned : o.expected.batch) {
            const std::string& content = o.before.at(planned.key).content;
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
            bool atOldName = CaseFolded(now) == CaseFolded(planned.key);
            if (IsTemporaryName(now) && !atOldName && o.outcome.stopped && OnlyStopRequested() &&
                (!HoldsName(planned.key) || !HoldsName(planned.newName))) {
                Breach("the run stopped and left " + Quoted(planned.key) + " under " + Quoted(now) +
                       " though its original or new name is free");
            }
            if (!atOldName && !IsTemporaryName(now) && !movedAway.count(now)) {
                Breach(Quoted(planned.key) + " ended as " + Quoted(now) + ", neither its new name " +
                       Quoted(planned.newName) + " nor its old one");
            }
            if (IsTemporaryName(now) && !atOldName)
                leftOnTemporaryNames.insert(now);
        }
        int reported = o.outcome.notRenamed - o.outcome.unreachable;
        int touchedCount = static_cast<int>(touched.size());
        if (reported < notAtNewName || reported > notAtNewName + otherLetters + touchedCount) {
            Breach("notRenamed " + std::to_string(o.outcome.notRenamed) + " (" + std::to_string(o.outcome.unreachable) +
                   " unreachable), but " + std::to_string(notAtNewName) + " files are not under their new names" +
                   (touchedCount ? " and " + std::to_string(touchedCount) + " were taken by another program" : ""));
        }
    }

    // Nothing but the stop request went wrong, so only two taken names keep a file waiting.
    bool OnlyStopRequested() const
    {
        for (const FaultSpec& fault : s.faults) {
            if (fault.kind != FaultStopRequested)
                return false;
        }
        return true;
    }

    bool HoldsName(const std::string& name) const
    {
        for (const auto& item : o.after) {
            if (CaseFolded(item.first) == CaseFolded(NameAsStored(name)))
                return true;
        }
        return false;
    }

    void CheckBound()
    {
        int n = o.outcome.fileCount;
        int bound = n * (n + 1) + 2 * n + o.outcome.unreachable + 4;
        if (o.outcome.steps > bound)
            Breach("the run took " + std::to_string(o.outcome.steps) + " steps for " + std::to_string(n) + " files");
    }

    bool FaultFired(FaultKind kind) const
    {
        for (const FaultSpec& fault : s.faults) {
            if (fault.kind != kind)
                continue;
            if (kind == FaultLogNotCreated)
                return true;
            if (kind == FaultLogWritesStop && fault.nth <= o.logWrites)
                return true;
        }
        return false;
    }

    void CheckLogState()
    {
        bool mustFail = o.logCannotOpen || FaultFired(FaultLogNotCreated) || FaultFired(FaultLogWritesStop);
        if (mustFail && o.outcome.logComplete)
            Breach("the outcome says the log is complete, but it could not be written whole");
        if (!mustFail && !o.logMayFail && !o.outcome.logComplete)
            Breach("the outcome says the log is incomplete, but nothing kept it from being written");
        if (!o.outcome.logComplete)
            return;
        std::vector<LogLine> lines;
        if (!ParseLog(lines))
            return;
        if (static_cast<int>(lines.size()) != o.outcome.steps) {
            Breach("the log holds " + std::to_string(lines.size()) + " step lines, the outcome counts " +
                   std::to_string(o.outcome.steps));
        }
        Replay(lines);
        CheckTemporaryNamesReported(lines);
    }

    bool ParseLog(std::vector<LogLine>& lines)
    {
        if (!o.logReadable) {
            Breach("the log is complete by the outcome but cannot be read");
            return false;
        }
        const std::string& text = o.logText;
        std::string header = o.typedFolder + "\r\n";
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
            size_t arrow = line.find("\t->\t");
            if (arrow == std::string::npos) {
                Breach("log line without an arrow: " + Quoted(line));
                return false;
            }
            LogLine parsed;
            parsed.from = line.substr(0, arrow);
            std::string rest = line.substr(arrow + 4);
            size_t tab = rest.find('\t');
            parsed.failed = tab != std::string::npos;
            parsed.to = parsed.failed ? rest.substr(0, tab) : rest;
            lines.push_back(parsed);
        }
        return true;
    }

    // The log tells the truth: its lines without a reason, played over the folder as it was,
    // with what another program did in between, give the folder as it is.
    void Replay(const std::vector<LogLine>& lines)
    {
        Tree state;
        for (const auto& item : o.before) {
            if (IsTopLevel(item.first) && item.first != logFile)
                state[item.first] = item.second;
        }
        size_t nextEvent = 0;
        for (size_t i = 0; i <= lines.size(); ++i) {
            while (nextEvent < o.events.size() && o.events[nextEvent].linesBefore <= static_cast<int>(i))
                Apply(o.events[nextEvent++], state);
            if (i == lines.size())
                break;
            const LogLine& line = lines[i];
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
        for (const auto& item : o.after) {
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
    void CheckTemporaryNamesReported(const std::vector<LogLine>& lines)
    {
        for (const std::string& name : leftOnTemporaryNames) {
            const LogLine* last = nullptr;
            for (const LogLine& line : lines) {
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

    const Scenario& s;
    const Observation& o;
    const std::string logFile;
    std::vector<std::string> breaches;
    std::set<std::string> leftOnTemporaryNames;
    std::set<std::string> caseOnly;
};

}  // namespace

std::vector<std::string> CheckRun(const Scenario& scenario, const Observation& observation)
{
    return Checker(scenario, observation).Run();
}
