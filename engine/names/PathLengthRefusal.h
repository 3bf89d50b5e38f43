#ifndef QUILLOWBY_ENGINE_NAMES_PATH_LENGTH_REFUSAL_H
#define QUILLOWBY_ENGINE_NAMES_PATH_LENGTH_REFUSAL_H

#include "engine/platform/FileServices.h"

class EntryList;
class FileEntry;

// The first entry, in list order, whose path under its new name, or under the widest
// temporary name the run can number, would be longer than the file calls take, as typed or
// as they resolve it; null when every such path fits. Any file may have to go aside, so a
// temporary name that does not fit is the cause for all of them: widestTemp then holds it,
// and is empty otherwise.
const FileEntry* FirstEntryOutOfReach(const EntryList& list, FileServices& fs, char (&widestTemp)[kFormatBufferSize]);

#endif
