#include "engine/platform/WildcardMatch.h"

#include <gtest/gtest.h>

TEST(WildcardMatch, FollowsTheWindowsRulesForLongNames)
{
    // Three cases a row, in columns.
    // clang-format off
    struct Case { const char* mask; const char* name; bool matches; } cases[] = {
        // "*" and "*.*" take every name, with or without a dot.
        {"*.*", "footxt", true},    {"*.*", "foo.txt", true},    {"*.*", ".foo", true},
        {"*.*", "foo.", true},      {"*.*", "..", true},         {"*", "ab", true},
        {"*", "", false},           {"", "a", false},            {".", "foo.txt", false},
        // "?" takes one character, or nothing before a dot or at the end.
        {"?.?", "a.b", true},       {"?.?", "a.", true},         {"?.?", "a", true},
        {"?.?", "ab", false},       {"?.?", "a.bc", false},      {"?.?", "ab.c", false},
        {"??.??", "a.b", true},     {"??.??", "a.bc", true},     {"??.??", "ab.ba", true},
        {"??.??", "ab.", true},     {"??b.??", "ab.ba", false},  {"a??.??", "ab.ba", true},
        {"??.??a", "ab.ba", false}, {"??.b??", "ab.ba", true},   {"??.b??", "ab.b", true},
        {"??.??.??", "ab.ba", true}, {"??.??.??", "abba", false}, {"ab.ba.??", "ab.ba", true},
        {"??.??.???", "ab.ba.cab", true}, {"a??.b??.c???", "ab.ba.cab", true},
        {"file?.txt", "file.txt", true}, {"file?.txt", "file1.txt", true}, {"file?.txt", "file12.txt", false},
        {"?.jpg", "a.jpg", true},   {"?.jpg", "ab.jpg", false},  {"a?c", "a.c", false},
        {"~ren????.tmp", "~ren0001.tmp", true},
        // A dot before "?" or "*" also takes the end of the name.
        {"a.*", "a", true},         {"a.*", "a.b", true},        {"a.*", "ab", false},
        {"read*.*", "readme", true},
        // "*." takes the names without a dot.
        {"*.", "a", true},          {"*.", "a.", true},          {"*.", "a. ", false},
        {"*.", "a.b", false},       {"*.", "a.txt", false},      {"foo*.", "foo.", true},
        {"foo*.", "foo", true},     {"foo*.", "foo. ", false},   {"foo*.", "food.txt", false},
        // Other dots and spaces that end the mask are dropped, as Windows drops them from a path.
        {"a.", "a", true},          {"a.", "abc", false},        {"a.", "a.b", false},
        {"a. .", "a", true},        {"?.", "b", true},           {"?.", "bc", false},
        // Otherwise an extension is matched whole: no "*.jpg" for c.jpg_old or d.jpgx.
        {"*.jpg", "c.jpg_old", false}, {"*.jpg", "d.jpgx", false}, {"*.jpg", "A.JPG", true},
        {"*.htm", "a.html", false}, {"*.jpe", "a.jpeg", false},  {"*.gz", "x.tar.gz", true},
        {"*.txt", "a.txt.bak", false},
        // Letters match without regard to case, and "*" takes any run of characters.
        {"log.txt", "LOG.TXT", true}, {"log.txt", "log.txt.bak", false}, {"log.txt", "mylog.txt", false},
        {"*foo", "nofoo", true},    {"*foo", "NoFOO", true},     {"img*", "IMG001", true},
        {"pre*fix", "pre_extra_fix", true}, {"pre*fix", "prefi", false}, {"file*txt", "file.txt", true},
        {"file*txt", "file", false}, {"a*bc", "abcbc", true},    {"a*bc", "abcb", false},
        {"*.TXT", "\xE3\x81\x82.txt", true},
        // Several stars at the end match as one does.
        {"a.txt**", "a.txt", true}, {"*c**", "abc", true},       {"*c**", "abd", false},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(c.matches, MatchesMask(c.name, c.mask)) << c.name << " ~ " << c.mask;
}
