#include "engine/run/RunPreview.h"

#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/log/LogFormat.h"
#include "engine/names/DateFields.h"
#include "engine/order/Ordering.h"

#include <cstring>

bool RunPreview::KeepsName(int row) const
{
    return std::strcmp(CurrentName(row), NewName(row)) == 0;
}

int RunPreview::LeftOutTotal() const
{
    int total = 0;
    for (int count : leftOut)
        total += count;
    return total;
}

std::string RunPreview::StepLines() const
{
    std::string text;
    text.reserve(names.size() + rows.size() * 6);
    char line[kStepLineSize];
    for (int row = 0; row < RowCount(); ++row) {
        const int length = FormatStepLine(line, CurrentName(row), NewName(row), FailureNone, 0);
        text.append(line, static_cast<size_t>(length));
    }
    return text;
}

void RunPreview::Clear()
{
    outcome = RunOutcome();
    names.clear();
    rows.clear();
    dates.clear();
    leftOutFiles.clear();
    keptCount = 0;
    for (int& count : leftOut)
        count = 0;
}

void RunPreview::AddRow(const char* current, const char* renamed)
{
    Row row;
    row.current = names.size();
    names.insert(names.end(), current, current + std::strlen(current) + 1);
    row.renamed = names.size();
    names.insert(names.end(), renamed, renamed + std::strlen(renamed) + 1);
    rows.push_back(row);
    if (std::strcmp(current, renamed) == 0)
        ++keptCount;
}

bool PreviewRun(const RenameJob& job, FileServices& fs, uint32_t shuffleState, RunPreview& preview,
                RunProgress* progress, const RunHistory* history)
{
    preview.Clear();
    FolderSearch search(fs);
    if (!StartBatchSearch(job, search, fs, preview.outcome, history))
        return false;

    EntryList list;
    CollectReport report;
    if (!PlanBatch(job, search, list, fs, shuffleState, report, preview.outcome, progress))
        return false;

    // The names' text is sized first: growing it row by row copies it again and again.
    size_t nameBytes = 0;
    for (int position = 0; position < list.Count(); ++position) {
        const FileEntry& entry = *list.At(position)->entry;
        nameBytes += std::strlen(entry.currentName) + std::strlen(entry.newName) + 2;
    }
    for (const LeftOutFile& file : report.leftOutFiles)
        nameBytes += file.name.size() + 1;
    preview.names.reserve(nameBytes);
    preview.rows.reserve(static_cast<size_t>(list.Count()));
    if (IsDateOrder(job.order))
        preview.dates.reserve(static_cast<size_t>(list.Count()));
    for (int position = 0; position < list.Count(); ++position) {
        const FileEntry& entry = *list.At(position)->entry;
        preview.AddRow(entry.currentName, entry.newName);
        if (IsDateOrder(job.order))
            preview.dates.push_back(RunPreview::DatedRow{entry.dateSeconds, entry.dateNanoseconds,
                                                         (entry.dateFlags & DateModifiedStoodIn) != 0});
    }
    ReleaseEntries(list, 0);
    for (int kind = 0; kind < LeftOutKindCount; ++kind)
        preview.leftOut[kind] = report.leftOut[kind];
    preview.leftOutFiles.reserve(report.leftOutFiles.size());
    for (const LeftOutFile& file : report.leftOutFiles) {
        preview.leftOutFiles.push_back(RunPreview::LeftOutRow{preview.names.size(), file.kind});
        preview.names.insert(preview.names.end(), file.name.c_str(), file.name.c_str() + file.name.size() + 1);
    }
    return true;
}
