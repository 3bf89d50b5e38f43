#include "engine/Enumeration.h"
#include "engine/FileEntry.h"
#include "engine/order/NaturalOrder.h"
#include "engine/order/Ordering.h"
#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Entries made from names, listed in the given order, with their holders.
class Listing
{
public:
    // Entry i is dated dates[i] where given (a date order reads nothing else).
    Listing(const std::vector<std::string>& names, const FileServices& fs, const std::vector<int64_t>& dates = {})
    {
        for (size_t i = 0; i < names.size(); ++i) {
            EntryHandle* handle = NewEntryHandle("f", fs);
            FoundFile found = FoundFile();
            std::strncpy(found.name, names[i].c_str(), sizeof found.name - 1);
            handle->entry->FillFromFindData(found);
            handle->entry->dateSeconds = i < dates.size() ? dates[i] : 0;
            list.AddLast(handle);
        }
    }
    ~Listing() { ReleaseEntries(list, 0); }

    std::vector<std::string> Walk() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < list.Count(); ++i)
            names.push_back(list.At(i)->entry->currentName);
        return names;
    }

    EntryList list;
};

std::vector<std::string> Sorted(const std::vector<std::string>& names, int32_t order, const FileServices& fs,
                                const std::vector<int64_t>& dates = {})
{
    Listing listing(names, fs, dates);
    EntryIndex index(listing.list);
    SortEntries(index, order, fs);
    return listing.Walk();
}

// The bidirectional bubble sort whose result the fast sort must give exactly.
std::vector<std::string> ShakerSorted(const std::vector<std::string>& names, int32_t order, const FileServices& fs,
                                      const std::vector<int64_t>& dates = {})
{
    Listing listing(names, fs, dates);
    EntryIndex index(listing.list);
    int n = index.Count();
    if (n > 1) {
        int lo = 0, hi = n - 1, last = n - 1;
        while (lo < hi) {
            for (int i = lo; i < hi; ++i) {
                if (CompareEntries(index.EntryAt(i), index.EntryAt(i + 1), order, fs) > 0) {
                    index.Exchange(i, i + 1);
                    last = i;
                }
            }
            hi = last;
            for (int i = hi; i > lo; --i) {
                if (CompareEntries(index.EntryAt(i - 1), index.EntryAt(i), order, fs) > 0) {
                    index.Exchange(i - 1, i);
                    last = i;
                }
            }
            lo = last;
        }
    }
    return listing.Walk();
}

}  // namespace

TEST(CompareNoCase, FoldsOnlyAsciiCapitals)
{
    struct Case
    {
        const char* a;
        const char* b;
        int32_t result;
    } cases[] = {
        {"abc", "ABC", 0}, {"abc", "abd", -1}, {"ab", "abc", -1},           {"abc", "ab", 1}, {"_a", "B", -1},
        {"[", "a", -1},    {"z", "\x80", -1},  {"\x83\x41", "\x83\x61", 0}, {"", "", 0},      {"Z", "a", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, CompareNoCase(c.a, c.b)) << c.a << " vs " << c.b;
}

TEST(SortEntries, EachOrderOfTheListing)
{
    const Names listed = {"b.txt", "C.doc", "a (2).txt", "a.TXT", "readme", "d.Doc"};
    const Names byName = {"a.TXT", "a (2).txt", "b.txt", "C.doc", "d.Doc", "readme"};
    const Names byNameDown(byName.rbegin(), byName.rend());
    struct Case
    {
        int32_t order;
        Names expected;
    } cases[] = {
        {ExtAscending, {"readme", "C.doc", "d.Doc", "a.TXT", "a (2).txt", "b.txt"}},
        {NameAscending, byName},
        {ExtDescending, {"b.txt", "a (2).txt", "a.TXT", "d.Doc", "C.doc", "readme"}},
        {NameDescending, byNameDown},
        {Unsorted, listed},
        {Random, listed},
        // The stem first, then the extension, as the name order reads them.
        {NaturalAscending, byName},
        {NaturalDescending, byNameDown},
        // Equal dates: in natural order, the whole of it reversed for the newest first.
        {TakenAscending, byName},
        {TakenDescending, byNameDown},
        {ModifiedAscending, byName},
        {ModifiedDescending, byNameDown},
        {17, listed},
    };
    FileServices& fs = PlatformFileServices();
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Sorted(listed, c.order, fs)) << "order " << c.order;
}

TEST(CompareNatural, RunsOfDigitsByTheirValue)
{
    FaultyFileServices cp932(PlatformFileServices());
    cp932.UseCp932LeadBytes();
    // Full-width digits are 82 4F (0) to 82 58 (9).
    struct Case
    {
        const char* a;
        const char* b;
        int32_t result;
    } cases[] = {
        {"file2.txt", "file10.txt", -1},
        {"IMG_9", "IMG_10", -1},
        {"x9.jpg", "x10.jpg", -1},
        {"a01", "a1", 0},
        {"a001b", "a1c", -1},
        {"a0", "a", 1},
        {"a00", "a0", 0},
        {"File2", "file10", -1},
        {"FILE10", "file9", 1},
        {"\x82\x51", "10", -1},
        {"x\x82\x50\x82\x4F", "x9", 1},
        {"x\x82\x4F\x82\x50.jpg", "x1.jpg", 0},
        {"x\x82\x58", "x\x82\x50\x82\x4F", -1},
        {"a1\x82\x52", "a12", 1},
        {"a99999999999999999999", "a100000000000000000000", -1},
        {"a18446744073709551617", "a18446744073709551616", 1},
        {"a0000000000000000000000000005", "a6", -1},
        {"a1", "a_", -1},
        {"a1", "a-", 1},
        {"a", "a1", -1},
        // A double-byte character counts whole: its second byte is no letter to fold.
        {"\x83\x41", "\x83\x61", -1},
        {"\x83\x41", "A", 1},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, CompareNatural(c.a, c.b, cp932)) << c.a << " vs " << c.b;
        EXPECT_EQ(-c.result, CompareNatural(c.b, c.a, cp932)) << c.b << " vs " << c.a;
    }
}

TEST(SortEntries, NamesEqualButForZerosOrCaseFallToTheNameOrder)
{
    FaultyFileServices cp932(PlatformFileServices());
    cp932.UseCp932LeadBytes();
    const Names listed = {"b1.txt", "B01.txt", "b001.TXT", "B1.txt", "b\x82\x50.txt"};
    // By the name order b001 < B01 < b1 = B1 (listing order) < b and a full-width 1.
    const Names ascending = {"b001.TXT", "B01.txt", "b1.txt", "B1.txt", "b\x82\x50.txt"};
    EXPECT_EQ(ascending, Sorted(listed, NaturalAscending, cp932));
    EXPECT_EQ((Names{"b\x82\x50.txt", "b1.txt", "B1.txt", "B01.txt", "b001.TXT"}),
              Sorted(listed, NaturalDescending, cp932));
    EXPECT_EQ((Names{"b\x82\x50.txt", "b1.txt", "B1.txt", "B01.txt", "b001.TXT"}),
              Sorted(listed, ModifiedDescending, cp932, {7, 7, 7, 7, 7}));
    EXPECT_EQ((Names{"b1.txt", "B1.txt", "B01.txt", "b001.TXT", "b\x82\x50.txt"}),
              Sorted(listed, TakenDescending, cp932, {9, 8, 8, 9, 5}));
}

TEST(SortEntries, EqualNamesKeepTheirListingOrderInEveryDirection)
{
    FaultyFileServices cp932(PlatformFileServices());
    cp932.UseCp932LeadBytes();
    // ア (83 41) and ヂ (83 61) differ only by 0x20 in their second byte.
    const Names listed = {"\x83\x41.txt", "\x83\x61.txt", "A.TXT", "a.txt"};
    for (int32_t order : {ExtAscending, NameAscending, ExtDescending, NameDescending}) {
        Names sorted = Sorted(listed, order, cp932);
        EXPECT_EQ(sorted, ShakerSorted(listed, order, cp932)) << order;
        bool descending = order == ExtDescending || order == NameDescending;
        Names expected = descending ? Names{"\x83\x41.txt", "\x83\x61.txt", "A.TXT", "a.txt"}
                                    : Names{"A.TXT", "a.txt", "\x83\x41.txt", "\x83\x61.txt"};
        EXPECT_EQ(expected, sorted) << order;
    }
}

TEST(SortEntries, SeveralDotsAndUnderscores)
{
    FileServices& fs = PlatformFileServices();
    EXPECT_EQ((Names{"_a.txt", "B.txt"}), Sorted({"B.txt", "_a.txt"}, NameAscending, fs));
    // x.tar.gz has the stem x.tar and the extension .gz.
    EXPECT_EQ((Names{"x.tar.gz", "x.zip"}), Sorted({"x.zip", "x.tar.gz"}, ExtAscending, fs));
    EXPECT_EQ((Names{"x.zip", "x.tar.gz"}), Sorted({"x.zip", "x.tar.gz"}, NameAscending, fs));
}

TEST(SortEntries, GivesExactlyTheBubbleSortsOrderOnRandomListings)
{
    FaultyFileServices cp932(PlatformFileServices());
    cp932.UseCp932LeadBytes();
    std::mt19937 random(12345);
    const char alphabet[] = {'a',    'A', 'b', 'B', '.', '_',    '[',    '0',    '\x83', '\x41',
                             '\x61', '~', 'z', '1', '9', '\x82', '\x4F', '\x58', '-'};
    for (int round = 0; round < 300; ++round) {
        Names names(random() % 40);
        std::vector<int64_t> dates;
        for (std::string& name : names) {
            size_t length = 1 + random() % 7;
            for (size_t i = 0; i < length; ++i)
                name += alphabet[random() % sizeof alphabet];
            dates.push_back(static_cast<int64_t>(random() % 3));
        }
        for (int32_t order = ExtAscending; order <= NaturalDescending; ++order)
            ASSERT_EQ(ShakerSorted(names, order, cp932, dates), Sorted(names, order, cp932, dates))
                << "round " << round << " order " << order;
    }
}

TEST(SortEntries, EmptyAndSingleListsStay)
{
    FileServices& fs = PlatformFileServices();
    EXPECT_EQ(Names{}, Sorted({}, ExtAscending, fs));
    EXPECT_EQ(Names{"a"}, Sorted({"a"}, NameDescending, fs));
}

TEST(NextRandom, StartsTheKnownSequenceFromOne)
{
    uint32_t state = 1;
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int32_t value : expected)
        EXPECT_EQ(value, NextRandom(state));
}

TEST(ShuffleEntries, FirstRunsAfterStart)
{
    FileServices& fs = PlatformFileServices();
    struct Case
    {
        Names listed;
        Names expected;
    } cases[] = {
        {{"E0", "E1", "E2"}, {"E2", "E1", "E0"}},
        {{"E0", "E1"}, {"E1", "E0"}},
        {{"E0"}, {"E0"}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        uint32_t state = 1;
        Listing listing(c.listed, fs);
        EntryIndex index(listing.list);
        ShuffleEntries(index, state);
        EXPECT_EQ(c.expected, listing.Walk());
        uint32_t drawn = 1;
        for (size_t i = 0; i < c.listed.size(); ++i)
            NextRandom(drawn);
        EXPECT_EQ(drawn, state) << "one number per slot";
    }
}

TEST(ShuffleEntries, ASecondRunContinuesTheSequence)
{
    FileServices& fs = PlatformFileServices();
    uint32_t state = 1;
    Listing first({"E0", "E1", "E2"}, fs);
    EntryIndex firstIndex(first.list);
    ShuffleEntries(firstIndex, state);
    Listing second({"E0", "E1", "E2"}, fs);
    EntryIndex secondIndex(second.list);
    ShuffleEntries(secondIndex, state);
    // Draws 26500, 19169, 15724: j = 1, 2, 1.
    EXPECT_EQ((Names{"E1", "E0", "E2"}), second.Walk());
}

TEST(EntryIndex, ExchangingHoldersReordersTheWalk)
{
    FileServices& fs = PlatformFileServices();
    Listing listing({"first", "second", "third"}, fs);
    EntryIndex index(listing.list);
    index.Exchange(0, 2);
    EXPECT_EQ((Names{"third", "second", "first"}), listing.Walk());
    EXPECT_EQ(index.Slot(0), listing.list.At(0));
}

TEST(EntryList, TheSameHolderMayStandTwice)
{
    FileServices& fs = PlatformFileServices();
    EntryList list;
    EntryHandle* handle = NewEntryHandle("f", fs);
    list.AddLast(handle);
    list.AddLast(handle);
    EXPECT_EQ(2, list.Count());
    EXPECT_EQ(list.At(0), list.At(1));
    list.Clear();
    EXPECT_EQ(0, list.Count());
    ReleaseEntryHandle(handle);
}
