#include "engine/RunPreview.h"

#include "engine/FileEntry.h"
#include "engine/Ordering.h"
#include "engine/RenameJob.h"
#include "engine/log/LogFormat.h"

#include <cstdio>
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

std::string RunPreview::StepLines(FileServices& fs) const
{
    std::string text;
    text.reserve(names.size() + rows.size() * 6);
    char line[kFormatBufferSize];
    for (int row = 0; row < RowCount(); ++row) {
        const int length = FormatStepLine(line, CurrentName(row), NewName(row), FailureNone, 0, fs);
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

void FormatOrderDate(int64_t localSeconds, int32_t nanoseconds, char (&text)[kOrderDateSize])
{
    // 0000-01-01 and 9999-12-31 23:59:59, counted from 1970-01-01.
    const int64_t first = -62167219200LL, last = 253402300799LL;
    int64_t seconds = localSeconds < first ? first : (localSeconds > last ? last : localSeconds);
    int64_t days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // The civil date of a day count, by eras of 400 years that begin on 1 March.
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    // The clamp above keeps every field to its width; the compiler cannot tell.
    char wide[64];
    int length = std::snprintf(wide, sizeof wide, "%04d/%02d/%02d %02d:%02d:%02d", year, month, day,
                               static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                               static_cast<int>(rest % 60));
    // A burst of photos taken within one second reads in its order only with the fraction.
    if (nanoseconds > 0 && nanoseconds < 1000000000 && localSeconds >= first && localSeconds <= last) {
        length += std::snprintf(wide + length, sizeof wide - static_cast<size_t>(length), ".%09d", nanoseconds);
        while (wide[length - 1] == '0')
            wide[--length] = '\0';
    }
    std::memcpy(text, wide, sizeof text - 1);
    text[sizeof text - 1] = '\0';
}
