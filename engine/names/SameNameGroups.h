#ifndef QUILLOWBY_ENGINE_NAMES_SAME_NAME_GROUPS_H
#define QUILLOWBY_ENGINE_NAMES_SAME_NAME_GROUPS_H

#include <cstdint>
#include <vector>

class EntryList;
class FileServices;

// Where an entry of a numbered list stands among the files that share its number.
struct NumberSlot
{
    // The same for every file that takes one number; counted from 0 in the list's order.
    int32_t group;
    // Where the part of the current name that the new name keeps begins: the extension, or
    // for a file named after another's whole name, the part behind that other file's stem.
    int32_t keepFrom;
    // The date the new name writes, as local clock time: the group's.
    int64_t dateSeconds;
};

// Every entry alone, its extension kept, its own date written: how a list is numbered
// without groups.
void SlotsOfSingleFiles(const EntryList& list, const FileServices& fs, std::vector<NumberSlot>& slots);

// Brings the files of one photo together in the ordered list: files whose names are equal
// without their extensions, as the file system tells names apart, and a file named after
// another's whole name ("IMG_0001.CR2.xmp" beside "IMG_0001.CR2"), which joins that file's
// group. A group stands where its first file stood; in a date order it stands by its earliest
// date taken (by its earliest date where no file of it has one), later dates first in the
// descending orders, ties as the files stood. Within a group the files go by the part of
// their names they keep. Dates must have been gathered for the date orders.
void GroupSameNames(EntryList& list, int32_t order, const FileServices& fs, std::vector<NumberSlot>& slots);

#endif
