#pragma once

#include <QList>
#include <cstdint>
#include <initializer_list>
#include <random>

namespace zs::demo {

// The generator's random numbers: a fixed engine and plain arithmetic, so one
// seed gives the same bank on every machine and library.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : engine_(seed) {}

    // 0 … n−1 (n > 0).
    int below(int n) { return int(engine_() % std::uint32_t(n)); }
    // lo … hi inclusive.
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    // True with probability p.
    bool chance(double p) { return engine_() < std::uint32_t(p * 4294967295.0); }
    // An index chosen with the given weights.
    int weighted(std::initializer_list<int> weights) {
        int total = 0;
        for (int w : weights)
            total += w;
        int r = below(total);
        int i = 0;
        for (int w : weights) {
            if (r < w)
                return i;
            r -= w;
            ++i;
        }
        return i - 1;
    }
    template <typename T> void shuffle(QList<T>& list) {
        for (qsizetype i = list.size() - 1; i > 0; --i)
            list.swapItemsAt(i, below(int(i + 1)));
    }

private:
    std::mt19937 engine_;
};

}  // namespace zs::demo
