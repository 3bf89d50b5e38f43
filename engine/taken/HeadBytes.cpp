#include "engine/taken/HeadBytes.h"

#include <climits>

BudgetedSource::BudgetedSource(HeadSource& file, int budget) : file_(file), left_(budget), size_(file.Size()) {}

int BudgetedSource::ReadAt(uint64_t offset, void* buffer, int size)
{
    if (size <= 0)
        return 0;
    if (size > left_) {
        left_ = 0;
        return -1;
    }
    left_ -= size;
    int got = file_.ReadAt(offset, buffer, size);
    return got > size ? -1 : got;
}

uint64_t BudgetedSource::Size() const
{
    return size_;
}

bool ReadFully(HeadSource& file, uint64_t offset, void* buffer, uint64_t size)
{
    if (size == 0)
        return true;
    if (size > INT_MAX || !FitsWithin(offset, size, file.Size()))
        return false;
    int asked = static_cast<int>(size);
    return file.ReadAt(offset, buffer, asked) == asked;
}
