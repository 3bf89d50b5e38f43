#ifndef QUILLOWBY_ENGINE_STEPS_TEMP_NAMES_H
#define QUILLOWBY_ENGINE_STEPS_TEMP_NAMES_H

#include <cstdint>

class FileServices;

// The number of the next temporary name "~ren%04d.tmp", for the whole process.
extern int32_t nextTempNumber;

// The first number whose temporary name is free in the folder (typed with or without its
// final separator); false when the folder cannot be found.
bool FirstFreeTempNumber(const char* folderText, FileServices& fs, int32_t& number);
// Sets nextTempNumber to that number. Leaves it alone when the folder cannot be found.
void ProbeTempNumber(const char* folderText, FileServices& fs);

// "~ren%04d.tmp" for number; buffer holds at least kFormatBufferSize bytes, so numbers of
// five and more digits fit too.
void FormatTempName(char* buffer, int32_t number, FileServices& fs);
// The number of a name of that form: "~ren", at least four digits, ".tmp", in that case;
// -1 for any other name. Numbers too long to hold count as the largest.
int64_t TempNumber(const char* name);
// Whether a walk could have parked a file under name.
bool IsTempName(const char* name);

#endif
