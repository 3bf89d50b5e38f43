#ifndef QUILLOWBY_ENGINE_PLATFORM_POSIX_RENAME_H
#define QUILLOWBY_ENGINE_PLATFORM_POSIX_RENAME_H

// The rename that never replaces, which the POSIX layer tries before it falls back on a new
// link and the removal of the old one: 0, or -1 with errno set. Tests put in one that answers
// as a file system without it does, so that the fallback runs where the disk has it.
typedef int (*RenameNoReplace)(int fromFolder, const char* from, int toFolder, const char* to);
extern RenameNoReplace renameNoReplace;

#endif
