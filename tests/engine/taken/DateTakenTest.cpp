#include "engine/taken/DateTaken.h"

#include "tests/support/TakenHeads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A file of any size made of pieces at their offsets and zeros between them, so a video of
// gigabytes costs nothing; it counts the bytes asked and can fail every read from an offset.
class PiecesSource : public HeadSource
{
public:
    PiecesSource(const std::string& bytes, uint64_t size = 0, uint64_t failFrom = UINT64_MAX)
        : size_(std::max<uint64_t>(size, bytes.size())), failFrom_(failFrom), asked(0)
    {
        Put(0, bytes);
    }

    void Put(uint64_t at, const std::string& bytes) { pieces_.push_back(std::make_pair(at, bytes)); }

    int ReadAt(uint64_t offset, void* buffer, int size) override
    {
        asked += size;
        if (offset >= failFrom_)
            return -1;
        if (offset >= size_)
            return 0;
        int got = static_cast<int>(std::min<uint64_t>(size, size_ - offset));
        char* out = static_cast<char*>(buffer);
        std::memset(out, 0, got);
        for (const auto& piece : pieces_) {
            uint64_t from = std::max(offset, piece.first);
            uint64_t to = std::min(offset + got, piece.first + piece.second.size());
            if (from < to)
                std::memcpy(out + (from - offset), piece.second.data() + (from - piece.first), to - from);
        }
        return got;
    }

    uint64_t Size() const override { return size_; }

private:
    std::vector<std::pair<uint64_t, std::string>> pieces_;
    uint64_t size_;
    uint64_t failFrom_;

public:
    uint64_t asked;
};

// The bytes with those at `at` replaced, as a damaged file would have them.
std::string Patched(std::string bytes, size_t at, const std::string& with)
{
    return bytes.replace(at, with.size(), with);
}

std::string Inserted(std::string bytes, size_t at, const std::string& more)
{
    return bytes.insert(at, more);
}

std::string Cut(const std::string& bytes, size_t length)
{
    return bytes.substr(0, length);
}

const char* const kDate = "2019:05:01 10:00:00";
const int64_t kSeconds = 1556704800;
// 2023-07-15 08:30:00 UTC, and 2100-12-31 12:00:00 UTC, which needs 64 bits, from 1904.
const uint64_t kCreation = 3772254600u;
const uint64_t kLateCreation = 6216782400u;

// A large file that is zeros but for its first and last bytes, as a file whose metadata
// sits behind megabytes of picture or video data.
PiecesSource Spread(const std::string& before, uint64_t gap, const std::string& after)
{
    PiecesSource file(before, before.size() + gap + after.size());
    file.Put(before.size() + gap, after);
    return file;
}

struct Row
{
    const char* what;
    PiecesSource file;
    TakenKind kind;
    int64_t seconds;
    int32_t offsetMinutes;
    int32_t nanoseconds;
};

}  // namespace

TEST(DateTaken, ReadsTheDateOfEachFormatAndRefusesWhatIsNoDate)
{
    const std::string jpeg = JpegHolding(ExifTiff(Tags(kDate, "5"), false));
    const std::string png = PngHolding(ExifTiff(Tags(kDate, "", "-05:30"), true));
    const std::string both = ExifTiff(Tags(kDate, "", "", "2012:01:02 03:04:05"), false);
    Row rows[] = {
        {"jpeg", PiecesSource(jpeg), TakenLocalClock, kSeconds, 0, 500000000},
        {"tiff II, sub-seconds", ExifTiff(Tags(kDate, "123"), false), TakenLocalClock, kSeconds, 0, 123000000},
        {"tiff MM, offset", ExifTiff(Tags(kDate, "", "+09:00"), true), TakenWithOffset, kSeconds, 540, 0},
        {"ORF magic", Patched(ExifTiff(Tags(kDate), false), 2, "RO"), TakenLocalClock, kSeconds, 0, 0},
        {"RW2 magic", Patched(ExifTiff(Tags(kDate), false), 2, std::string("U\0", 2)), TakenLocalClock, kSeconds, 0, 0},
        {"png", PiecesSource(png), TakenWithOffset, kSeconds, -330, 0},
        {"webp with Exif mark", WebpHolding(ExifTiff(Tags(kDate), false), true), TakenLocalClock, kSeconds, 0, 0},
        {"webp without", WebpHolding(ExifTiff(Tags(kDate), true), false), TakenLocalClock, kSeconds, 0, 0},
        {"webp, odd chunk and its pad byte first",
         Inserted(WebpHolding(ExifTiff(Tags(kDate), false), true), 12, std::string("ICCP\x03\0\0\0abc\0", 12)),
         TakenLocalClock, kSeconds, 0, 0},
        {"jpeg, XMP in the first APP1",
         Inserted(jpeg, 2, std::string("\xFF\xE1\0\x23http://ns.adobe.com/xap/1.0/\0<x/>", 37)), TakenLocalClock,
         kSeconds, 0, 500000000},
        {"heic iloc 0", HeicHolding(ExifTiff(Tags(kDate), true), 0, 4, false), TakenLocalClock, kSeconds, 0, 0},
        {"heic iloc 1/8", HeicHolding(ExifTiff(Tags(kDate), false), 1, 8, false), TakenLocalClock, kSeconds, 0, 0},
        {"heic iloc 2", HeicHolding(ExifTiff(Tags(kDate), true), 2, 4, false), TakenLocalClock, kSeconds, 0, 0},
        {"heic idat", HeicHolding(ExifTiff(Tags(kDate), true), 1, 4, true), TakenLocalClock, kSeconds, 0, 0},
        {"heic base offset", HeicHolding(ExifTiff(Tags(kDate), true), 1, 4, false, true), TakenLocalClock, kSeconds, 0,
         0},
        {"mp4 mvhd 0", Mp4Holding(kCreation, 0), TakenUtc, 1689409800, 0, 0},
        {"mp4 mvhd 1", Mp4Holding(kLateCreation, 1), TakenUtc, 4133937600, 0, 0},
        {"mp4 creation 0", Mp4Holding(0, 1), TakenNone, 0, 0, 0},
        // Metadata behind large media data, found by seeking: 5 GB of video (a 64-bit mdat
        // size), a 64 KB JPEG segment, 10 MB of PNG picture data.
        {"moov after 5 GB",
         Spread(MediaBox("ftyp", std::string("isom\0\0\0\0isom", 12)) +
                    std::string("\0\0\0\1mdat\0\0\0\1\x40\0\0\x10", 16),
                5ull << 30, MovieBox(kCreation, 0)),
         TakenUtc, 1689409800, 0, 0},
        {"jpeg after APP2", Spread("\xFF\xD8\xFF\xE2\xFF\xFF", 65533, jpeg.substr(2)), TakenLocalClock, kSeconds, 0,
         500000000},
        {"png after IDAT",
         Spread(png.substr(0, 33) + std::string("\0\xA0\0\0", 4) + "IDAT", 0xA00000 + 4, png.substr(33)),
         TakenWithOffset, kSeconds, -330, 0},
        {"leap day", ExifTiff(Tags("2020:02:29 23:59:59"), false), TakenLocalClock, 1583020799, 0, 0},
        {"dashes and T", ExifTiff(Tags("2019-05-01T10:00:00"), false), TakenLocalClock, kSeconds, 0, 0},
        {"a tag twice, the first counts", Patched(both, 40, "\x03\x90"), TakenLocalClock, kSeconds, 0, 0},
        // Dates that are none, and the Digitized date standing in with its own fraction and offset.
        {"zeros", ExifTiff(Tags("0000:00:00 00:00:00"), false), TakenNone, 0, 0, 0},
        {"blanks", ExifTiff(Tags("    :  :     :  :  "), false), TakenNone, 0, 0, 0},
        {"month 13", ExifTiff(Tags("2019:13:01 10:00:00"), true), TakenNone, 0, 0, 0},
        {"April 31", ExifTiff(Tags("2019:04:31 10:00:00"), true), TakenNone, 0, 0, 0},
        {"Feb 29 2019", ExifTiff(Tags("2019:02:29 10:00:00"), true), TakenNone, 0, 0, 0},
        {"Feb 29 2100", ExifTiff(Tags("2100:02:29 10:00:00"), true), TakenNone, 0, 0, 0},
        {"text after the date", ExifTiff(Tags("2019:05:01 10:00:00Z"), true), TakenNone, 0, 0, 0},
        {"hour 24", ExifTiff(Tags("2019:05:01 24:00:00"), true), TakenNone, 0, 0, 0},
        {"short", ExifTiff(Tags("2019:05:01 10:00"), true), TakenNone, 0, 0, 0},
        {"no date tags", ExifTiff(Tags(""), true), TakenNone, 0, 0, 0},
        {"digitized", ExifTiff(Tags("", "7", "+01:00", kDate, "25", "-03:00"), false), TakenWithOffset, kSeconds, -180,
         250000000},
        {"blank original", ExifTiff(Tags("    :  :     :  :  ", "", "", kDate), true), TakenLocalClock, kSeconds, 0, 0},
        {"long sub-seconds", ExifTiff(Tags(kDate, "1234567891234"), false), TakenLocalClock, kSeconds, 0, 123456789},
        {"sub-seconds not digits", ExifTiff(Tags(kDate, "12a"), false), TakenLocalClock, kSeconds, 0, 0},
        {"offset malformed", ExifTiff(Tags(kDate, "", "+9:00"), false), TakenLocalClock, kSeconds, 0, 0},
        {"offset too far", ExifTiff(Tags(kDate, "", "+15:00"), false), TakenLocalClock, kSeconds, 0, 0},
        // Damaged and foreign heads.
        {"not a picture", std::string("plain text, no picture at all"), TakenNone, 0, 0, 0},
        {"empty", std::string(), TakenNone, 0, 0, 0},
        {"jpeg cut", Cut(jpeg, 60), TakenNone, 0, 0, 0},
        {"jpeg segment past end", Patched(jpeg, 4, "\xFF\xF0"), TakenNone, 0, 0, 0},
        {"jpeg read error", PiecesSource(jpeg, 0, 40), TakenNone, 0, 0, 0},
        {"tiff cut", Cut(ExifTiff(Tags(kDate), false), 40), TakenNone, 0, 0, 0},
        {"heic cut", Cut(HeicHolding(ExifTiff(Tags(kDate), true), 1, 4, false), 120), TakenNone, 0, 0, 0},
        {"mp4 cut", Cut(Mp4Holding(kCreation, 0), 50), TakenNone, 0, 0, 0},
        {"box size 4", Patched(Mp4Holding(kCreation, 0), 28, std::string("\0\0\0\4", 4)), TakenNone, 0, 0, 0},
        {"IFD0 links itself", Patched(ExifTiff(Tags(kDate), false), 22, std::string("\x08\0\0\0", 4)), TakenLocalClock,
         kSeconds, 0, 0},
        {"Exif IFD is IFD0", Patched(ExifTiff(Tags(kDate), false), 18, std::string("\x08\0\0\0", 4)), TakenNone, 0, 0,
         0},
        {"Exif IFD past end", Patched(ExifTiff(Tags(kDate), false), 18, "\xF0\xFF\xFF\xFF"), TakenNone, 0, 0, 0},
        {"entry count huge", Patched(ExifTiff(Tags(kDate), false), 26, "\xFF\xFF"), TakenNone, 0, 0, 0},
        {"text count huge", Patched(both, 32, "\xFF\xFF\xFF\xFF"), TakenLocalClock, 1325473445, 0, 0},
        {"text offset wraps", Patched(both, 36, "\xFF\xFF\xFF\xFF"), TakenLocalClock, 1325473445, 0, 0},
    };
    for (Row& row : rows) {
        TakenTime taken = {TakenUtc, 1, 2, 3};
        EXPECT_EQ(row.kind != TakenNone, ReadDateTaken(row.file, taken)) << row.what;
        EXPECT_EQ(row.kind, taken.kind) << row.what;
        EXPECT_EQ(row.seconds, taken.seconds) << row.what;
        EXPECT_EQ(row.offsetMinutes, taken.offsetMinutes) << row.what;
        EXPECT_EQ(row.nanoseconds, taken.nanoseconds) << row.what;
        // A head is read about once, never over and over, and no file beyond the budget.
        EXPECT_LE(row.file.asked, std::min<uint64_t>(kDateReadBudget, row.file.Size() + 32)) << row.what;
    }
}
