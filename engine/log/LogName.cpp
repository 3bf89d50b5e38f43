#include "engine/log/LogName.h"

#include "engine/names/PathNames.h"
#include "engine/RenameJob.h"

LogName::LogName(const RenameJob& job, FileServices& fs) : fs(fs)
{
    const char* path = job.logPath.Data();
    if (path == nullptr || path[0] == '\0' || job.folder.Length() <= 0)
        return;
    const char* name = FinalComponent(path, fs);
    if (name[0] == '\0')
        return;
    // The folder keeps its final separator, so that a root stays a root; a bare name lies
    // in the current folder.
    std::string folder = name == path ? std::string(".") : std::string(path, name);
    if (SameFile(folder.c_str(), job.folder.Data(), fs))
        logName = name;
}

bool LogName::Is(const char* name) const
{
    return !logName.empty() && fs.SameName(name, logName.c_str());
}
