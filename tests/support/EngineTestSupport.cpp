#include "tests/support/EngineTestSupport.h"

#include "engine/platform/FileServices.h"

#include <cstring>
#include <sstream>

RunFixture::RunFixture(const Names& files, int32_t order)
    : logName("log.txt"), fs(PlatformFileServices()), progress(nullptr)
{
    job.mask = "*.*";
    job.SplitPattern("?");
    job.digitCount = 3;
    job.order = order;
    job.logPath = elsewhere.PathOf(logName).c_str();
    TypeFolder(false);
    AddFiles(files);
}

void RunFixture::TypeFolder(bool withSeparator)
{
    job.folder = (withSeparator ? folder.Slash() : folder.Path()).c_str();
}

bool RunFixture::Run()
{
    return RunRename(job, list, fs, outcome, progress);
}

Names RunFixture::LogLines() const
{
    const std::string log = Log();
    size_t section = log.rfind("\r\n\r\n");
    Names lines;
    size_t start = log.find("\r\n", section == std::string::npos ? 0 : section + 4);
    if (start == std::string::npos)
        return lines;
    start += 2;
    while (start < log.size()) {
        size_t end = log.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(log.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(log.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

void DieAfterMove(FaultyFileServices& fs, int nth, int linesAfter)
{
    fs.beforeCall = [&fs, nth, linesAfter](FileCall call, int n, const char*, const char*) {
        if (call == CallMove && n == nth) {
            fs.InjectFrom(CallMove, nth + 1, FaultFail);
            fs.InjectFrom(CallWriteLog, fs.Calls(CallWriteLog) + 1 + linesAfter, FaultFail);
        }
    };
}

std::unique_ptr<FileEntry> MakeEntry(const std::string& folder, const std::string& name, const FileServices& fs)
{
    std::unique_ptr<FileEntry> entry(new FileEntry(folder.c_str(), fs));
    FoundFile found = FoundFile();
    std::strncpy(found.name, name.c_str(), sizeof found.name - 1);
    entry->FillFromFindData(found);
    return entry;
}

std::string Line(const std::string& from, const std::string& to)
{
    return from + "\t->\t" + to;
}
