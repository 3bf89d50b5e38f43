#include "tests/stress/RunCheck.h"

#include "tests/stress/StressFolder.h"

namespace {

void Apply(const ExternalEvent& event, Tree& state)
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

// The top level of a tree without the log file: what the log's lines move names in.
Tree MovedNames(const RunCheck& check, const Tree& tree)
{
    Tree names;
    for (const auto& item : tree) {
        if (IsTopLevel(item.first) && item.first != check.logFile)
            names[item.first] = item.second;
    }
    return names;
}

}  // namespace

// The log tells the truth: its lines without a reason, played over the folder as it was,
// with what another program did in between, give the folder as it is.
void CheckReplay(RunCheck& check, const std::vector<StepLine>& lines)
{
    const Observation& observation = check.observation;
    Tree state = MovedNames(check, observation.before);
    std::set<std::string> caseOnly;
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
        std::string where =
            "log line " + std::to_string(i + 1) + " (" + Quoted(line.from) + " -> " + Quoted(line.to) + ")";
        auto from = state.find(line.from);
        if (from == state.end()) {
            check.Breach(where + " moves a name that is not there");
            continue;
        }
        for (const auto& item : state) {
            if (item.first != line.from && CaseFolded(item.first) == CaseFolded(NameAsStored(line.to))) {
                check.Breach(where + " lands on a name that is taken");
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
    Tree now = MovedNames(check, observation.after);
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
        check.Breach("replaying the log does not give the folder:" + differences);
}
