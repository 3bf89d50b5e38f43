#ifndef QUILLOWBY_BENCH_SORT_TIMING_H
#define QUILLOWBY_BENCH_SORT_TIMING_H

const int kSortedOrderCount = 4;

// "ext-ascending", "name-ascending", "ext-descending", "name-descending" for the orders
// 0 to 3.
const char* SortedOrderName(int order);

// Seconds the ordering takes over fileCount entries of photo-like names with mixed
// extensions, for each sorted order; the fastest of `repeat`, each starting from the same
// shuffled arrangement.
struct SortTimes
{
    double seconds[kSortedOrderCount];
};
void TimeSorts(int fileCount, int repeat, SortTimes& times);

#endif
