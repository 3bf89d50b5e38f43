#include "engine/WildcardMatch.h"

#include "engine/AsciiFold.h"
#include <cstring>
#include <string>

// Greedy matching with one backtrack point for the last "*": linear in practice.
static bool Match(const char* name, const char* mask)
{
    const char* starMask = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*mask == '*') {
            starMask = ++mask;
            starName = name;
        } else if (*mask == '?' || (*mask && FoldAscii(static_cast<unsigned char>(*mask)) ==
                                                 FoldAscii(static_cast<unsigned char>(*name)))) {
            ++mask;
            ++name;
        } else if (starMask) {
            mask = starMask;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == '*')
        ++mask;
    return *mask == '\0';
}

bool MatchesMask(const char* name, const char* mask)
{
    if (Match(name, mask))
        return true;
    size_t length = std::strlen(mask);
    if (length >= 2 && mask[length - 2] == '.' && mask[length - 1] == '*')
        return Match(name, std::string(mask, length - 2).c_str());
    return false;
}
