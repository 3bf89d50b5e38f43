#ifndef QUILLOWBY_ENGINE_TAKEN_TAKEN_TEXT_H
#define QUILLOWBY_ENGINE_TAKEN_TAKEN_TEXT_H

#include <cstddef>
#include <cstdint>

// The texts of the Exif date tags, as the camera wrote them (length bytes, not NUL-ended).

// "YYYY:MM:DD HH:MM:SS" as seconds from 1970-01-01 00:00:00 counted as UTC. False for a text
// that is missing, blank, all zeros or an impossible date or time.
bool ParseDateText(const char* text, size_t length, int64_t& seconds);

// A SubSecTime text, "123", as nanoseconds (0.123 s); its first 9 digits count. 0 when the
// text is empty or holds anything but digits and trailing blanks.
int32_t ParseSubSecText(const char* text, size_t length);

// An OffsetTime text, "+09:00" or "-05:30", as minutes ahead of UTC. False when malformed.
bool ParseOffsetText(const char* text, size_t length, int32_t& minutes);

#endif
