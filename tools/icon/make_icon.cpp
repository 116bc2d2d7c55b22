// make_icon OUTPUT.ico
//
// Draws the Quillsparrow icon (a warm grey rounded square split into four
// keys: plus, minus, times and an orange equals key) at every size the
// executable carries and writes them as one .ico of classic BMP images.
//
// Everything is integer arithmetic so the file comes out byte-identical on
// every machine; the build compares it with the committed copy.

#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <utility>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};

constexpr Rgb kFrame{86, 78, 72};     // gaps between the keys
constexpr Rgb kKey{150, 139, 128};    // the three operator keys
constexpr Rgb kOrange{240, 132, 36};  // the equals key
constexpr Rgb kCream{255, 243, 214};  // the signs

// Samples per pixel along each axis. Geometry is measured in "fine" units of
// 1/(2*kSub) pixel so sample centres land on odd values and every edge (a
// whole number of half pixels, i.e. a multiple of kSub) on even ones: no
// sample ever sits exactly on an edge.
constexpr int kSub = 16;

enum class Sign { Plus, Minus, Times, Equals };

// All lengths in half pixels. Straight strokes sit on whole pixels at every
// size so the small images stay sharp; only the rounded corners and the
// times sign are anti-aliased.
struct Layout {
    int size;        // pixels
    int gap;         // between the keys
    int radius;      // outer corners
    int keyRadius;   // inner corners of each key
    int stroke;      // width of + - = strokes
    int arm;         // half length of + - = strokes
    int barOffset;   // centre of each = bar from the key centre
    int crossArm;    // half length of each x stroke, along the diagonal
    int crossStroke; // width of the x strokes
    bool sharpCross; // x drawn on whole pixels, without anti-aliasing
};

constexpr Layout layoutFor(int size) {
    switch (size) {
    case 16: return {16, 4, 7, 0, 2, 5, 2, 6, 2, true};
    case 32: return {32, 4, 12, 2, 6, 9, 6, 13, 6, false};
    case 48: return {48, 8, 18, 4, 8, 12, 8, 17, 8, false};
    default: return {128, 16, 48, 10, 20, 32, 20, 44, 20, false};
    }
}

struct Pixel {
    Rgb colour;    // not premultiplied
    int coverage;  // samples inside the icon, 0..kSub*kSub
};

bool inRoundRect(long long x, long long y, long long x0, long long y0, long long x1, long long y1,
                 const std::array<long long, 4>& radii /* TL TR BL BR */) {
    if (x < x0 || x > x1 || y < y0 || y > y1)
        return false;
    const bool left = x < (x0 + x1) / 2;
    const bool top = y < (y0 + y1) / 2;
    const long long r = radii[(top ? 0 : 2) + (left ? 0 : 1)];
    const long long cx = left ? x0 + r : x1 - r;
    const long long cy = top ? y0 + r : y1 - r;
    const long long dx = left ? (x < cx ? cx - x : 0) : (x > cx ? x - cx : 0);
    const long long dy = top ? (y < cy ? cy - y : 0) : (y > cy ? y - cy : 0);
    return dx * dx + dy * dy <= r * r;
}

long long absll(long long v) { return v < 0 ? -v : v; }

// dx, dy: fine units from the key centre.
bool inSign(Sign sign, const Layout& l, long long dx, long long dy) {
    const long long half = static_cast<long long>(l.stroke) * kSub / 2;
    const long long arm = static_cast<long long>(l.arm) * kSub;
    const long long ax = absll(dx), ay = absll(dy);
    switch (sign) {
    case Sign::Plus:
        return (ax <= arm && ay <= half) || (ax <= half && ay <= arm);
    case Sign::Minus:
        return ax <= arm && ay <= half;
    case Sign::Equals: {
        const long long bar = static_cast<long long>(l.barOffset) * kSub;
        return ax <= arm && absll(ay - bar) <= half;
    }
    case Sign::Times: {
        // u and v are the diagonal coordinates scaled by sqrt(2), so the
        // limits are compared squared against twice the squared lengths.
        const long long u = dx + dy, v = dx - dy;
        const long long a = static_cast<long long>(l.crossArm) * kSub;
        const long long h = static_cast<long long>(l.crossStroke) * kSub / 2;
        const long long a2 = 2 * a * a, h2 = 2 * h * h;
        return (u * u <= a2 && v * v <= h2) || (v * v <= a2 && u * u <= h2);
    }
    }
    return false;
}

// Colour of the icon at one sample point, or false outside it. (cx, cy) is
// the centre of the pixel the sample belongs to.
bool sampleAt(const Layout& l, long long x, long long y, long long cx, long long cy, Rgb& out) {
    const long long size = static_cast<long long>(l.size) * 2 * kSub;
    const long long r = static_cast<long long>(l.radius) * kSub;
    const long long kr = static_cast<long long>(l.keyRadius) * kSub;
    if (!inRoundRect(x, y, 0, 0, size, size, {r, r, r, r}))
        return false;

    const long long key = (size - static_cast<long long>(l.gap) * kSub) / 2;
    const int col = x < size / 2 ? 0 : 1;
    const int row = y < size / 2 ? 0 : 1;
    const long long x0 = col == 0 ? 0 : size - key;
    const long long y0 = row == 0 ? 0 : size - key;
    std::array<long long, 4> radii{kr, kr, kr, kr};
    radii[row * 2 + col] = r;  // the corner shared with the outline
    if (!inRoundRect(x, y, x0, y0, x0 + key, y0 + key, radii)) {
        out = kFrame;
        return true;
    }

    static constexpr Sign signs[4] = {Sign::Plus, Sign::Minus, Sign::Times, Sign::Equals};
    const int quarter = row * 2 + col;
    const Sign sign = signs[quarter];
    const bool sharp = sign == Sign::Times && l.sharpCross;
    if (inSign(sign, l, (sharp ? cx : x) - (x0 + key / 2), (sharp ? cy : y) - (y0 + key / 2)))
        out = kCream;
    else
        out = quarter == 3 ? kOrange : kKey;
    return true;
}

// Row-major, top row first.
std::vector<Pixel> render(int size) {
    const Layout l = layoutFor(size);
    std::vector<Pixel> pixels(static_cast<size_t>(size) * size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            long long r = 0, g = 0, b = 0;
            int n = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    const long long x = 2LL * (px * kSub + sx) + 1;
                    const long long y = 2LL * (py * kSub + sy) + 1;
                    Rgb c;
                    if (sampleAt(l, x, y, 2LL * px * kSub + kSub, 2LL * py * kSub + kSub, c)) {
                        r += c.r;
                        g += c.g;
                        b += c.b;
                        ++n;
                    }
                }
            }
            Pixel& p = pixels[static_cast<size_t>(py) * size + px];
            p.coverage = n;
            if (n > 0)
                p.colour = {static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
                            static_cast<int>((b + n / 2) / n)};
            else
                p.colour = {0, 0, 0};
        }
    }
    return pixels;
}

constexpr int kFullCoverage = kSub * kSub;

int alphaOf(const Pixel& p) { return (p.coverage * 255 + kFullCoverage / 2) / kFullCoverage; }

// Images without an alpha channel show a pixel when at least half of it is
// covered.
bool opaqueInMask(const Pixel& p) { return p.coverage * 2 >= kFullCoverage; }

// The standard Windows 16-colour palette, in the order 4-bit icons use.
std::vector<Rgb> palette16() {
    return {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
            {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
}

// The 16 standard colours, the 6x6x6 colour cube, and the icon's own four
// colours with five blends between each neighbouring pair (the anti-aliased
// edges inside the picture), so the 8-bit images need little dithering.
std::vector<Rgb> palette256() {
    std::vector<Rgb> pal = palette16();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pal.push_back({r * 51, g * 51, b * 51});
    const Rgb keys[4] = {kFrame, kKey, kOrange, kCream};
    for (const Rgb& k : keys)
        pal.push_back(k);
    const std::pair<Rgb, Rgb> edges[4] = {
        {kFrame, kKey}, {kFrame, kOrange}, {kKey, kCream}, {kOrange, kCream}};
    for (const auto& [a, b] : edges)
        for (int k = 1; k <= 5; ++k)
            pal.push_back({(a.r * (6 - k) + b.r * k + 3) / 6, (a.g * (6 - k) + b.g * k + 3) / 6,
                           (a.b * (6 - k) + b.b * k + 3) / 6});
    return pal;
}

// Squared distance in a luma / colour-difference space (times 1e6), so that
// two colours of different hue count as far apart even at equal brightness.
long long colourDistance(long long dr, long long dg, long long db) {
    const long long y = dr * 299 + dg * 587 + db * 114;
    const long long u = db * 1000 - y;
    const long long v = dr * 1000 - y;
    return y * y + u * u + v * v;
}

constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
constexpr int kLevels = 16;

// A colour is drawn as a 4x4 ordered pattern of two palette colours. The pair
// and the share of the second colour are the closest mix, with a penalty for
// mixing far-apart colours so flat areas stay calm instead of sprinkling
// unrelated hues (error diffusion does that on the 16-colour palette).
struct Mix {
    int first, second, share;  // share of `second` in 1/kLevels
};

Mix bestMix(const std::vector<Rgb>& pal, const Rgb& c) {
    Mix best{0, 0, 0};
    long long bestErr = -1;
    const int n = static_cast<int>(pal.size());
    for (int i = 0; i < n; ++i) {
        for (int j = i; j < n; ++j) {
            const Rgb& a = pal[static_cast<size_t>(i)];
            const Rgb& b = pal[static_cast<size_t>(j)];
            const long long spread = colourDistance(a.r - b.r, a.g - b.g, a.b - b.b);
            for (int k = 0; k <= (i == j ? 0 : kLevels); ++k) {
                // 20 * kLevels^2 times: distance to the mix plus a tenth of
                // the pair's spread, weighted by (|share - 1/2| + 1/2).
                const long long dr = 1LL * c.r * kLevels - (a.r * (kLevels - k) + b.r * k);
                const long long dg = 1LL * c.g * kLevels - (a.g * (kLevels - k) + b.g * k);
                const long long db = 1LL * c.b * kLevels - (a.b * (kLevels - k) + b.b * k);
                const int off = 2 * k - kLevels;
                const long long err = colourDistance(dr, dg, db) * 20 +
                                      spread * ((off < 0 ? -off : off) + kLevels) * kLevels;
                if (bestErr < 0 || err < bestErr) {
                    bestErr = err;
                    best = {i, j, k};
                }
            }
        }
    }
    return best;
}

// Palette index per pixel; transparent pixels get index 0 (black, which the
// AND mask turns into "leave the screen alone").
std::vector<int> dither(const std::vector<Pixel>& pixels, int size, const std::vector<Rgb>& pal) {
    std::vector<int> out(pixels.size(), 0);
    std::map<std::array<int, 3>, Mix> cache;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Pixel& p = pixels[static_cast<size_t>(y) * size + x];
            if (!opaqueInMask(p))
                continue;
            const std::array<int, 3> key{p.colour.r, p.colour.g, p.colour.b};
            auto it = cache.find(key);
            if (it == cache.end())
                it = cache.emplace(key, bestMix(pal, p.colour)).first;
            const Mix& m = it->second;
            out[static_cast<size_t>(y) * size + x] = kBayer[y % 4][x % 4] < m.share ? m.second : m.first;
        }
    }
    return out;
}

class Bytes {
public:
    void u8(int v) { data_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(int v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<int>((v >> (8 * i)) & 0xFF));
    }
    void pad4(size_t rowStart) {
        while ((data_.size() - rowStart) % 4 != 0)
            u8(0);
    }
    void append(const Bytes& other) { data_.insert(data_.end(), other.data_.begin(), other.data_.end()); }
    size_t size() const { return data_.size(); }
    const std::vector<std::uint8_t>& data() const { return data_; }

private:
    std::vector<std::uint8_t> data_;
};

size_t rowBytes(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

// One icon image: BITMAPINFOHEADER (height doubled), palette, XOR bitmap and
// AND mask, both bottom row first.
Bytes encodeImage(int size, int bits) {
    const std::vector<Pixel> pixels = render(size);
    std::vector<Rgb> pal;
    std::vector<int> indices;
    if (bits <= 8) {
        pal = bits == 4 ? palette16() : palette256();
        indices = dither(pixels, size, pal);
    }
    auto at = [&](int x, int y) -> const Pixel& { return pixels[static_cast<size_t>(y) * size + x]; };
    auto transparent = [&](int x, int y) {
        return bits == 32 ? alphaOf(at(x, y)) == 0 : !opaqueInMask(at(x, y));
    };

    const size_t xorSize = rowBytes(size, bits) * size;
    const size_t andSize = rowBytes(size, 1) * size;
    Bytes out;
    out.u32(40);
    out.u32(static_cast<std::uint32_t>(size));
    out.u32(static_cast<std::uint32_t>(size * 2));
    out.u16(1);
    out.u16(bits);
    out.u32(0);  // BI_RGB
    out.u32(static_cast<std::uint32_t>(xorSize + andSize));
    out.u32(0);
    out.u32(0);
    out.u32(0);  // all 2^bits palette entries are present
    out.u32(0);
    for (const Rgb& c : pal) {
        out.u8(c.b);
        out.u8(c.g);
        out.u8(c.r);
        out.u8(0);
    }

    for (int y = size - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < size; ++x) {
            const Pixel& p = at(x, y);
            const bool clear = transparent(x, y);
            switch (bits) {
            case 4: {
                const int hi = indices[static_cast<size_t>(y) * size + x];
                const int lo = indices[static_cast<size_t>(y) * size + x + 1];
                out.u8(hi << 4 | lo);
                ++x;
                break;
            }
            case 8:
                out.u8(indices[static_cast<size_t>(y) * size + x]);
                break;
            case 24:
                out.u8(clear ? 0 : p.colour.b);
                out.u8(clear ? 0 : p.colour.g);
                out.u8(clear ? 0 : p.colour.r);
                break;
            default:
                out.u8(clear ? 0 : p.colour.b);
                out.u8(clear ? 0 : p.colour.g);
                out.u8(clear ? 0 : p.colour.r);
                out.u8(alphaOf(p));
                break;
            }
        }
        out.pad4(start);
    }

    for (int y = size - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x0 = 0; x0 < size; x0 += 8) {
            int byte = 0;
            for (int b = 0; b < 8 && x0 + b < size; ++b)
                if (transparent(x0 + b, y))
                    byte |= 0x80 >> b;
            out.u8(byte);
        }
        out.pad4(start);
    }
    return out;
}

struct Entry {
    int size, bits;
};

// Order matters: it is the order of the executable's icon group.
constexpr Entry kEntries[] = {{48, 4},  {32, 4},  {16, 4},  {48, 8},  {32, 8},
                              {16, 8},  {128, 32}, {48, 32}, {32, 24}, {16, 32}};

Bytes encodeIcon() {
    constexpr int count = sizeof kEntries / sizeof kEntries[0];
    std::vector<Bytes> images;
    for (const Entry& e : kEntries)
        images.push_back(encodeImage(e.size, e.bits));

    Bytes out;
    out.u16(0);
    out.u16(1);  // icon
    out.u16(count);
    std::uint32_t offset = 6 + 16 * count;
    for (int i = 0; i < count; ++i) {
        const Entry& e = kEntries[i];
        out.u8(e.size & 0xFF);  // 256 would be stored as 0
        out.u8(e.size & 0xFF);
        out.u8(e.bits == 4 ? 16 : 0);
        out.u8(0);
        out.u16(1);
        out.u16(e.bits);
        out.u32(static_cast<std::uint32_t>(images[i].size()));
        out.u32(offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const Bytes& img : images)
        out.append(img);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_icon OUTPUT.ico\n";
        return 2;
    }
    const Bytes icon = encodeIcon();
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(icon.data().data()),
               static_cast<std::streamsize>(icon.size()));
    file.close();
    if (!file) {
        std::cerr << "make_icon: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
