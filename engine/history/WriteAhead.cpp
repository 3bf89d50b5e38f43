#include "engine/history/WriteAhead.h"

#include "core/CountedString.h"
#include "engine/Enumeration.h"
#include "engine/log/RenameLog.h"
#include "engine/platform/PathNames.h"
#include "engine/steps/TempNames.h"

#include <cstring>

namespace {

// Moves announced in one flush. A flush commits the file system's journal with every directory
// block the moves since the last one changed, at much the same cost however many moves changed
// them: few flushes for a large folder. After a power cut one listing of the folder tells what
// became of a batch, whatever its size.
const size_t kBatchMoves = 65536;

}  // namespace

WriteAhead::WriteAhead(FileServices& real, LogWriter& log, const char* folder)
    : ForwardingFileServices(real), log(log), folder(folder), names(real), next(0), expectedNames(real), tempNumber(0),
      tempNumberSet(false)
{
    CountedString base(folder);
    EnsureFinalSeparator(base, real);
    prefix = base.Data();
}

// The walk joins its folder, with one separator, to a name: the name is what follows.
const char* WriteAhead::NameIn(const char* path) const
{
    if (std::strncmp(path, prefix.c_str(), prefix.size()) == 0)
        return path + prefix.size();
    return FinalComponent(path, real);
}

void WriteAhead::Survey(NameHashes* listed)
{
    if (listed) {
        names.Swap(*listed);
        return;
    }
    ForEachName(real, CountedString(folder.c_str()), [this](const char* name) { names.Add(name); });
}

bool WriteAhead::Expect(const char* current, const char* wanted)
{
    if (expected.size() >= kBatchMoves)
        return false;
    if (std::strcmp(current, wanted) == 0)
        return true;
    if (!tempNumberSet) {
        tempNumber = nextTempNumber;
        tempNumberSet = true;
    }
    // Whether a name the batch moves a file from is free by then depends on that move: the
    // step is the first of the next batch.
    if (expectedNames.Holds(wanted))
        return false;
    char temp[kFormatBufferSize];
    const char* to = wanted;
    int32_t after = tempNumber;
    // A name that differs only in case is the file's own, which a step sends aside first.
    if (names.Holds(wanted)) {
        do
            FormatTempName(temp, after++, real);
        while (names.Holds(temp));
        to = temp;
    }
    if (expectedNames.Holds(current) || expectedNames.Holds(to))
        return false;
    expectedNames.Add(current);
    expectedNames.Add(to);
    expected.push_back(Expected{current, to});
    tempNumber = after;
    return true;
}

void WriteAhead::Close()
{
    if (batch.empty())
        return;
    for (size_t i = next; i < batch.size(); ++i)
        log.TakeBackAnnounced(batch[i].from.c_str(), batch[i].to.c_str());
    log.ConfirmMoves();
    batch.clear();
    next = 0;
}

void WriteAhead::Announce()
{
    Close();
    batch.swap(expected);
    expected.clear();
    expectedNames.Clear();
    tempNumberSet = false;
    for (const Expected& move : batch)
        log.Announce(move.from.c_str(), move.to.c_str());
    log.Sync();
}

void WriteAhead::Learn(const char* from, const char* to)
{
    names.Remove(from);
    names.Add(to);
}

MoveResult WriteAhead::Move(const char* from, const char* to, int& error)
{
    const char* fromName = NameIn(from);
    const char* toName = NameIn(to);
    const bool announced = next < batch.size() && batch[next].from == fromName && batch[next].to == toName;
    if (!announced) {
        // The move a step tries before it goes aside, to a name known to be taken: the disk
        // would refuse it, and says so without moving anything.
        if (names.Holds(toName) && !real.SameName(fromName, toName) && real.Exists(to)) {
            error = 0;
            return MoveTargetTaken;
        }
        // Not expected: it goes alone, announced before it is made.
        Close();
        expected.clear();
        expectedNames.Clear();
        tempNumberSet = false;
        expected.push_back(Expected{fromName, toName});
        Announce();
    }
    ++next;
    // A move the record could not take is never made: nothing could take it back.
    if (!log.DurableComplete()) {
        error = 0;
        return MoveFailed;
    }
    const MoveResult moved = real.Move(from, to, error);
    if (moved == MoveDone)
        Learn(fromName, toName);
    else
        log.TakeBackAnnounced(fromName, toName);
    return moved;
}
