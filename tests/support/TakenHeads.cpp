#include "tests/support/TakenHeads.h"

#include <cstring>
#include <vector>

namespace {

void PutBig(std::string& out, uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutLittle(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void Put(std::string& out, uint64_t value, int bytes, bool bigEndian)
{
    if (bigEndian)
        PutBig(out, value, bytes);
    else
        PutLittle(out, value, bytes);
}

struct TextTag
{
    uint16_t tag;
    const std::string* text;
};

uint32_t Crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string PngChunk(const char* type, const std::string& data)
{
    std::string chunk;
    PutBig(chunk, data.size(), 4);
    std::string typed = std::string(type, 4) + data;
    chunk += typed;
    PutBig(chunk, Crc32(typed), 4);
    return chunk;
}

std::string RiffChunk(const char* type, const std::string& data)
{
    std::string chunk(type, 4);
    PutLittle(chunk, data.size(), 4);
    chunk += data;
    if (data.size() % 2 != 0)
        chunk += '\0';
    return chunk;
}

std::string FullBox(const char* type, int version, const std::string& content)
{
    std::string body(1, static_cast<char>(version));
    body += std::string(3, '\0') + content;
    return MediaBox(type, body);
}

std::string ItemInfo(uint16_t id, const char* type)
{
    std::string content;
    PutBig(content, id, 2);
    PutBig(content, 0, 2);
    content += std::string(type, 4) + '\0';
    return FullBox("infe", 2, content);
}

// The meta box of a HEIC file: item 1 the picture, item 2 the Exif block; items in mdat are
// found at their file offsets (or from a base offset at the mdat's data), items in idat at
// offsets into its data.
std::string HeicMeta(const std::string& exifItem, int ilocVersion, int fieldSize, bool inIdat, uint64_t mdatData,
                     bool fromBase)
{
    std::string infos;
    PutBig(infos, 2, 2);
    infos += ItemInfo(1, "hvc1") + ItemInfo(2, "Exif");

    const uint64_t pictureLength = 4;
    uint64_t exifOffset = inIdat ? 0 : mdatData + pictureLength;
    int indexSize = ilocVersion >= 1 ? fieldSize : 0;
    std::string locations;
    locations += static_cast<char>(fieldSize << 4 | fieldSize);
    locations += static_cast<char>(fieldSize << 4 | indexSize);
    PutBig(locations, 2, ilocVersion < 2 ? 2 : 4);
    const uint64_t base = fromBase && !inIdat ? mdatData : 0;
    const uint64_t offsets[2] = {mdatData - base, exifOffset - base};
    const uint64_t lengths[2] = {pictureLength, exifItem.size()};
    for (int item = 0; item < 2; ++item) {
        PutBig(locations, item + 1, ilocVersion < 2 ? 2 : 4);
        if (ilocVersion >= 1)
            PutBig(locations, item == 1 && inIdat ? 1 : 0, 2);
        PutBig(locations, 0, 2);  // data reference: this file
        PutBig(locations, base, fieldSize);
        PutBig(locations, 1, 2);  // one extent
        PutBig(locations, 0, indexSize);
        PutBig(locations, offsets[item], fieldSize);
        PutBig(locations, lengths[item], fieldSize);
    }

    std::string handler(4, '\0');
    handler += "pict" + std::string(13, '\0');
    std::string content =
        FullBox("hdlr", 0, handler) + FullBox("iinf", 0, infos) + FullBox("iloc", ilocVersion, locations);
    if (inIdat)
        content += MediaBox("idat", exifItem);
    return FullBox("meta", 0, content);
}

}  // namespace

std::string ExifTiff(const TakenTags& tags, bool bigEndian)
{
    const TextTag all[] = {{0x9003, &tags.original},       {0x9004, &tags.digitized},
                           {0x9011, &tags.offsetOriginal}, {0x9012, &tags.offsetDigitized},
                           {0x9291, &tags.subSecOriginal}, {0x9292, &tags.subSecDigitized}};
    std::vector<TextTag> present;
    for (const TextTag& tag : all) {
        if (!tag.text->empty())
            present.push_back(tag);
    }

    const uint32_t exifIfd = 26;
    std::string tiff = bigEndian ? "MM" : "II";
    Put(tiff, 42, 2, bigEndian);
    Put(tiff, 8, 4, bigEndian);
    Put(tiff, 1, 2, bigEndian);
    Put(tiff, 0x8769, 2, bigEndian);
    Put(tiff, 4, 2, bigEndian);
    Put(tiff, 1, 4, bigEndian);
    Put(tiff, exifIfd, 4, bigEndian);
    Put(tiff, 0, 4, bigEndian);

    std::string values;
    uint32_t valuesStart = exifIfd + 2 + 12 * static_cast<uint32_t>(present.size()) + 4;
    Put(tiff, present.size(), 2, bigEndian);
    for (const TextTag& tag : present) {
        std::string text = *tag.text + '\0';
        Put(tiff, tag.tag, 2, bigEndian);
        Put(tiff, 2, 2, bigEndian);
        Put(tiff, text.size(), 4, bigEndian);
        if (text.size() <= 4) {
            tiff += text + std::string(4 - text.size(), '\0');
        } else {
            Put(tiff, valuesStart + values.size(), 4, bigEndian);
            values += text;
        }
    }
    Put(tiff, 0, 4, bigEndian);
    return tiff + values;
}

std::string MediaBox(const char* type, const std::string& content)
{
    std::string box;
    PutBig(box, 8 + content.size(), 4);
    return box + std::string(type, 4) + content;
}

std::string JpegHolding(const std::string& tiff)
{
    static const char jfif[] = "\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00";
    static const char scan[] = "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x12\x34\xFF\xD9";
    std::string jpeg("\xFF\xD8", 2);
    jpeg.append(jfif, sizeof jfif - 1);
    jpeg += "\xFF\xE1";
    PutBig(jpeg, 2 + 6 + tiff.size(), 2);
    jpeg.append("Exif\0\0", 6);
    jpeg += tiff;
    jpeg.append(scan, sizeof scan - 1);
    return jpeg;
}

std::string PngHolding(const std::string& tiff)
{
    static const char header[] = "\x00\x00\x00\x01\x00\x00\x00\x01\x08\x00\x00\x00\x00";
    std::string png("\x89PNG\r\n\x1A\n", 8);
    png += PngChunk("IHDR", std::string(header, sizeof header - 1));
    png += PngChunk("eXIf", tiff);
    png += PngChunk("IDAT", std::string("\x78\x9C\x63\x00\x00\x00\x01\x00\x01", 9));
    return png + PngChunk("IEND", std::string());
}

std::string WebpHolding(const std::string& tiff, bool exifMark)
{
    static const char canvas[] = "\x08\x00\x00\x00\x00\x00\x00\x00\x00\x00";
    std::string chunks = "WEBP";
    chunks += RiffChunk("VP8X", std::string(canvas, sizeof canvas - 1));
    chunks += RiffChunk("EXIF", exifMark ? std::string("Exif\0\0", 6) + tiff : tiff);
    std::string webp = "RIFF";
    PutLittle(webp, chunks.size(), 4);
    return webp + chunks;
}

std::string HeicHolding(const std::string& tiff, int ilocVersion, int fieldSize, bool inIdat, bool fromBase)
{
    std::string exifItem;
    PutBig(exifItem, 6, 4);
    exifItem += std::string("Exif\0\0", 6) + tiff;
    std::string ftyp = MediaBox("ftyp", std::string("heic\0\0\0\0mif1heic", 16));
    size_t metaSize = HeicMeta(exifItem, ilocVersion, fieldSize, inIdat, 0, fromBase).size();
    uint64_t mdatData = ftyp.size() + metaSize + 8;
    std::string media = "\x12\x34\x56\x78";
    if (!inIdat)
        media += exifItem;
    return ftyp + HeicMeta(exifItem, ilocVersion, fieldSize, inIdat, mdatData, fromBase) + MediaBox("mdat", media);
}

std::string MovieBox(uint64_t creation1904, int mvhdVersion)
{
    int timeSize = mvhdVersion == 1 ? 8 : 4;
    std::string header;
    PutBig(header, creation1904, timeSize);
    PutBig(header, creation1904, timeSize);  // modification
    PutBig(header, 1000, 4);                 // timescale
    PutBig(header, 5000, timeSize);          // duration
    PutBig(header, 0x00010000, 4);           // rate
    PutBig(header, 0x0100, 2);               // volume
    header += std::string(10, '\0');
    static const uint32_t matrix[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    for (uint32_t value : matrix)
        PutBig(header, value, 4);
    header += std::string(24, '\0');
    PutBig(header, 2, 4);  // next track
    return MediaBox("moov", FullBox("mvhd", mvhdVersion, header));
}

std::string Mp4Holding(uint64_t creation1904, int mvhdVersion)
{
    std::string ftyp = MediaBox("ftyp", std::string("isom\0\0\x02\0isomiso2mp41", 20));
    return ftyp + MediaBox("mdat", std::string(8, '\x55')) + MovieBox(creation1904, mvhdVersion);
}

TakenTags Tags(const char* original, const char* subSec, const char* offset, const char* digitized,
               const char* subSecDigitized, const char* offsetDigitized)
{
    TakenTags tags;
    tags.original = original;
    tags.subSecOriginal = subSec;
    tags.offsetOriginal = offset;
    tags.digitized = digitized;
    tags.subSecDigitized = subSecDigitized;
    tags.offsetDigitized = offsetDigitized;
    return tags;
}

std::string MakeTakenHead(HeadFormat format, const TakenTags& tags, uint64_t creation1904)
{
    switch (format) {
    case HeadJpeg:
        return JpegHolding(ExifTiff(tags, false));
    case HeadTiffLittle:
        return ExifTiff(tags, false);
    case HeadTiffBig:
        return ExifTiff(tags, true);
    case HeadPng:
        return PngHolding(ExifTiff(tags, true));
    case HeadWebp:
        return WebpHolding(ExifTiff(tags, false), true);
    case HeadHeic:
        return HeicHolding(ExifTiff(tags, true), 1, 4, false, true);
    case HeadMp4:
        return Mp4Holding(creation1904, 0);
    }
    return std::string();
}
