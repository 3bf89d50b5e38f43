#include "engine/log/LogFileFilter.h"

#include "core/CountedString.h"
#include "engine/platform/PathNames.h"

// A log file that does not exist yet is created after the listing, so it is none of its names.
LogFileFilter::LogFileFilter(const char* logPath, FileServices& fs) : fs(fs), logExists(false), log(), logName("")
{
    if (logPath && logPath[0]) {
        logExists = fs.Identify(logPath, log);
        logName = FinalComponent(logPath, fs);
    }
}

bool LogFileFilter::IsLog(const FoundFile& found, const CountedString& folder, const char* name) const
{
    if (!logExists)
        return false;
    if (found.identityKnown)
        return SameIdentity(found.identity, log);
    bool namedLikeLog =
        fs.SameName(found.name, logName) || (found.shortName[0] && fs.SameName(found.shortName, logName));
    if (!namedLikeLog && log.links <= 1)
        return false;
    FileIdentity identity;
    return fs.Identify(folder.Concat(name).Data(), identity) && SameIdentity(identity, log);
}
