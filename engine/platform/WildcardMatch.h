#ifndef QUILLOWBY_ENGINE_PLATFORM_WILDCARD_MATCH_H
#define QUILLOWBY_ENGINE_PLATFORM_WILDCARD_MATCH_H

#include <string>

// Whether two characters are the same to the file system, letter case compared its way.
typedef bool (*SameCharacter)(char32_t a, char32_t b);

// Matches a name against a folder-search mask the way Windows matches long names. The mask
// is translated first as Windows translates it: "*" and "*.*" take every name; "?" takes one
// character, or nothing before a dot or at the end ("file?.txt" takes file.txt); a dot
// followed by "?" or "*" also takes the end of the name ("a.*" takes a); a mask ending in
// "*." takes names without a dot; other dots and spaces that end the mask are dropped ("a."
// takes a). An empty name or mask matches nothing.
bool MatchesMask(const std::u32string& name, const std::u32string& mask, SameCharacter same);

// The same for byte strings, each byte one character, the letters "A" to "Z" matching
// without regard to case.
bool MatchesMask(const char* name, const char* mask);

#endif
