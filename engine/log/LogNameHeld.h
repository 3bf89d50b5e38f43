#ifndef QUILLOWBY_ENGINE_LOG_LOG_NAME_HELD_H
#define QUILLOWBY_ENGINE_LOG_LOG_NAME_HELD_H

#include "engine/log/LogName.h"
#include "engine/platform/ForwardingFileServices.h"
#include "engine/platform/PathNames.h"

// The file services as the walk sees them when the log could not be created: the log's
// name in the run's folder counts as taken, for a new name and a temporary name alike.
class LogNameHeld : public ForwardingFileServices
{
public:
    LogNameHeld(FileServices& real, const LogName& logName) : ForwardingFileServices(real), logName(logName) {}

    bool Exists(const char* path) override { return IsHeld(path) || real.Exists(path); }
    MoveResult Move(const char* from, const char* to, int& error) override;

private:
    // The walk names only files of the run's folder.
    bool IsHeld(const char* path) const { return logName.Is(FinalComponent(path, real)); }

    const LogName& logName;
};

#endif
