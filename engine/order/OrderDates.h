#ifndef QUILLOWBY_ENGINE_ORDER_ORDER_DATES_H
#define QUILLOWBY_ENGINE_ORDER_ORDER_DATES_H

#include <cstdint>

class EntryList;
class FileServices;
class RunProgress;

// Gives every entry of the list the date a date order orders it by (FileEntry::dateSeconds
// and dateNanoseconds, as local clock time): its last-write time, or in a date-taken order
// the date its camera or phone stored in it, where one can be read. A file whose data is not
// on the disk is never opened, and neither is any file in the other orders. progress, when
// given, is told of every file; false when it asked to stop (the dates are then incomplete).
bool GatherOrderDates(EntryList& list, int32_t order, FileServices& fs, RunProgress* progress);

#endif
