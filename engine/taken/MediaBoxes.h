#ifndef QUILLOWBY_ENGINE_TAKEN_MEDIA_BOXES_H
#define QUILLOWBY_ENGINE_TAKEN_MEDIA_BOXES_H

#include "engine/taken/TakenTime.h"

#include <cstddef>
#include <cstdint>

// Whether the bytes open a file of ISO base media boxes (HEIF, HEIC, AVIF, MP4, MOV, 3GP):
// its first box is one such files begin with.
bool IsMediaBoxes(const uint8_t* head, size_t length);

// The date taken of such a file: the Exif item of its meta box, else the creation time in
// its movie header (UTC). The boxes are found by their headers alone, each box passed over
// by a seek, so a video's moov behind gigabytes of media data costs a few reads.
bool ReadMediaDate(HeadSource& file, TakenTime& taken);

#endif
