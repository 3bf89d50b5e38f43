#include "tests/stress/RunCheck.h"

// Every file's content is in the folder exactly once, apart from what another program did.
void CheckContents(RunCheck& check)
{
    const Observation& observation = check.observation;
    std::multiset<std::string> expected;
    for (const auto& item : observation.before) {
        if (!item.second.isDirectory && item.first != check.logFile)
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
            check.Breach(Quoted(item.first) + " cannot be read after the run: something still holds it");
        if (!item.second.isDirectory && item.first != check.logFile)
            found.insert(item.second.content);
    }
    for (const std::string& content : expected) {
        size_t count = found.count(content);
        if (count != 1)
            check.Breach("\"" + content + "\" is in the folder " + std::to_string(count) + " times after the run");
    }
    for (const std::string& content : found) {
        if (!expected.count(content))
            check.Breach("\"" + content + "\" appeared in the folder during the run");
    }
}

// Sub-folders, their files, files the mask leaves out, names the code page cannot hold,
// the log: all where they were, as they were.
void CheckOutsideBatch(RunCheck& check)
{
    const Observation& observation = check.observation;
    std::set<std::string> batch;
    for (const Planned& planned : observation.expected.batch)
        batch.insert(planned.key);
    for (const auto& item : observation.before) {
        if (batch.count(item.first) || item.first == check.logFile)
            continue;
        auto after = observation.after.find(item.first);
        if (after == observation.after.end())
            check.Breach(Quoted(item.first) + ", outside the batch, is gone");
        else if (after->second.isDirectory != item.second.isDirectory || after->second.content != item.second.content)
            check.Breach(Quoted(item.first) + ", outside the batch, changed");
    }
}
