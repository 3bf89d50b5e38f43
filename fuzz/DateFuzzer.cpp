// Fuzzes the date-taken reader with whole file heads: the input is the file, read once as it
// is and once as the head of a file 4 GB longer, zeros beyond it, so that offsets and box
// sizes far past the input are followed as they would be in a large video. The reader must
// keep to its budget and give a date it could have read, or none at all.
#include "engine/taken/DateTaken.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool holds, const char* rule)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

class InputSource : public HeadSource
{
public:
    InputSource(const uint8_t* data, size_t size, uint64_t reported)
        : asked(0), data_(data), size_(size), reported_(reported)
    {
    }

    int ReadAt(uint64_t offset, void* buffer, int size) override
    {
        Require(size > 0, "a read asks for at least one byte");
        asked += static_cast<uint64_t>(size);
        if (offset >= reported_)
            return 0;
        uint64_t got = reported_ - offset < static_cast<uint64_t>(size) ? reported_ - offset : size;
        std::memset(buffer, 0, static_cast<size_t>(got));
        if (offset < size_)
            std::memcpy(buffer, data_ + offset, static_cast<size_t>(size_ - offset < got ? size_ - offset : got));
        return static_cast<int>(got);
    }

    uint64_t Size() const override { return reported_; }

    uint64_t asked;

private:
    const uint8_t* data_;
    size_t size_;
    uint64_t reported_;
};

void Check(const uint8_t* data, size_t size, uint64_t reported)
{
    InputSource file(data, size, reported);
    TakenTime taken;
    bool read = ReadDateTaken(file, taken);
    Require(file.asked <= static_cast<uint64_t>(kDateReadBudget), "no more than the budget is read");
    Require(read == (taken.kind != TakenNone), "a date is given exactly when one is read");
    Require(taken.nanoseconds >= 0 && taken.nanoseconds < 1000000000, "a fraction is less than a second");
    Require(taken.offsetMinutes >= -14 * 60 && taken.offsetMinutes <= 14 * 60, "an offset is one a clock can have");
    Require(taken.kind == TakenWithOffset || taken.offsetMinutes == 0, "only a date with an offset has one");
    // From the year 1 (a camera's text) or 1904 (a video's) up to the end of the year 9999.
    Require(taken.seconds >= -62135596800 && taken.seconds <= 253402300799, "a date within the years 1 to 9999");
    Require(taken.kind != TakenNone || taken.seconds == 0, "no date is all zeros");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Check(data, size, size);
    Check(data, size, size + (4ull << 30));
    return 0;
}
