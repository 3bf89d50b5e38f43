#ifndef QUILLOWBY_ENGINE_NAMES_NEW_NAME_H
#define QUILLOWBY_ENGINE_NAMES_NEW_NAME_H

class FileServices;

// Where a name's stem and extension start. The extension runs from the last "." of the
// file part to the end, dot included; extStart is the name's length when there is none.
// A leading drive designator and anything up to the last "\" or "/" belong to neither part.
void LocateNameParts(const char* name, const FileServices& fs, int& stemStart, int& extStart);

// Writes the present parts (stem and ext are 256-byte buffers or null), each cut to 255
// bytes without splitting a double-byte character.
void SplitFileName(const char* name, char* stem, char* ext, const FileServices& fs);

#endif
