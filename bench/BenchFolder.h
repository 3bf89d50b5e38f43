#ifndef QUILLOWBY_BENCH_BENCH_FOLDER_H
#define QUILLOWBY_BENCH_BENCH_FOLDER_H

#include "bench/BenchJobs.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What tells one file from another on its volume, whatever its name: the inode number, or
// the file index on Windows.
typedef uint64_t FileId;

// Makes dir when it is not there and tells whether it is a folder; an empty dir becomes a
// fresh folder under the system's temporary folder (madeHere then says so). False, with a
// message on stderr, when it cannot.
bool PrepareBenchDir(std::string& dir, bool& madeHere);

// Creates folder with one empty file per source name of the job and notes each file's id,
// so that a run can be checked file by file. Everything is flushed to the disk before it
// returns where the platform can: timed work must not pay for writing back the creation.
bool MakeFolderOfFiles(const std::string& folder, BenchJob job, int fileCount, std::vector<FileId>& ids);
// Creates folder with one file per source name of the job, holding what content gives for
// its index; flushed like MakeFolderOfFiles.
bool MakeFolderOfContents(const std::string& folder, BenchJob job, int fileCount,
                          const std::function<std::string(int)>& content);
// Lists folder and reads the start of every file in it the barest way: one open, one read
// of its first 4 KB and one close, by whole paths. The number of files read; -1 when the
// folder cannot be listed or a file cannot be read.
int ReadFileStarts(const std::string& folder);
// The id of the file at path; false when there is none.
bool IdOfFile(const std::string& path, FileId& id);
// The number of names in folder, "." and ".." left out; -1 when it cannot be read.
int CountNames(const std::string& folder);
// Removes folder and everything in it, sub-folders too.
bool RemoveFolder(const std::string& folder);
bool RemoveFile(const std::string& path);
// What separates a folder from a name in the paths the benchmark makes.
char PathSeparator();

#endif
