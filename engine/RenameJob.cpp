#include "engine/RenameJob.h"

#include <cstring>

void RenameJob::SplitPattern(const char* pattern)
{
    CountedString copy(pattern);
    const char* text = copy.Text();
    const char* first = std::strchr(text, '?');
    const char* last = std::strrchr(text, '?');

    if (first == nullptr) {
        prefix.Assign(text);
        suffix.Assign("");
        return;
    }
    if (first == last && copy.Length() > 1) {
        suffix.Assign(first + 1);
        *const_cast<char*>(first) = '\0';
        prefix.Assign(text);
        return;
    }
    // "?" alone, or several of them: the number stands alone.
    suffix.Assign("");
    prefix.Assign(suffix);
}
