#ifndef QUILLOWBY_ENGINE_PLATFORM_NAME_PARTS_H
#define QUILLOWBY_ENGINE_PLATFORM_NAME_PARTS_H

class FileServices;

const int kNameSize = 256;  // 255 bytes of name and the NUL

// Where a name's stem and extension start. The extension runs from the last "." of the
// file part to the end, dot included; extStart is the name's length when there is none.
// A leading drive designator and anything up to the last "\" or "/" belong to neither part.
void LocateNameParts(const char* name, const FileServices& fs, int& stemStart, int& extStart);

// Writes the present parts (stem and ext are buffers of kNameSize bytes, or null), each cut
// to 255 bytes without splitting a double-byte character.
void SplitFileName(const char* name, char* stem, char* ext, const FileServices& fs);

#endif
