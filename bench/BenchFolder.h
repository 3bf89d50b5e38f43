#ifndef QUILLOWBY_BENCH_BENCH_FOLDER_H
#define QUILLOWBY_BENCH_BENCH_FOLDER_H

#include "bench/BenchJobs.h"

#include <string>
#include <sys/types.h>
#include <vector>

// Creates folder with one empty file per source name of the job and notes each file's
// inode, so that a run can be checked file by file. Everything is flushed to the disk
// before it returns: timed work must not pay for writing back the creation.
bool MakeFolderOfFiles(const std::string& folder, BenchJob job, int fileCount, std::vector<ino_t>& inodes);

// The number of names in folder, "." and ".." left out; -1 when it cannot be read.
int CountNames(const std::string& folder);

// Removes folder and everything in it, sub-folders too.
bool RemoveFolder(const std::string& folder);

#endif
