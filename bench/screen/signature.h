#pragma once
// A picture of the word display reduced to what tells one word from another:
// the red and the dark ink summed per column and per row, and an exact hash of
// the pixels. Shared by the window under test (which renders its references)
// and the observer (which reads the screen back), so both reduce alike.
// Plain C++: pixels come as 0x00RRGGBB through an accessor.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace screen {

struct Signature {
    std::uint64_t hash = 0;          // of every pixel looked at
    std::vector<std::uint16_t> sums; // red per column, dark per column, red per row, dark per row
};

inline int redness(std::uint32_t p) {
    const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
    return std::max(0, r - std::max(g, b));
}

inline int darkness(std::uint32_t p) {
    const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
    return 255 - std::max({r, g, b});
}

// `pixel(x, y)` for 0 <= x < width, 0 <= y < height. The outer `border`
// pixels (the frame) and the column `skipColumn` (the tick marks) are left out.
template <typename Pixel>
Signature signatureOf(int width, int height, int border, int skipColumn, Pixel pixel) {
    Signature s;
    const int w = width - 2 * border, h = height - 2 * border;
    std::vector<std::uint32_t> sums(2 * static_cast<size_t>(w) + 2 * static_cast<size_t>(h), 0);
    std::uint64_t hash = 1469598103934665603ULL;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (x + border == skipColumn)
                continue;
            const std::uint32_t p = pixel(x + border, y + border) & 0xffffffu;
            hash = (hash ^ p) * 1099511628211ULL;
            const int red = redness(p), dark = darkness(p);
            sums[static_cast<size_t>(x)] += static_cast<std::uint32_t>(red);
            sums[static_cast<size_t>(w + x)] += static_cast<std::uint32_t>(dark);
            sums[static_cast<size_t>(2 * w + y)] += static_cast<std::uint32_t>(red);
            sums[static_cast<size_t>(2 * w + h + y)] += static_cast<std::uint32_t>(dark);
        }
    }
    s.hash = hash;
    s.sums.reserve(sums.size());
    for (std::uint32_t v : sums)
        s.sums.push_back(static_cast<std::uint16_t>(std::min<std::uint32_t>(v / 4, 65535)));
    return s;
}

// 0 for the same ink, 1 for ink in entirely different places; two blank
// pictures are the same.
inline double distance(const Signature& a, const Signature& b) {
    if (a.sums.size() != b.sums.size())
        return 1;
    double diff = 0, total = 0;
    for (size_t i = 0; i < a.sums.size(); ++i) {
        diff += std::abs(int(a.sums[i]) - int(b.sums[i]));
        total += a.sums[i] + b.sums[i];
    }
    return total == 0 ? 0 : diff / total;
}

} // namespace screen
