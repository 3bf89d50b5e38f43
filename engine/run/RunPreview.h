#ifndef QUILLOWBY_ENGINE_RUN_RUN_PREVIEW_H
#define QUILLOWBY_ENGINE_RUN_RUN_PREVIEW_H

#include "engine/Enumeration.h"
#include "engine/run/RunRename.h"

#include <cstdint>
#include <string>
#include <vector>

class RenameJob;
class RunHistory;

// What the next run of a job would do: its batch in numbering order with every file's
// current and new name, what it would leave out, or why it would refuse to start. The names
// lie side by side in one buffer: a preview left open as long as the user likes holds a few
// megabytes for a hundred thousand files, not the run's entries of over a kilobyte each.
class RunPreview
{
public:
    RunPreview() : keptCount(0), leftOut() {}

    int RowCount() const { return static_cast<int>(rows.size()); }
    const char* CurrentName(int row) const { return &names[rows[static_cast<size_t>(row)].current]; }
    const char* NewName(int row) const { return &names[rows[static_cast<size_t>(row)].renamed]; }
    // The new name is the current one byte for byte: the run will not move the file.
    bool KeepsName(int row) const;
    int KeptCount() const { return keptCount; }
    int LeftOut(LeftOutKind kind) const { return leftOut[kind]; }
    int LeftOutTotal() const;
    // Every file left out, in the listing's order (index from 0 to LeftOutTotal() - 1), and why.
    const char* LeftOutName(int index) const { return &names[leftOutFiles[static_cast<size_t>(index)].name]; }
    LeftOutKind LeftOutKindOf(int index) const { return leftOutFiles[static_cast<size_t>(index)].kind; }
    // Every row as the line the log would write for its step.
    std::string StepLines() const;

    // In a date order every row has the date it was ordered by, as local clock time (seconds
    // from 1970-01-01 as if that clock were UTC, and the fraction of the second), and tells
    // whether the file's last-write time stood in for a date taken it did not have.
    bool HasDates() const { return !dates.empty(); }
    int64_t RowDate(int row) const { return dates[static_cast<size_t>(row)].seconds; }
    int32_t RowDateNanoseconds(int row) const { return dates[static_cast<size_t>(row)].nanoseconds; }
    bool RowDateIsModified(int row) const { return dates[static_cast<size_t>(row)].modified; }

    // Why the run would refuse to start, and which file stops it.
    RunOutcome outcome;

private:
    friend bool PreviewRun(const RenameJob& job, FileServices& fs, uint32_t shuffleState, RunPreview& preview,
                           RunProgress* progress, const RunHistory* history);

    struct Row
    {
        size_t current;
        size_t renamed;
    };

    struct DatedRow
    {
        int64_t seconds;
        int32_t nanoseconds;
        bool modified;
    };

    struct LeftOutRow
    {
        size_t name;
        LeftOutKind kind;
    };

    void Clear();
    void AddRow(const char* current, const char* renamed);

    std::vector<char> names;
    std::vector<Row> rows;
    // One per row in a date order, none otherwise.
    std::vector<DatedRow> dates;
    std::vector<LeftOutRow> leftOutFiles;
    int keptCount;
    int leftOut[LeftOutKindCount];
};

// Takes the run's own first steps over the folder as it is now: the same listing, exclusions,
// order, numbers and refusals. Moves, creates and writes nothing. The random order draws from
// a copy of shuffleState, so that the next run, given the same state, takes the same order.
// False when the run would refuse to start (preview.outcome says why, and there are no rows).
// progress, when given, is told of every date gathered in a date order and may stop the
// preview there (RefusalStopped). history, when given, refuses as the run would over a run or
// undo that did not finish.
bool PreviewRun(const RenameJob& job, FileServices& fs, uint32_t shuffleState, RunPreview& preview,
                RunProgress* progress = nullptr, const RunHistory* history = nullptr);

#endif
