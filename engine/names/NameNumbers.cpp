#include "engine/names/NameNumbers.h"

#include "engine/FileEntry.h"
#include "engine/RenameJob.h"
#include "engine/names/DateFields.h"
#include "engine/platform/NameParts.h"

NameNumbers::NameNumbers(const RenameJob& job, const std::vector<NumberSlot>* slots, FileServices& fs)
    : job(job), slots(slots), fs(fs), writesDate(JobWritesDate(job, fs)), keepFrom(0), lastGroup(-1), lastOffset(-1),
      lastDate(0), count(nullptr)
{
}

NameFault NameNumbers::PatternFault() const
{
    std::string text;
    ExpandDateFields(job.prefix.Text(), 0, fs, text);
    NameFault fault = PatternTextFault(text.c_str(), fs);
    if (fault != NameFine)
        return fault;
    text.clear();
    ExpandDateFields(job.suffix.Text(), 0, fs, text);
    return PatternTextFault(text.c_str(), fs);
}

int64_t NameNumbers::Offset(int position, const FileEntry& entry)
{
    const NumberSlot* slot = slots ? &(*slots)[static_cast<size_t>(position)] : nullptr;
    if (!writesDate && slot == nullptr)
        return position;
    if (slot) {
        keepFrom = slot->keepFrom;
    } else {
        int stemStart = 0;
        LocateNameParts(entry.currentName, fs, stemStart, keepFrom);
    }
    if (slot && slot->group == lastGroup)
        return lastOffset;
    lastGroup = slot ? slot->group : -1;
    if (!writesDate)
        return ++lastOffset;
    // In a date order the files of one date, or one day, come one after another: their texts
    // are written, and their count looked up, once.
    const int64_t date = slot ? slot->dateSeconds : entry.dateSeconds;
    if (count == nullptr || date != lastDate) {
        prefix.clear();
        ExpandDateFields(job.prefix.Text(), date, fs, prefix);
        suffix.clear();
        ExpandDateFields(job.suffix.Text(), date, fs, suffix);
        // "<" stands in no text the fields give, so it parts the two unmistakably.
        nextKey.assign(prefix);
        nextKey += '<';
        nextKey += suffix;
        if (count == nullptr || nextKey != key) {
            key.swap(nextKey);
            count = &counted[key];
        }
        lastDate = date;
    }
    lastOffset = (*count)++;
    return lastOffset;
}

bool NameNumbers::Form(FileEntry& entry, int32_t number)
{
    if (!writesDate && slots == nullptr)
        return entry.FormNewName(job, number, fs);
    const char* before = writesDate ? prefix.c_str() : job.prefix.Text();
    const char* after = writesDate ? suffix.c_str() : job.suffix.Text();
    return entry.FormNewName(before, after, job, number, keepFrom, fs);
}
