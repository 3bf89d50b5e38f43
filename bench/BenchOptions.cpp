#include "bench/BenchOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static bool ParseCount(const char* text, int lowest, int highest, int& value)
{
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < lowest || parsed > highest)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

static bool Refuse(const char* what, const char* text)
{
    std::fprintf(stderr, "bench: %s: %s\n", what, text);
    PrintUsage();
    return false;
}

void PrintUsage()
{
    std::fprintf(
        stderr,
        "usage: quillowby_bench [--files N]... [--job fresh|shift|reverse|stop|ordering|preview|taken]... [--dir D] [--repeat R]\n"
        "  --files N   files per folder, 1 to 999999 (default: 1000, 10000 and 100000)\n"
        "  --job J     fresh, shift, reverse, stop: the shift job stopped after half of its steps,\n"
        "              ordering: the sorted orders alone, or preview: the\n"
        "              preview of a fresh run, or taken: the preview of a run in the date-taken\n"
        "              order over small photos (default: all)\n"
        "  --dir D     where the folders are made (default: a new folder under $TMPDIR or /tmp)\n"
        "  --repeat R  repetitions per case; the fastest counts (default: 3)\n");
}

bool ParseOptions(int argc, char** argv, BenchOptions& options)
{
    options = BenchOptions();
    options.repeat = 3;
    options.ordering = false;
    options.preview = false;
    options.taken = false;
    options.child = false;
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
            PrintUsage();
            return false;
        }
        if (std::strcmp(option, "--child") == 0) {
            options.child = true;
            continue;
        }
        if (i + 1 >= argc)
            return Refuse("missing value or unknown option", option);
        const char* value = argv[++i];
        if (std::strcmp(option, "--files") == 0) {
            // Six digits must hold every number a run gives.
            int count = 0;
            if (!ParseCount(value, 1, 999999, count))
                return Refuse("not a file count from 1 to 999999", value);
            options.fileCounts.push_back(count);
        } else if (std::strcmp(option, "--job") == 0) {
            BenchJob job = JobFresh;
            if (std::strcmp(value, "ordering") == 0)
                options.ordering = true;
            else if (std::strcmp(value, "preview") == 0)
                options.preview = true;
            else if (std::strcmp(value, "taken") == 0)
                options.taken = true;
            else if (JobFromName(value, job))
                options.jobs.push_back(job);
            else
                return Refuse("unknown job", value);
        } else if (std::strcmp(option, "--dir") == 0) {
            if (value[0] == '\0')
                return Refuse("empty folder", "--dir");
            options.dir = value;
        } else if (std::strcmp(option, "--repeat") == 0) {
            if (!ParseCount(value, 1, 100, options.repeat))
                return Refuse("not a repetition count from 1 to 100", value);
        } else {
            return Refuse("unknown option", option);
        }
    }
    if (options.fileCounts.empty())
        options.fileCounts = {1000, 10000, 100000};
    if (options.jobs.empty() && !options.ordering && !options.preview && !options.taken) {
        options.jobs = {JobFresh, JobShift, JobReverse, JobStop};
        options.ordering = true;
        options.preview = true;
        options.taken = true;
    }
    return true;
}
