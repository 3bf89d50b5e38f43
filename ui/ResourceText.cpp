#include "ui/ResourceText.h"

#include "ui/AppObjects.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

// Longer than any text of the table; LoadStringA cuts a longer one at a whole character.
const int kResourceTextSize = 512;

}  // namespace

CountedString ResourceText(UINT id)
{
    char text[kResourceTextSize];
    if (LoadStringA(appInstance, id, text, kResourceTextSize) <= 0)
        text[0] = '\0';
    return CountedString(text);
}

CountedString FormatResourceText(UINT id, ...)
{
    const CountedString format = ResourceText(id);
    va_list args;
    va_start(args, id);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format.Data(), measure);
    va_end(measure);
    std::vector<char> text(static_cast<size_t>(length < 0 ? 0 : length) + 1, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size(), format.Data(), args);
    va_end(args);
    return CountedString(text.data());
}
