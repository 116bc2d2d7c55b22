// Checks the committed program icon: the directory the resource compiler
// copies into icon group 101, the BMP images behind it, and enough of the
// picture to notice a broken render.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#ifndef QUILLSPARROW_ICON
#error "QUILLSPARROW_ICON must name the .ico under test"
#endif

namespace {

std::vector<std::uint8_t> readIcon() {
    std::ifstream in(QUILLSPARROW_ICON, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<std::uint8_t>& iconBytes() {
    static const std::vector<std::uint8_t> bytes = readIcon();
    return bytes;
}

std::uint32_t le(const std::vector<std::uint8_t>& d, size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | d.at(at + static_cast<size_t>(i));
    return v;
}

struct Expected {
    int size, bits, colours;
};

constexpr Expected kExpected[] = {{48, 4, 16}, {32, 4, 16}, {16, 4, 16}, {48, 8, 0},  {32, 8, 0},
                                  {16, 8, 0},  {128, 32, 0}, {48, 32, 0}, {32, 24, 0}, {16, 32, 0}};
constexpr int kCount = sizeof kExpected / sizeof kExpected[0];

size_t stride(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

struct Rgba {
    int r, g, b, a;
};

// One image of the file, read through its directory entry.
class Image {
public:
    explicit Image(int index) : d_(iconBytes()) {
        const size_t entry = 6 + 16 * static_cast<size_t>(index);
        size_ = d_.at(entry) == 0 ? 256 : d_.at(entry);
        bits_ = static_cast<int>(le(d_, entry + 6, 2));
        offset_ = le(d_, entry + 12, 4);
        paletteSize_ = bits_ <= 8 ? (1u << bits_) : 0;
        xor_ = offset_ + 40 + 4 * paletteSize_;
        and_ = xor_ + stride(size_, bits_) * size_;
    }

    int size() const { return size_; }
    int bits() const { return bits_; }

    bool masked(int x, int y) const {
        const size_t row = and_ + stride(size_, 1) * static_cast<size_t>(size_ - 1 - y);
        return (d_.at(row + static_cast<size_t>(x) / 8) >> (7 - x % 8) & 1) != 0;
    }

    // Colour as stored in the XOR bitmap; alpha from the alpha channel when
    // there is one, otherwise from the AND mask.
    Rgba pixel(int x, int y) const {
        const size_t row = xor_ + stride(size_, bits_) * static_cast<size_t>(size_ - 1 - y);
        size_t at;
        if (bits_ <= 8) {
            int index = d_.at(row + static_cast<size_t>(x) * bits_ / 8);
            if (bits_ == 4)
                index = x % 2 == 0 ? index >> 4 : index & 15;
            at = offset_ + 40 + 4 * static_cast<size_t>(index);
        } else {
            at = row + static_cast<size_t>(x) * (bits_ / 8);
        }
        const int a = bits_ == 32 ? d_.at(at + 3) : (masked(x, y) ? 0 : 255);
        return {d_.at(at + 2), d_.at(at + 1), d_.at(at), a};
    }

private:
    const std::vector<std::uint8_t>& d_;
    int size_, bits_;
    size_t offset_, paletteSize_, xor_, and_;
};

TEST(IconFile, DirectoryListsTheImagesInResourceOrder) {
    const auto& d = iconBytes();
    ASSERT_GE(d.size(), 6u + 16u * kCount) << QUILLSPARROW_ICON;
    EXPECT_EQ(le(d, 0, 2), 0u);
    EXPECT_EQ(le(d, 2, 2), 1u);
    ASSERT_EQ(le(d, 4, 2), static_cast<std::uint32_t>(kCount));
    for (int i = 0; i < kCount; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const size_t e = 6 + 16 * static_cast<size_t>(i);
        EXPECT_EQ(d[e], kExpected[i].size);
        EXPECT_EQ(d[e + 1], kExpected[i].size);
        EXPECT_EQ(d[e + 2], kExpected[i].colours);
        EXPECT_EQ(d[e + 3], 0);
        EXPECT_EQ(le(d, e + 4, 2), 1u);
        EXPECT_EQ(le(d, e + 6, 2), static_cast<std::uint32_t>(kExpected[i].bits));
    }
}

TEST(IconFile, ImagesAreBitmapsThatFillTheFileInOrder) {
    const auto& d = iconBytes();
    ASSERT_GE(d.size(), 6u + 16u * kCount);
    size_t expectedOffset = 6 + 16 * kCount;
    for (int i = 0; i < kCount; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const size_t e = 6 + 16 * static_cast<size_t>(i);
        const size_t bytes = le(d, e + 8, 4);
        const size_t offset = le(d, e + 12, 4);
        ASSERT_EQ(offset, expectedOffset);
        ASSERT_LE(offset + bytes, d.size());
        expectedOffset = offset + bytes;

        const int n = kExpected[i].size, bits = kExpected[i].bits;
        EXPECT_EQ(le(d, offset, 4), 40u);
        EXPECT_EQ(le(d, offset + 4, 4), static_cast<std::uint32_t>(n));
        EXPECT_EQ(le(d, offset + 8, 4), static_cast<std::uint32_t>(2 * n));
        EXPECT_EQ(le(d, offset + 12, 2), 1u);
        EXPECT_EQ(le(d, offset + 14, 2), static_cast<std::uint32_t>(bits));
        EXPECT_EQ(le(d, offset + 16, 4), 0u);  // BI_RGB
        const std::uint32_t used = le(d, offset + 32, 4);
        const size_t palette = bits <= 8 ? (used ? used : 1u << bits) : used;
        EXPECT_EQ(palette, bits == 4 ? 16u : bits == 8 ? 256u : 0u);
        EXPECT_EQ(bytes, 40 + 4 * palette + stride(n, bits) * n + stride(n, 1) * n);
    }
    EXPECT_EQ(expectedOffset, d.size());
}

// Every image, whatever its depth, must show the keypad: transparent
// corners, an opaque body, grey keys with cream signs, an orange equals key,
// a plus (as tall as wide) upper left and a minus (flat) upper right.
TEST(IconFile, EveryImageShowsTheKeypad) {
    for (int i = 0; i < kCount; ++i) {
        const Image img(i);
        const int n = img.size();
        SCOPED_TRACE("image " + std::to_string(i) + ": " + std::to_string(n) + "x" +
                     std::to_string(n) + "x" + std::to_string(img.bits()));
        const std::pair<int, int> corners[] = {{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}};
        for (const auto& [x, y] : corners) {
            EXPECT_EQ(img.pixel(x, y).a, 0) << x << "," << y;
            EXPECT_TRUE(img.masked(x, y)) << x << "," << y;
        }
        EXPECT_FALSE(img.masked(n / 2, n / 2));
        EXPECT_EQ(img.pixel(n / 2, n / 2).a, 255);

        struct Quarter {
            long long r = 0, g = 0, b = 0, count = 0;
            int grey = 0;
            int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;  // cream pixels
        } q[4];
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const Rgba p = img.pixel(x, y);
                if (p.a != 255)
                    continue;
                Quarter& s = q[(y < n / 2 ? 0 : 2) + (x < n / 2 ? 0 : 1)];
                s.r += p.r;
                s.g += p.g;
                s.b += p.b;
                ++s.count;
                const int hi = std::max({p.r, p.g, p.b}), lo = std::min({p.r, p.g, p.b});
                if (hi - lo < 40 && lo > 90 && hi < 200)
                    ++s.grey;
                if (lo > 200) {
                    s.left = std::min(s.left, x);
                    s.right = std::max(s.right, x);
                    s.top = std::min(s.top, y);
                    s.bottom = std::max(s.bottom, y);
                }
            }
        }
        for (int k = 0; k < 4; ++k)
            ASSERT_GT(q[k].right, 0) << "no sign in quarter " << k;

        EXPECT_GT(q[0].grey, q[0].count / 3);
        EXPECT_GT(q[3].r - q[3].b, 80 * q[3].count) << "lower right key is not orange";
        const Rgba mid = img.pixel(3 * n / 4, 3 * n / 4);
        const bool orange = mid.r > 200 && mid.b < 100;
        const bool cream = std::min({mid.r, mid.g, mid.b}) > 180 && mid.r > 240;
        EXPECT_TRUE(orange || cream) << mid.r << "," << mid.g << "," << mid.b;

        const int plusW = q[0].right - q[0].left + 1, plusH = q[0].bottom - q[0].top + 1;
        const int minusW = q[1].right - q[1].left + 1, minusH = q[1].bottom - q[1].top + 1;
        EXPECT_EQ(plusW, plusH);
        EXPECT_LT(2 * minusH, minusW);
        EXPECT_GE(plusW, n / 4);
    }
}

// Only alpha-channel images have soft edges; their AND mask must still hide
// exactly the fully transparent pixels, and masked pixels of the others must
// be black or they would tint the screen behind the icon.
TEST(IconFile, MasksAgreeWithTheColourData) {
    for (int i = 0; i < kCount; ++i) {
        const Image img(i);
        const int n = img.size();
        SCOPED_TRACE("image " + std::to_string(i));
        int partial = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const Rgba p = img.pixel(x, y);
                if (img.bits() == 32) {
                    EXPECT_EQ(img.masked(x, y), p.a == 0) << x << "," << y;
                    partial += p.a > 0 && p.a < 255;
                } else if (img.masked(x, y)) {
                    EXPECT_EQ(p.r + p.g + p.b, 0) << x << "," << y;
                }
            }
        }
        if (img.bits() == 32) {
            EXPECT_GE(partial, n / 2) << "edges are not anti-aliased";
        }
    }
}

}  // namespace
