#include "engine/taken/ExifBlock.h"

#include "engine/taken/HeadBytes.h"
#include "engine/taken/TakenText.h"

#include <algorithm>
#include <cstring>

// IFD0's DateTime (0x0132) is left alone: programs rewrite it whenever they save the file,
// so it tells when the file was last saved, not when the picture was taken. A file with
// neither DateTimeOriginal nor DateTimeDigitized is ordered by its date modified instead.

namespace {

const uint32_t kExifPointer = 0x8769;
// IFD0, the Exif IFD and the next few in the chain: a real file needs three.
const size_t kMostDirectories = 8;
// Real directories hold a few dozen entries.
const uint32_t kMostEntries = 1024;
const uint32_t kEntrySize = 12;
const uint32_t kLongestText = 32;

enum TextSlot
{
    OriginalDate,
    DigitizedDate,
    OriginalSubSec,
    DigitizedSubSec,
    OriginalOffset,
    DigitizedOffset,
    SlotCount
};

struct TagText
{
    char bytes[kLongestText];
    // 0: no such tag found yet.
    uint32_t length;
};

int SlotOf(uint32_t tag)
{
    switch (tag) {
    case 0x9003:
        return OriginalDate;
    case 0x9004:
        return DigitizedDate;
    case 0x9291:
        return OriginalSubSec;
    case 0x9292:
        return DigitizedSubSec;
    case 0x9011:
        return OriginalOffset;
    case 0x9012:
        return DigitizedOffset;
    }
    return -1;
}

class TiffStream
{
public:
    TiffStream(HeadSource& file, uint64_t start, uint64_t length)
        : file_(file), start_(start), length_(length), bigEndian_(false)
    {
    }

    // Reads the header, passing over an "Exif\0\0" mark before it.
    bool Open(uint32_t& firstDirectory)
    {
        uint8_t head[8];
        if (!Read(0, head, sizeof head))
            return false;
        if (std::memcmp(head, "Exif\0", 5) == 0) {
            start_ += 6;
            length_ -= 6;
            if (!Read(0, head, sizeof head))
                return false;
        }
        if (!IsTiffHeader(head, sizeof head))
            return false;
        bigEndian_ = head[0] == 'M';
        firstDirectory = U32(head + 4);
        return true;
    }

    bool Read(uint64_t offset, void* buffer, uint64_t size) const
    {
        return FitsWithin(offset, size, length_) && ReadFully(file_, start_ + offset, buffer, size);
    }

    bool Fits(uint64_t offset, uint64_t size) const { return FitsWithin(offset, size, length_); }
    uint32_t U16(const uint8_t* p) const { return bigEndian_ ? BigU16(p) : LittleU16(p); }
    uint32_t U32(const uint8_t* p) const { return bigEndian_ ? BigU32(p) : LittleU32(p); }

private:
    HeadSource& file_;
    uint64_t start_;
    uint64_t length_;
    bool bigEndian_;
};

// Keeps the first text found for a tag; a text that is no ASCII, or runs past the stream,
// is passed over.
void TakeText(const TiffStream& stream, const uint8_t* entry, TagText& text)
{
    uint32_t type = stream.U16(entry + 2);
    uint32_t count = stream.U32(entry + 4);
    const uint32_t kAscii = 2, kUndefined = 7;
    if (text.length != 0 || count == 0 || (type != kAscii && type != kUndefined))
        return;
    uint32_t length = std::min(count, kLongestText);
    if (count <= 4) {
        std::memcpy(text.bytes, entry + 8, length);
    } else {
        uint32_t offset = stream.U32(entry + 8);
        if (!stream.Fits(offset, count) || !stream.Read(offset, text.bytes, length))
            return;
    }
    text.length = length;
}

// The directories still to visit, each offset once, in the order they were first named. No
// more than kMostDirectories are ever visited, so no more are kept.
struct DirectoryQueue
{
    uint32_t offsets[kMostDirectories];
    size_t count;

    void Add(uint32_t offset)
    {
        if (count < kMostDirectories && std::find(offsets, offsets + count, offset) == offsets + count)
            offsets[count++] = offset;
    }
};

void ReadDirectory(const TiffStream& stream, uint32_t offset, TagText* texts, DirectoryQueue& pending)
{
    uint8_t countBytes[2];
    if (!stream.Read(offset, countBytes, sizeof countBytes))
        return;
    uint32_t count = stream.U16(countBytes);
    uint64_t entriesAt = static_cast<uint64_t>(offset) + 2;
    uint64_t linkAt = entriesAt + static_cast<uint64_t>(count) * kEntrySize;
    if (!stream.Fits(linkAt, 4))
        return;
    uint8_t entries[kMostEntries * kEntrySize];
    size_t entriesSize = static_cast<size_t>(std::min(count, kMostEntries)) * kEntrySize;
    if (!stream.Read(entriesAt, entries, entriesSize))
        return;
    for (size_t at = 0; at < entriesSize; at += kEntrySize) {
        const uint8_t* entry = entries + at;
        uint32_t tag = stream.U16(entry);
        const uint32_t kLong = 4, kIfd = 13;
        uint32_t type = stream.U16(entry + 2);
        if (tag == kExifPointer && (type == kLong || type == kIfd) && stream.U32(entry + 4) == 1)
            pending.Add(stream.U32(entry + 8));
        int slot = SlotOf(tag);
        if (slot >= 0)
            TakeText(stream, entry, texts[slot]);
    }
    uint8_t link[4];
    if (stream.Read(linkAt, link, sizeof link) && stream.U32(link) != 0)
        pending.Add(stream.U32(link));
}

// Visits IFD0, the Exif IFDs it points to and the chain of next directories, each once.
void WalkDirectories(const TiffStream& stream, uint32_t first, TagText* texts)
{
    DirectoryQueue pending;
    pending.count = 0;
    pending.Add(first);
    for (size_t next = 0; next < pending.count; ++next)
        ReadDirectory(stream, pending.offsets[next], texts, pending);
}

bool Settle(const TagText& date, const TagText& subSec, const TagText& offset, TakenTime& taken)
{
    int64_t seconds = 0;
    if (!ParseDateText(date.bytes, date.length, seconds))
        return false;
    int32_t minutes = 0;
    bool hasOffset = ParseOffsetText(offset.bytes, offset.length, minutes);
    taken.kind = hasOffset ? TakenWithOffset : TakenLocalClock;
    taken.seconds = seconds;
    taken.offsetMinutes = hasOffset ? minutes : 0;
    taken.nanoseconds = ParseSubSecText(subSec.bytes, subSec.length);
    return true;
}

}  // namespace

bool IsTiffHeader(const uint8_t* head, size_t length)
{
    if (length < 8)
        return false;
    if (head[0] == 'I' && head[1] == 'I') {
        uint32_t magic = LittleU16(head + 2);
        // 42; "RO" and "RS" (ORF), "U\0" (RW2).
        return magic == 42 || magic == 0x4F52 || magic == 0x5352 || magic == 0x55;
    }
    if (head[0] == 'M' && head[1] == 'M') {
        uint32_t magic = BigU16(head + 2);
        return magic == 42 || magic == 0x4F52;
    }
    return false;
}

bool ReadExifDate(HeadSource& file, uint64_t start, uint64_t length, TakenTime& taken)
{
    TiffStream stream(file, start, length);
    uint32_t first = 0;
    if (!stream.Open(first))
        return false;
    TagText texts[SlotCount];
    for (TagText& text : texts)
        text.length = 0;
    WalkDirectories(stream, first, texts);
    return Settle(texts[OriginalDate], texts[OriginalSubSec], texts[OriginalOffset], taken) ||
           Settle(texts[DigitizedDate], texts[DigitizedSubSec], texts[DigitizedOffset], taken);
}
