#ifndef QUILLOWBY_ENGINE_LOG_LOG_NAME_H
#define QUILLOWBY_ENGINE_LOG_LOG_NAME_H

#include "engine/platform/FileServices.h"

#include <string>

// The name the log file has in the run's folder when the log path leads there. No file of
// the batch may take it: the log would keep it from its new name, or, where no log could be
// created, the file would pass for the log and the next run logging to that path would
// empty it.
class LogName
{
public:
    // Asks the file system whether the log path's folder is the run's folder, however either
    // is spelt. An empty log path or folder gives no name.
    LogName(const char* logPath, const char* folder, FileServices& fs);

    // Whether name, a name in the run's folder, is the log file's, compared as the file
    // system compares names (full-width letters in either case too).
    bool Is(const char* name) const;

private:
    const FileServices& fs;
    // The last part of the log path as typed; empty when the log lies elsewhere, or there
    // is no log path.
    std::string logName;
};

#endif
