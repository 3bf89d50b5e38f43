#include "ui/ResourceText.h"

#include "ui/AppObjects.h"

namespace {

// Longer than any text of the table; LoadStringA cuts a longer one at a whole character.
const int kResourceTextSize = 512;

} // namespace

CountedString ResourceText(UINT id)
{
    char text[kResourceTextSize];
    if (LoadStringA(appInstance, id, text, kResourceTextSize) <= 0)
        text[0] = '\0';
    return CountedString(text);
}
