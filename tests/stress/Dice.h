#ifndef QUILLOWBY_TESTS_STRESS_DICE_H
#define QUILLOWBY_TESTS_STRESS_DICE_H

#include <cstdint>
#include <string>
#include <vector>

// A small generator of our own (splitmix64): the same seed gives the same scenarios with
// every compiler and standard library, natively and under Wine.
class Dice
{
public:
    explicit Dice(uint64_t seed) : state(seed) {}

    uint64_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1; 0 when n is 0.
    uint32_t Below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(Next() % n); }
    // lo .. hi, both included.
    int Between(int lo, int hi) { return lo + static_cast<int>(Below(static_cast<uint32_t>(hi - lo + 1))); }
    bool Percent(int chance) { return Below(100) < static_cast<uint32_t>(chance); }
    template <typename T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[Below(static_cast<uint32_t>(items.size()))];
    }

private:
    uint64_t state;
};

// The seed of scenario `index` of a run with `seed`, so that any one scenario can be replayed.
inline uint64_t ScenarioSeed(uint64_t seed, uint64_t index)
{
    Dice mix(seed ^ (index * 0xD1B54A32D192ED03ull));
    mix.Next();
    return mix.Next();
}

#endif
