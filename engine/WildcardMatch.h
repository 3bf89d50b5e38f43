#ifndef QUILLOWBY_ENGINE_WILDCARD_MATCH_H
#define QUILLOWBY_ENGINE_WILDCARD_MATCH_H

// Matches a name against a folder-search mask the way Windows does for long names: "*"
// takes any run of bytes, "?" one byte, ASCII letters match without regard to case, and
// a mask ending in ".*" also takes names that have no dot there ("*.*" takes every name).
bool MatchesMask(const char* name, const char* mask);

#endif
