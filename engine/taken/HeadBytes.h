#ifndef QUILLOWBY_ENGINE_TAKEN_HEAD_BYTES_H
#define QUILLOWBY_ENGINE_TAKEN_HEAD_BYTES_H

#include "engine/taken/TakenTime.h"

#include <cstdint>

// Passes reads on while the bytes asked for in all stay within a budget; a read that would
// go beyond it fails without reaching the file, and so does every read after it.
class BudgetedSource : public HeadSource
{
public:
    BudgetedSource(HeadSource& file, int budget);
    int ReadAt(uint64_t offset, void* buffer, int size) override;
    uint64_t Size() const override;

private:
    BudgetedSource(const BudgetedSource&);
    void operator=(const BudgetedSource&);

    HeadSource& file_;
    int left_;
    // Asked once: the walks measure every offset against it.
    uint64_t size_;
};

// Reads exactly size bytes at offset; false when they do not all lie within the file or the
// read comes short. Nothing is asked of the file for a range that passes its end.
bool ReadFully(HeadSource& file, uint64_t offset, void* buffer, uint64_t size);

// Whether [offset, offset + size) lies within [0, limit), without overflow.
inline bool FitsWithin(uint64_t offset, uint64_t size, uint64_t limit)
{
    return offset <= limit && size <= limit - offset;
}

inline uint32_t BigU16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 8 | p[1];
}

inline uint32_t BigU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
           p[3];
}

inline uint64_t BigU64(const uint8_t* p)
{
    return static_cast<uint64_t>(BigU32(p)) << 32 | BigU32(p + 4);
}

inline uint32_t LittleU16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[1]) << 8 | p[0];
}

inline uint32_t LittleU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 |
           p[0];
}

#endif
