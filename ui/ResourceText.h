#ifndef QUILLOWBY_UI_RESOURCE_TEXT_H
#define QUILLOWBY_UI_RESOURCE_TEXT_H

#include <windows.h>

#include "core/CountedString.h"

#include <cstddef>

// A text of the program's string table in the ANSI code page (code page 932 bytes on a
// Japanese system); empty when the table has no such text.
CountedString ResourceText(UINT id);

// A text of the table with its "%s" and "%d" filled in from the arguments, however long they
// are: a folder or log path may run to thousands of characters.
CountedString FormatResourceText(UINT id, ...);

// One row of a table that gives each value of an enum its text.
template <typename Value>
struct TextOf
{
    Value value;
    UINT id;
};

// The text id the table gives value; fallback for a value it does not name.
template <typename Value, size_t Count>
UINT TextIdOf(const TextOf<Value> (&table)[Count], Value value, UINT fallback)
{
    for (const TextOf<Value>& row : table) {
        if (row.value == value)
            return row.id;
    }
    return fallback;
}

#endif
