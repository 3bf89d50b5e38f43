#ifndef QUILLOWBY_TESTS_TAKEN_HEADS_H
#define QUILLOWBY_TESTS_TAKEN_HEADS_H

#include <cstdint>
#include <string>

// Small but well-formed files holding a date taken the way cameras and phones write it, for
// the tests to read back and for the randomized tester to order by the dates it wrote.

// The Exif texts of one file; an empty text leaves its tag out. Texts are written as given,
// with the closing NUL the format counts, so blank, zero and impossible dates can be written.
struct TakenTags
{
    std::string original;         // DateTimeOriginal, "YYYY:MM:DD HH:MM:SS"
    std::string digitized;        // DateTimeDigitized
    std::string subSecOriginal;   // SubSecTimeOriginal, "123"
    std::string subSecDigitized;  // SubSecTimeDigitized
    std::string offsetOriginal;   // OffsetTimeOriginal, "+09:00"
    std::string offsetDigitized;  // OffsetTimeDigitized
};

// The tags of the original date, then those of the digitized one.
TakenTags Tags(const char* original, const char* subSec = "", const char* offset = "", const char* digitized = "",
               const char* subSecDigitized = "", const char* offsetDigitized = "");

enum HeadFormat
{
    HeadJpeg,
    HeadTiffLittle,
    HeadTiffBig,
    HeadPng,
    HeadWebp,
    HeadHeic,
    HeadMp4
};

// The TIFF stream of an Exif block. Its layout is fixed, so a test can damage it on purpose:
// the header (IFD0 at 8), IFD0 at 8 holding the Exif pointer alone (its value at 18, next
// IFD link at 22), the Exif IFD at 26 with the tags in tag order, then the texts.
std::string ExifTiff(const TakenTags& tags, bool bigEndian);

// One box of an ISO base media file: 32-bit size, type, content.
std::string MediaBox(const char* type, const std::string& content);

// Files holding a TIFF stream as their Exif block.
std::string JpegHolding(const std::string& tiff);
std::string PngHolding(const std::string& tiff);
std::string WebpHolding(const std::string& tiff, bool exifMark);
// A HEIC file whose Exif item is found through an iloc box of the given version (0, 1 or 2)
// and field size (4 or 8 bytes), in the mdat box or, from version 1 on, in the meta's idat;
// fromBase places the mdat's items from a base offset, as many encoders do.
std::string HeicHolding(const std::string& tiff, int ilocVersion, int fieldSize, bool inIdat, bool fromBase = false);

// The moov box of a video whose movie header (version 0: 32-bit times, 1: 64-bit) holds the
// creation time in seconds since 1904-01-01 00:00:00 UTC.
std::string MovieBox(uint64_t creation1904, int mvhdVersion);
// An MP4 file: ftyp, a small mdat, then the moov box.
std::string Mp4Holding(uint64_t creation1904, int mvhdVersion);

// A whole file of the format holding the tags; an MP4 holds creation1904 instead.
std::string MakeTakenHead(HeadFormat format, const TakenTags& tags, uint64_t creation1904);

#endif
