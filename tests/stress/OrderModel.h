#ifndef QUILLOWBY_TESTS_STRESS_ORDER_MODEL_H
#define QUILLOWBY_TESTS_STRESS_ORDER_MODEL_H

#include <cstdint>
#include <string>

struct DateSpec;

// The natural name order as the tester reads it, apart from the engine's code: -1, 0 or +1.
int CompareNaturalModel(const std::string& a, const std::string& b, bool cp932);

// The local clock time a file must be ordered by, from the dates the tester wrote into it
// and onto it: the date taken where a date-taken order can read one, else the last-write time.
void OrderDateModel(const DateSpec& date, bool takenOrder, int64_t& seconds, int32_t& nanoseconds);

#endif
