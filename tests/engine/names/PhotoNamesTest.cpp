#include "engine/order/Ordering.h"
#include "engine/run/RunPreview.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TakenHeads.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The date fields' words in code page 932 bytes: year, month, day, hour, minute, second, date,
// time of day.
const std::string Y = "<\x94\x4e>", Mo = "<\x8c\x8e>", D = "<\x93\xfa>", H = "<\x8e\x9e>", Mi = "<\x95\xaa>",
                  S = "<\x95\x62>", Date = "<\x93\xfa\x95\x74>", Time = "<\x8e\x9e\x8d\x8f>";

// Noon UTC of 1 to 4 May 2019: the same day on the local clock of nearly every zone.
const int64_t kMay1 = 1556712000, kDay = 86400;

// Photos taken on 1 and 2 May, written on other days, and a text without a date taken.
void AddPhotos(RunFixture& run)
{
    struct File
    {
        const char* name;
        const char* taken;
        int64_t written;
    } files[] = {
        {"b.jpg", "2019:05:01 10:00:00", kMay1 + 2 * kDay},
        {"d.jpg", "2019:05:01 23:59:59", kMay1},
        {"a.jpg", "2019:05:02 08:30:15", kMay1 + kDay},
        {"c.txt", nullptr, kMay1 + 3 * kDay},
    };
    for (const File& file : files) {
        run.folder.Write(file.name, file.taken ? MakeTakenHead(HeadJpeg, Tags(file.taken), 0) : "no date");
        run.folder.SetModifiedTime(file.name, file.written, 0);
    }
}

Names PreviewRows(RunFixture& run, RunPreview& preview)
{
    PreviewRun(run.job, run.fs, randomState, preview);
    Names rows;
    for (int row = 0; row < preview.RowCount(); ++row)
        rows.push_back(Line(preview.CurrentName(row), preview.NewName(row)));
    return rows;
}

TEST(PhotoNames, DateFieldsInEveryOrderNumberEachDateFromTheStart)
{
    const char* a0502 = "20190502_001.jpg";
    struct Case
    {
        int32_t order;
        std::string pattern;
        const char* mask;
        Names rows;
    } cases[] = {
        {TakenAscending,
         Date + "_?",
         "*.*",
         {Line("b.jpg", "20190501_001.jpg"), Line("d.jpg", "20190501_002.jpg"), Line("a.jpg", a0502),
          Line("c.txt", "20190504_001.txt")}},
        {TakenDescending,
         Date + "_?",
         "*.*",
         {Line("c.txt", "20190504_001.txt"), Line("a.jpg", a0502), Line("d.jpg", "20190501_001.jpg"),
          Line("b.jpg", "20190501_002.jpg")}},
        {ModifiedAscending,
         Date + "_?",
         "*.*",
         {Line("d.jpg", "20190501_001.jpg"), Line("a.jpg", a0502), Line("b.jpg", "20190503_001.jpg"),
          Line("c.txt", "20190504_001.txt")}},
        {ModifiedDescending,
         "x" + Date + "?",
         "*.jpg",
         {Line("b.jpg", "x20190503001.jpg"), Line("a.jpg", "x20190502001.jpg"), Line("d.jpg", "x20190501001.jpg")}},
        // The other orders write the date the date-taken orders read.
        {NameAscending,
         Date + "_?",
         "*.*",
         {Line("a.jpg", a0502), Line("b.jpg", "20190501_001.jpg"), Line("c.txt", "20190504_001.txt"),
          Line("d.jpg", "20190501_002.jpg")}},
        {NameDescending,
         "?" + Y + Mo,
         "*.jpg",
         {Line("d.jpg", "001201905.jpg"), Line("b.jpg", "002201905.jpg"), Line("a.jpg", "003201905.jpg")}},
        {ExtDescending,
         Date + "_?",
         "*.*",
         {Line("c.txt", "20190504_001.txt"), Line("d.jpg", "20190501_001.jpg"), Line("b.jpg", "20190501_002.jpg"),
          Line("a.jpg", a0502)}},
        {NaturalAscending,
         Y + "-" + Mo + "-" + D + " " + H + "." + Mi + "." + S + " ?",
         "*.jpg",
         {Line("a.jpg", "2019-05-02 08.30.15 001.jpg"), Line("b.jpg", "2019-05-01 10.00.00 001.jpg"),
          Line("d.jpg", "2019-05-01 23.59.59 001.jpg")}},
        {Unsorted,
         Time + "?" + Date,
         "*.jpg",
         {Line("a.jpg", "08301500120190502.jpg"), Line("b.jpg", "10000000120190501.jpg"),
          Line("d.jpg", "23595900120190501.jpg")}},
        {Random, Date + "<x>?", "*.*", {}},
        {NameAscending, "?<" + std::string("\x93\xfa\x95\x74 >"), "*.*", {}},
        {NaturalDescending, "<>" + Date + "?", "*.*", {}},
    };
    const char* refused[] = {"<x>", "<\x93\xfa\x95\x74 >", "<>"};
    int refusals = 0;
    for (const Case& c : cases) {
        RunFixture run(c.order);
        run.fs.UseCp932LeadBytes();
        AddPhotos(run);
        run.job.startNumber = 1;
        run.job.mask = c.mask;
        run.job.SplitPattern(c.pattern.c_str());
        RunPreview preview;
        EXPECT_EQ(c.rows, PreviewRows(run, preview)) << c.pattern;
        EXPECT_EQ(!c.rows.empty(), run.Run()) << c.pattern;
        if (c.rows.empty()) {
            EXPECT_EQ(RefusalUnknownField, run.outcome.refusal) << c.pattern;
            EXPECT_STREQ(refused[refusals], preview.outcome.refusedName);
            EXPECT_STREQ(refused[refusals++], run.outcome.refusedName);
            EXPECT_EQ(0, run.fs.Calls(CallMove));
        } else {
            EXPECT_EQ(c.rows, run.LogLines()) << c.pattern;
        }
    }
}

// A camera's RAW, JPEG and sidecar; a phone's photo, its video and its edits; a photo alone.
// The sidecar was written first of all, the photo alone next.
void AddGroups(RunFixture& run)
{
    struct File
    {
        const char* name;
        const char* taken;
        int64_t written;
    } files[] = {
        {"IMG_0001.CR2", "2019:05:01 10:00:00", kMay1 + kDay},
        {"IMG_0001.JPG", "2019:05:01 10:00:00", kMay1 + kDay},
        {"IMG_0001.CR2.xmp", nullptr, kMay1 - 5 * kDay},
        {"IMG_0002.HEIC", "2019:05:01 09:00:00", kMay1 + 2 * kDay},
        {"IMG_0002.MOV", nullptr, kMay1 + 2 * kDay},
        {"IMG_0002.AAE", nullptr, kMay1 + 3 * kDay},
        {"alone.png", "2019:05:03 12:00:00", kMay1},
    };
    for (const File& file : files) {
        run.folder.Write(file.name, file.taken ? MakeTakenHead(HeadJpeg, Tags(file.taken), 0) : "no date");
        run.folder.SetModifiedTime(file.name, file.written, 0);
    }
}

TEST(PhotoNames, FilesOfOnePhotoTakeOneNumberInEveryOrder)
{
    // Each group's files, by their extensions; c is the camera's group without its JPEG.
    const struct
    {
        char group;
        Names files;
    } members[] = {
        {'C', {"IMG_0001.CR2", "IMG_0001.CR2.xmp", "IMG_0001.JPG"}},
        {'c', {"IMG_0001.CR2", "IMG_0001.CR2.xmp"}},
        {'H', {"IMG_0002.AAE", "IMG_0002.HEIC", "IMG_0002.MOV"}},
        {'a', {"alone.png"}},
    };
    typedef std::vector<std::pair<char, std::string>> Stems;
    struct Case
    {
        int32_t order;
        std::string pattern;
        const char* mask;
        Stems groups;
    } cases[] = {
        {NameAscending, "?", "*.*", {{'a', "001"}, {'C', "002"}, {'H', "003"}}},
        {NameDescending, "?", "*.*", {{'H', "001"}, {'C', "002"}, {'a', "003"}}},
        {ExtAscending, "?", "*.*", {{'H', "001"}, {'C', "002"}, {'a', "003"}}},
        {ExtDescending, "?", "*.*", {{'C', "001"}, {'a', "002"}, {'H', "003"}}},
        {NaturalAscending, "?", "*.*", {{'a', "001"}, {'C', "002"}, {'H', "003"}}},
        {NaturalDescending, "?", "*.*", {{'H', "001"}, {'C', "002"}, {'a', "003"}}},
        // A sidecar's date places no group: it has no date taken.
        {TakenAscending, "?", "*.*", {{'H', "001"}, {'C', "002"}, {'a', "003"}}},
        {TakenDescending, "?", "*.*", {{'a', "001"}, {'C', "002"}, {'H', "003"}}},
        {ModifiedAscending, "?", "*.*", {{'C', "001"}, {'a', "002"}, {'H', "003"}}},
        {ModifiedDescending, "?", "*.*", {{'H', "001"}, {'a', "002"}, {'C', "003"}}},
        {TakenAscending, Date + "_?", "*.*", {{'H', "20190501_001"}, {'C', "20190501_002"}, {'a', "20190503_001"}}},
        {NameAscending, Date + "-?", "*.*", {{'a', "20190503-001"}, {'C', "20190501-001"}, {'H', "20190501-002"}}},
        {NameAscending, "?", "*.CR2*", {{'c', "001"}}},
    };
    for (const Case& c : cases) {
        RunFixture run(c.order);
        AddGroups(run);
        run.job.startNumber = 1;
        run.job.mask = c.mask;
        run.job.sameNumberForSameName = true;
        run.job.SplitPattern(c.pattern.c_str());
        Names rows;
        for (const auto& group : c.groups) {
            for (const auto& member : members) {
                for (size_t n = 0; member.group == group.first && n < member.files.size(); ++n) {
                    const std::string& name = member.files[n];
                    rows.push_back(Line(name, group.second + name.substr(name.find('.'))));
                }
            }
        }
        RunPreview preview;
        EXPECT_EQ(rows, PreviewRows(run, preview)) << c.order << c.pattern;
        ASSERT_TRUE(run.Run());
        EXPECT_EQ(rows, run.LogLines()) << c.order << c.pattern;
    }
}

TEST(PhotoNames, NamesThatDifferInCaseAreOneGroupWhereTheFileSystemIgnoresCase)
{
    RunFixture run({"IMG_0003.JPG", "img_0003.xmp", "img_0003.JPG.XMP"}, NameAscending);
    run.job.sameNumberForSameName = true;
    RunPreview preview;
    const Names rows = run.fs.IgnoresCase()
                           ? Names{Line("IMG_0003.JPG", "000.JPG"), Line("img_0003.JPG.XMP", "000.JPG.XMP"),
                                   Line("img_0003.xmp", "000.xmp")}
                           : Names{Line("IMG_0003.JPG", "000.JPG"), Line("img_0003.xmp", "001.xmp"),
                                   Line("img_0003.JPG.XMP", "002.XMP")};
    EXPECT_EQ(rows, PreviewRows(run, preview));
}

}  // namespace
