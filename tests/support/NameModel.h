#ifndef QUILLOWBY_TESTS_NAME_MODEL_H
#define QUILLOWBY_TESTS_NAME_MODEL_H

#include <cstdint>
#include <string>

// An independent reading of the name rules, for the tests to hold the engine against.

// A lead byte of code page 932, when that code page is in play.
bool IsLeadModel(unsigned char c, bool cp932);

// The extension, from the last "." of the name's file part (the part behind the last "/" or
// "\" and behind a drive designator), dot included; lead bytes take the next byte with them.
// Neither part is cut to any length.
void SplitNameModel(const std::string& name, bool cp932, std::string& stem, std::string& extension);

// The number as a new name shows it: zeros in front up to digitCount when padding.
std::string NumberText(int32_t number, bool padDigits, int digitCount);

#endif
