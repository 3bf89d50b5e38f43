#ifndef QUILLOWBY_ENGINE_PLATFORM_PATH_NAMES_H
#define QUILLOWBY_ENGINE_PLATFORM_PATH_NAMES_H

#include "engine/platform/FileServices.h"

#include <string>

class CountedString;

// How the engine reads names and paths in the platform's code page: characters, separators,
// the final component, and names as a file system that ignores letter case compares them.

// The bytes of the character that starts at text: two for a lead byte with a second byte
// behind it, else one. Every walk over a name steps by this, so that a second byte equal to
// "\", "/", "." or a letter is never taken for one; a lead byte that ends the text stands
// alone.
inline int CharacterLength(const char* text, const FileServices& fs)
{
    return fs.IsLeadByte(static_cast<unsigned char>(text[0])) && text[1] != 0 ? 2 : 1;
}

// Whether text ends with the separator as a whole character: a double-byte character
// whose second byte happens to equal the separator is not one.
bool EndsWithSeparator(const char* text, const FileServices& fs);
// Whether the folder, typed with or without its final separator, exists.
bool FolderFound(const char* folderText, FileServices& fs);
// Appends the separator to a folder that does not end with one, so that a name can follow.
void EnsureFinalSeparator(CountedString& folder, const FileServices& fs);
// Whether a name holds a separator as a whole character: the platform's own or "/", which
// Windows takes as one too.
bool HoldsSeparator(const char* name, const FileServices& fs);
// Whether a path names its folder from the top: where the separator is "/", it begins with
// one; elsewhere it begins with a drive letter, a colon and a separator ("C:\"), or it is
// a UNC path: two separators, a server's name, a separator and a share's name ("\\server\share").
bool IsFullPath(const char* path, const FileServices& fs);
// The part of a path behind its last separator: the platform's own, and "/", which Windows
// takes as one too. Elsewhere a backslash is an ordinary byte of a name.
const char* FinalComponent(const char* path, const FileServices& fs);
// The name as a file system that ignores letter case sees it: "A" to "Z" folded, second
// bytes of double-byte characters left alone, an escaped character in its upper case.
std::string FoldedName(const char* name, const FileServices& fs);
// The same, in place.
void FoldName(std::string& name, const FileServices& fs);
// The name as this file system tells names apart: folded where letter case does not count,
// else as it is.
std::string NameKey(const char* name, const FileServices& fs);
// The same into key, which keeps its storage.
void AssignNameKey(std::string& key, const char* name, const FileServices& fs);
// The path a field's text names. A pasted path often comes with spaces around it, and
// Explorer's "Copy as path" puts it in quotes, which no Windows path can hold: the spaces at
// either end are taken off, then one pair of quotes around the rest and the spaces inside
// them. True when anything was taken off.
bool TrimPastedPath(CountedString& path);
// Characters of text as Windows counts a path's length: a double-byte character once, an
// escape as the UTF-16 units it stands for.
int PathCharacters(const char* text, const FileServices& fs);
// The path is longer than the file calls take, as typed or as they resolve it.
bool PathOutOfReach(const char* path, FileServices& fs);

#endif
