#include "engine/RunPreview.h"

#include "engine/FileEntry.h"
#include "engine/RenameJob.h"

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
    for (int row = 0; row < RowCount(); ++row) {
        text += CurrentName(row);
        text += "\t->\t";
        text += NewName(row);
        text += "\r\n";
    }
    return text;
}

void RunPreview::Clear()
{
    outcome = RunOutcome();
    names.clear();
    rows.clear();
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

bool PreviewRun(const RenameJob& job, FileServices& fs, uint32_t shuffleState, RunPreview& preview)
{
    preview.Clear();
    FolderSearch search(fs);
    if (!StartBatchSearch(job, search, fs, preview.outcome))
        return false;

    EntryList list;
    CollectReport report;
    if (!PlanBatch(job, search, list, fs, shuffleState, report, preview.outcome))
        return false;

    preview.rows.reserve(static_cast<size_t>(list.Count()));
    for (int position = 0; position < list.Count(); ++position) {
        const FileEntry& entry = *list.At(position)->entry;
        preview.AddRow(entry.currentName, entry.newName);
    }
    ReleaseEntries(list, 0);
    for (int kind = 0; kind < LeftOutKindCount; ++kind)
        preview.leftOut[kind] = report.leftOut[kind];
    return true;
}
