#ifndef QUILLOWBY_ENGINE_TAKEN_EXIF_BLOCK_H
#define QUILLOWBY_ENGINE_TAKEN_EXIF_BLOCK_H

#include "engine/taken/TakenTime.h"

#include <cstddef>
#include <cstdint>

// Whether the bytes open a TIFF stream: "II" or "MM" and the magic number of TIFF (42) or
// of the camera raw formats that vary it (ORF, RW2).
bool IsTiffHeader(const uint8_t* head, size_t length);

// The date taken held by the Exif block that lies in the file at [start, start + length): a
// TIFF stream, which may follow an "Exif\0\0" mark; its offsets count from its own start and
// never reach outside it.
bool ReadExifDate(HeadSource& file, uint64_t start, uint64_t length, TakenTime& taken);

#endif
