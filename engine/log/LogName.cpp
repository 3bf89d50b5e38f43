#include "engine/log/LogName.h"

#include "engine/platform/PathNames.h"

LogName::LogName(const char* logPath, const char* folder, FileServices& fs) : fs(fs)
{
    if (logPath[0] == '\0' || folder[0] == '\0')
        return;
    const char* name = FinalComponent(logPath, fs);
    if (name[0] == '\0')
        return;
    // The folder keeps its final separator, so that a root stays a root; a bare name lies
    // in the current folder.
    std::string logFolder = name == logPath ? std::string(".") : std::string(logPath, name);
    if (SameFile(logFolder.c_str(), folder, fs))
        logName = name;
}

bool LogName::Is(const char* name) const
{
    return !logName.empty() && fs.SameName(name, logName.c_str());
}
