#ifndef QUILLOWBY_TESTS_FOLDER_FILES_H
#define QUILLOWBY_TESTS_FOLDER_FILES_H

#include "tests/support/TempFolder.h"

#include <map>
#include <string>
#include <vector>

// The files of a test's folder as the tests write them and read them back.

// Names of files (or lines of a log), compared as a whole.
typedef std::vector<std::string> Names;
// Each file's content by its name.
typedef std::map<std::string, std::string> Contents;

// Writes each file with its own name as its content, so that every file can be traced
// wherever a run takes it; false when any of them could not be written.
bool AddFiles(const TempFolder& folder, const Names& names);
// count names made by a printf format from one number each, from first on ("%03d.jpg").
Names NumberedNames(const char* format, int first, int count);
Contents ContentsOf(const TempFolder& folder);

#endif
