#ifndef QUILLOWBY_ENGINE_PATH_LENGTH_REFUSAL_H
#define QUILLOWBY_ENGINE_PATH_LENGTH_REFUSAL_H

class EntryList;
class FileEntry;
class FileServices;

// Characters of text as the ANSI code page reads it: a double-byte character counts once.
int PathCharacters(const char* text, const FileServices& fs);

// The first entry, in list order, whose path under its new name, or under the widest
// temporary name the run can number, would be longer than the file calls take, as typed or
// as they resolve it; null when every such path fits.
const FileEntry* FirstEntryOutOfReach(const EntryList& list, FileServices& fs);

#endif
