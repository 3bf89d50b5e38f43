#ifndef QUILLOWBY_BENCH_CHILD_PROCESS_H
#define QUILLOWBY_BENCH_CHILD_PROCESS_H

#include <functional>
#include <string>
#include <vector>

// Runs one case in a process of its own, so that its memory is its own; false when it
// failed or crashed. A forked process runs runCase; on Windows, which cannot fork, the
// benchmark starts itself again with "--child" and caseOptions, the options of that case
// alone.
bool InChild(const char* what, const std::vector<std::string>& caseOptions, const std::function<bool()>& runCase);

// This process's id, which keeps the folders of cases running side by side apart.
int ProcessId();

#endif
