#include "engine/LogFileFilter.h"

#include "engine/FileEntry.h"

// The part of a path behind its last separator: the platform's own, and "/", which Windows
// takes as one too. Elsewhere a backslash is an ordinary byte of a name.
static const char* FinalComponent(const char* path, const FileServices& fs)
{
    const char* final = path;
    for (const char* p = path; *p; ++p) {
        if (fs.IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) {
            ++p;
            continue;
        }
        if (*p == fs.Separator() || *p == '/')
            final = p + 1;
    }
    return final;
}

static bool Same(const FileIdentity& a, const FileIdentity& b)
{
    return a.volume == b.volume && a.index == b.index;
}

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
        return Same(found.identity, log);
    bool namedLikeLog = fs.SameName(found.name, logName) || (found.shortName[0] && fs.SameName(found.shortName, logName));
    if (!namedLikeLog && log.links <= 1)
        return false;
    FileIdentity identity;
    return fs.Identify(entry.folder.Concat(entry.currentName).Data(), identity) && Same(identity, log);
}
