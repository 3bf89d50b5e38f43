#include "engine/log/LogFileFilter.h"

#include "engine/FileEntry.h"
#include "engine/names/PathNames.h"

// A log file that does not exist yet is created after the listing, so it is none of its names.
LogFileFilter::LogFileFilter(const char* logPath, FileServices& fs)
    : fs(fs), logExists(false), log(), logName("")
{
    if (logPath && logPath[0]) {
        logExists = fs.Identify(logPath, log);
        logName = FinalComponent(logPath, fs);
    }
}

bool LogFileFilter::IsLog(const FoundFile& found, const FileEntry& entry) const
{
    if (!logExists)
        return false;
    if (found.identityKnown)
        return SameIdentity(found.identity, log);
    bool namedLikeLog = fs.SameName(found.name, logName) || (found.shortName[0] && fs.SameName(found.shortName, logName));
    if (!namedLikeLog && log.links <= 1)
        return false;
    FileIdentity identity;
    return fs.Identify(entry.folder.Concat(entry.currentName).Data(), identity) && SameIdentity(identity, log);
}
