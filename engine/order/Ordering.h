#ifndef QUILLOWBY_ENGINE_ORDER_ORDERING_H
#define QUILLOWBY_ENGINE_ORDER_ORDERING_H

#include <cstdint>

class EntryIndex;
class FileEntry;
class FileServices;

enum SortOrder
{
    ExtAscending = 0,
    NameAscending = 1,
    ExtDescending = 2,
    NameDescending = 3,
    Unsorted = 4,
    Random = 5,
    // The date the camera or phone stored in the file, else its last-write time.
    TakenAscending = 6,
    TakenDescending = 7,
    // The last-write time.
    ModifiedAscending = 8,
    ModifiedDescending = 9,
    // The name with every run of digits taken by its value: file2 before file10.
    NaturalAscending = 10,
    NaturalDescending = 11
};

// What an order sorts by.
enum OrderFamily
{
    FamilyNone,
    // Extension then stem, or stem then extension.
    FamilyName,
    FamilyNatural,
    FamilyDate
};

struct OrderKind
{
    OrderFamily family;
    bool descending;
    // Of the name family: by extension first.
    bool byExtension;
    // Of the date family: the date taken (else the last-write time).
    bool taken;
};

// The one place that reads an order's number.
OrderKind KindOf(int32_t order);

inline bool IsDateOrder(int32_t order)
{
    return KindOf(order).family == FamilyDate;
}

inline bool IsTakenOrder(int32_t order)
{
    return KindOf(order).taken;
}

// Byte by byte, folding only "A".."Z" to lower case; -1, 0 or +1. No locale, no code page:
// the second byte of a double-byte character is folded like any other byte.
int32_t CompareNoCase(const char* a, const char* b);

// By extension then stem (or stem then extension), reversed for the descending orders. In
// natural order by CompareNatural of the stem then of the extension, names it finds equal by
// stem then extension. In a date order by the entries' dates (see GatherOrderDates) and their
// fractions, equal dates in natural order. Each descending order is its ascending order
// reversed whole, ties included. 0 for any order that does not sort.
int32_t CompareEntries(const FileEntry& a, const FileEntry& b, int32_t order, const FileServices& fs);

// The stable order of the current listing by CompareEntries: entries that compare equal
// never pass each other, in the descending orders too.
void SortEntries(EntryIndex& index, int32_t order, const FileServices& fs);

// Exchanges slot i with a slot drawn from the whole range, for every slot in turn.
void ShuffleEntries(EntryIndex& index, uint32_t& state);

// 0..32767 from a linear congruential generator.
int32_t NextRandom(uint32_t& state);

// The generator's state for the whole process; it starts at 1 at every program start.
extern uint32_t randomState;

#endif
