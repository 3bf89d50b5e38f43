#include "engine/WildcardMatch.h"

#include <gtest/gtest.h>

TEST(WildcardMatch, FollowsTheWindowsRulesForLongNames)
{
    struct Case { const char* name; const char* mask; bool matches; } cases[] = {
        {"a.jpg", "*.*", true},     {"README", "*.*", true},      {".", "*.*", true},
        {"..", "*.*", true},        {".profile", "*.*", true},    {"x.tar.gz", "*.gz", true},
        {"A.JPG", "*.jpg", true},   {"a.jpeg", "*.jpg", false},   {"a.jpg", "?.jpg", true},
        {"ab.jpg", "?.jpg", false}, {"img001", "img*", true},     {"IMG001", "img*", true},
        {"abc", "a*c", true},       {"abcbc", "a*bc", true},      {"abcb", "a*bc", false},
        {"readme", "read*.*", true}, {"a.b", "*", true},          {"", "*", true},
        {"a", "", false},           {"~ren0001.tmp", "~ren????.tmp", true},
        {"a.txt", "*.", false},     {"\xE3\x81\x82.txt", "*.TXT", true},
        {"a.txt", "a.txt**", true}, {"abc", "*c**", true},        {"abd", "*c**", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.matches, MatchesMask(c.name, c.mask)) << c.name << " ~ " << c.mask;
}
