#include "engine/taken/DateTaken.h"

#include "engine/taken/ExifBlock.h"
#include "engine/taken/HeadBytes.h"
#include "engine/taken/MediaBoxes.h"

#include <algorithm>
#include <cstring>

namespace {

// A JPEG's segments before its picture: a dozen in a camera's file.
const int kMostSegments = 256;
// PNG chunks and WebP chunks up to the Exif one; a large PNG has thousands of IDAT chunks,
// each passed over by a seek, and an eXIf behind them all stays out of reach.
const int kMostChunks = 2048;

// Walks the segments from SOI up to the picture data; the first APP1 that holds an Exif
// block decides.
bool ReadJpegDate(HeadSource& file, TakenTime& taken)
{
    uint64_t at = 2;
    for (int i = 0; i < kMostSegments; ++i) {
        uint8_t marker[4];
        if (!ReadFully(file, at, marker, 2) || marker[0] != 0xFF)
            return false;
        uint8_t kind = marker[1];
        // Fill bytes, and markers that stand alone without a length.
        if (kind == 0xFF) {
            at += 1;
            continue;
        }
        if (kind == 0x01 || (kind >= 0xD0 && kind <= 0xD8)) {
            at += 2;
            continue;
        }
        // The picture data or the end: no Exif block came before.
        if (kind == 0xDA || kind == 0xD9 || !ReadFully(file, at + 2, marker + 2, 2))
            return false;
        uint32_t length = BigU16(marker + 2);
        if (length < 2)
            return false;
        uint8_t mark[6];
        if (kind == 0xE1 && length >= 2 + sizeof mark && ReadFully(file, at + 4, mark, sizeof mark) &&
            std::memcmp(mark, "Exif\0", 5) == 0)
            return ReadExifDate(file, at + 4, length - 2, taken);
        at += 2 + length;
    }
    return false;
}

bool ReadPngDate(HeadSource& file, TakenTime& taken)
{
    uint64_t at = 8;
    for (int i = 0; i < kMostChunks; ++i) {
        uint8_t header[8];
        if (!ReadFully(file, at, header, sizeof header))
            return false;
        uint64_t length = BigU32(header);
        if (std::memcmp(header + 4, "eXIf", 4) == 0)
            return ReadExifDate(file, at + 8, std::min(length, file.Size() - (at + 8)), taken);
        if (std::memcmp(header + 4, "IEND", 4) == 0)
            return false;
        at += 12 + length;
    }
    return false;
}

bool ReadWebpDate(HeadSource& file, TakenTime& taken)
{
    uint64_t at = 12;
    for (int i = 0; i < kMostChunks; ++i) {
        uint8_t header[8];
        if (!ReadFully(file, at, header, sizeof header))
            return false;
        uint64_t length = LittleU32(header + 4);
        if (std::memcmp(header, "EXIF", 4) == 0)
            return ReadExifDate(file, at + 8, std::min(length, file.Size() - (at + 8)), taken);
        at += 8 + length + (length & 1);
    }
    return false;
}

}  // namespace

bool ReadDateTaken(HeadSource& file, TakenTime& taken)
{
    taken.kind = TakenNone;
    taken.seconds = 0;
    taken.offsetMinutes = 0;
    taken.nanoseconds = 0;
    BudgetedSource source(file, kDateReadBudget);
    uint8_t head[12];
    if (!ReadFully(source, 0, head, sizeof head))
        return false;
    TakenTime found = taken;
    bool read = false;
    if (head[0] == 0xFF && head[1] == 0xD8)
        read = ReadJpegDate(source, found);
    else if (IsTiffHeader(head, sizeof head))
        read = ReadExifDate(source, 0, source.Size(), found);
    else if (std::memcmp(head, "\x89PNG\r\n\x1A\n", 8) == 0)
        read = ReadPngDate(source, found);
    else if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0)
        read = ReadWebpDate(source, found);
    else if (IsMediaBoxes(head, sizeof head))
        read = ReadMediaDate(source, found);
    if (read)
        taken = found;
    return read;
}
