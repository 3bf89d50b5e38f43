#include "engine/taken/MediaBoxes.h"

#include "engine/taken/ExifBlock.h"
#include "engine/taken/HeadBytes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Top-level boxes of a real file: a handful; the children of meta or moov: a dozen or so.
const int kMostTopBoxes = 1024;
const int kMostChildren = 256;
// iinf and iloc grow with the items: 64 KB holds thousands, tiles of large pictures included.
const uint64_t kLongestTable = 64 * 1024;
// mvhd's creation time counts from 1904-01-01, 2,082,844,800 seconds before 1970.
const int64_t kSeconds1904To1970 = 2082844800;

struct Box
{
    char type[4];
    uint64_t start;
    // Where the content begins and where the box ends.
    uint64_t content;
    uint64_t end;
};

bool IsType(const Box& box, const char* type)
{
    return std::memcmp(box.type, type, 4) == 0;
}

// Reads the header of the box at `at` within [.., limit): size 1 takes a 64-bit size, size
// 0 runs to the limit. A box that claims more than is left is cut at the limit.
bool ReadBoxHeader(HeadSource& file, uint64_t at, uint64_t limit, Box& box)
{
    uint8_t header[16];
    if (!FitsWithin(at, 8, limit) || !ReadFully(file, at, header, 8))
        return false;
    uint64_t size = BigU32(header);
    uint64_t headerSize = 8;
    if (size == 1) {
        if (!FitsWithin(at, 16, limit) || !ReadFully(file, at + 8, header + 8, 8))
            return false;
        size = BigU64(header + 8);
        headerSize = 16;
    } else if (size == 0) {
        size = limit - at;
    }
    if (size < headerSize)
        return false;
    std::memcpy(box.type, header + 4, 4);
    box.start = at;
    box.content = at + headerSize;
    box.end = FitsWithin(at, size, limit) ? at + size : limit;
    return true;
}

// The first child of the given type among the boxes in [from, limit).
bool FindBox(HeadSource& file, uint64_t from, uint64_t limit, const char* type, int most, Box& box)
{
    uint64_t at = from;
    for (int i = 0; i < most && ReadBoxHeader(file, at, limit, box); ++i) {
        if (IsType(box, type))
            return true;
        at = box.end;
    }
    return false;
}

// A box's content, after the version and flags of a full box, up to kLongestTable bytes.
bool ReadFullBoxContent(HeadSource& file, const Box& box, uint8_t& version, std::vector<uint8_t>& content)
{
    if (!FitsWithin(box.content, 4, box.end))
        return false;
    uint64_t length = std::min(box.end - box.content, kLongestTable);
    content.resize(static_cast<size_t>(length));
    if (!ReadFully(file, box.content, content.data(), length))
        return false;
    version = content[0];
    content.erase(content.begin(), content.begin() + 4);
    return true;
}

// Reads big-endian numbers from a table held in memory; past its end every read fails.
class Cursor
{
public:
    explicit Cursor(const std::vector<uint8_t>& bytes) : bytes_(bytes), at_(0) {}

    bool Skip(uint64_t size)
    {
        if (!FitsWithin(at_, size, bytes_.size()))
            return false;
        at_ += static_cast<size_t>(size);
        return true;
    }

    // A number of 0, 2, 4 or 8 bytes; other sizes fail.
    bool Number(int size, uint64_t& value)
    {
        if ((size != 0 && size != 2 && size != 4 && size != 8) || !FitsWithin(at_, size, bytes_.size()))
            return false;
        value = 0;
        for (int i = 0; i < size; ++i)
            value = value << 8 | bytes_[at_ + i];
        at_ += size;
        return true;
    }

    const uint8_t* Here() const { return bytes_.data() + at_; }
    size_t Left() const { return bytes_.size() - at_; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_;
};

// The item ID of the first item of type "Exif" in an iinf box.
bool FindExifItem(HeadSource& file, const Box& iinf, uint32_t& itemId)
{
    uint8_t version = 0;
    std::vector<uint8_t> table;
    if (!ReadFullBoxContent(file, iinf, version, table))
        return false;
    Cursor cursor(table);
    uint64_t count = 0;
    if (!cursor.Number(version == 0 ? 2 : 4, count))
        return false;
    for (uint64_t i = 0; i < count && cursor.Left() >= 8; ++i) {
        const uint8_t* entry = cursor.Here();
        uint32_t size = BigU32(entry);
        if (size < 8 || size > cursor.Left())
            return false;
        // Only infe versions 2 and 3 name an item's type.
        if (std::memcmp(entry + 4, "infe", 4) == 0 && size >= 12 && entry[8] >= 2) {
            int idSize = entry[8] == 2 ? 2 : 4;
            if (size >= static_cast<uint32_t>(12 + idSize + 2 + 4) &&
                std::memcmp(entry + 12 + idSize + 2, "Exif", 4) == 0) {
                itemId = idSize == 2 ? BigU16(entry + 12) : BigU32(entry + 12);
                return true;
            }
        }
        cursor.Skip(size);
    }
    return false;
}

struct ItemPlace
{
    int constructionMethod;
    uint64_t offset;
    // 0: to the end of the file or idat.
    uint64_t length;
};

// Where an iloc box places the item: its first extent.
bool LocateItem(HeadSource& file, const Box& iloc, uint32_t itemId, ItemPlace& place)
{
    uint8_t version = 0;
    std::vector<uint8_t> table;
    if (!ReadFullBoxContent(file, iloc, version, table) || version > 2)
        return false;
    Cursor cursor(table);
    uint64_t sizes = 0, count = 0;
    if (!cursor.Number(2, sizes) || !cursor.Number(version < 2 ? 2 : 4, count))
        return false;
    int offsetSize = static_cast<int>(sizes >> 12 & 15), lengthSize = static_cast<int>(sizes >> 8 & 15);
    int baseSize = static_cast<int>(sizes >> 4 & 15), indexSize = version >= 1 ? static_cast<int>(sizes & 15) : 0;
    int extentSize = indexSize + offsetSize + lengthSize;
    for (uint64_t i = 0; i < count; ++i) {
        uint64_t id = 0, method = 0, reference = 0, base = 0, extents = 0;
        if (!cursor.Number(version < 2 ? 2 : 4, id) || (version >= 1 && !cursor.Number(2, method)) ||
            !cursor.Number(2, reference) || !cursor.Number(baseSize, base) || !cursor.Number(2, extents))
            return false;
        if (id != itemId) {
            if (!cursor.Skip(extents * extentSize))
                return false;
            continue;
        }
        uint64_t index = 0, offset = 0, length = 0;
        if (extents == 0 || reference != 0 || !cursor.Number(indexSize, index) || !cursor.Number(offsetSize, offset) ||
            !cursor.Number(lengthSize, length) || offset > UINT64_MAX - base)
            return false;
        place.constructionMethod = static_cast<int>(method & 15);
        place.offset = base + offset;
        place.length = length;
        return true;
    }
    return false;
}

// The Exif item: a 4-byte offset from its end to the TIFF header, then the Exif block.
bool ReadExifItem(HeadSource& file, uint64_t start, uint64_t length, TakenTime& taken)
{
    uint8_t skip[4];
    if (length < 4 || !ReadFully(file, start, skip, sizeof skip))
        return false;
    uint64_t offset = 4 + static_cast<uint64_t>(BigU32(skip));
    return offset <= length && ReadExifDate(file, start + offset, length - offset, taken);
}

bool ReadHeifDate(HeadSource& file, const Box& meta, TakenTime& taken)
{
    Box iinf, iloc, idat;
    uint64_t children = meta.content + 4;
    uint32_t itemId = 0;
    ItemPlace place;
    if (!FindBox(file, children, meta.end, "iinf", kMostChildren, iinf) || !FindExifItem(file, iinf, itemId) ||
        !FindBox(file, children, meta.end, "iloc", kMostChildren, iloc) || !LocateItem(file, iloc, itemId, place))
        return false;
    uint64_t dataStart = 0, dataEnd = file.Size();
    if (place.constructionMethod == 1) {
        if (!FindBox(file, children, meta.end, "idat", kMostChildren, idat))
            return false;
        dataStart = idat.content;
        dataEnd = idat.end;
    } else if (place.constructionMethod != 0) {
        return false;
    }
    if (!FitsWithin(dataStart, place.offset, dataEnd))
        return false;
    uint64_t start = dataStart + place.offset;
    uint64_t length = place.length == 0 ? dataEnd - start : std::min(place.length, dataEnd - start);
    return ReadExifItem(file, start, length, taken);
}

bool ReadMovieDate(HeadSource& file, const Box& moov, TakenTime& taken)
{
    Box mvhd;
    uint8_t header[12];
    if (!FindBox(file, moov.content, moov.end, "mvhd", kMostChildren, mvhd) ||
        !FitsWithin(mvhd.content, sizeof header, mvhd.end) || !ReadFully(file, mvhd.content, header, sizeof header))
        return false;
    uint64_t creation = header[0] == 1 ? BigU64(header + 4) : BigU32(header + 4);
    // 0 is what a device without a clock writes; a time past the year 9999 is no time at all.
    const uint64_t kLatest = 253402300799ull + kSeconds1904To1970;
    if (header[0] > 1 || creation == 0 || creation > kLatest)
        return false;
    taken.kind = TakenUtc;
    taken.seconds = static_cast<int64_t>(creation) - kSeconds1904To1970;
    taken.offsetMinutes = 0;
    taken.nanoseconds = 0;
    return true;
}

}  // namespace

bool IsMediaBoxes(const uint8_t* head, size_t length)
{
    static const char* const kFirstBoxes[] = {"ftyp", "moov", "mdat", "free", "skip", "wide", "pnot"};
    if (length < 8)
        return false;
    for (const char* type : kFirstBoxes) {
        if (std::memcmp(head + 4, type, 4) == 0)
            return true;
    }
    return false;
}

bool ReadMediaDate(HeadSource& file, TakenTime& taken)
{
    Box box, meta, moov;
    bool hasMeta = false, hasMoov = false;
    uint64_t at = 0;
    for (int i = 0; i < kMostTopBoxes && !(hasMeta && hasMoov) && ReadBoxHeader(file, at, file.Size(), box); ++i) {
        if (!hasMeta && IsType(box, "meta")) {
            meta = box;
            hasMeta = true;
        } else if (!hasMoov && IsType(box, "moov")) {
            moov = box;
            hasMoov = true;
        }
        at = box.end;
    }
    return (hasMeta && ReadHeifDate(file, meta, taken)) || (hasMoov && ReadMovieDate(file, moov, taken));
}
