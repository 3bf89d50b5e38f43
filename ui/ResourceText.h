#ifndef QUILLOWBY_UI_RESOURCE_TEXT_H
#define QUILLOWBY_UI_RESOURCE_TEXT_H

#include <windows.h>

#include "core/CountedString.h"

// A text of the program's string table in the ANSI code page (code page 932 bytes on a
// Japanese system); empty when the table has no such text.
CountedString ResourceText(UINT id);

#endif
