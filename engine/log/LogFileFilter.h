#ifndef QUILLOWBY_ENGINE_LOG_LOG_FILE_FILTER_H
#define QUILLOWBY_ENGINE_LOG_LOG_FILE_FILTER_H

#include "engine/platform/FileServices.h"

class CountedString;

// Tells whether a listed file is the log file, whatever name leads to it: another letter
// case (also of full-width letters), its short name, a final dot, or another hard link.
// Cheap where it can be: a listing that gives identities answers at once; otherwise only
// names that could be the log's are asked of the file system, unless the log has other
// links, which may carry any name.
class LogFileFilter
{
public:
    LogFileFilter(const char* logPath, FileServices& fs);

    // folder (with its final separator) and name lead to the listed file.
    bool IsLog(const FoundFile& found, const CountedString& folder, const char* name) const;

private:
    FileServices& fs;
    bool logExists;
    FileIdentity log;
    // The last part of the log path as typed.
    const char* logName;
};

#endif
