// GIF writing through giflib. Indexed pictures keep their indices and table; others are
// reduced to at most 256 colours: exactly when they have that few, otherwise by median cut
// refined with a few k-means passes over a 15-bit colour histogram.
#include "platform/gdiplus/gp_image.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

namespace {

constexpr int HISTOGRAM_BITS = 5;
constexpr int BINS = 1 << (3 * HISTOGRAM_BITS);
constexpr int KMEANS_PASSES = 4;

int BinOf(std::uint32_t rgb) {
    const int r = (rgb >> (16 + 8 - HISTOGRAM_BITS)) & 31;
    const int g = (rgb >> (8 + 8 - HISTOGRAM_BITS)) & 31;
    const int b = (rgb >> (8 - HISTOGRAM_BITS)) & 31;
    return (r << 10) | (g << 5) | b;
}

struct Bin {
    std::uint64_t count = 0;
    std::uint64_t sum[3] = {};
    int Channel(int c) const { return static_cast<int>(sum[c] / count); }
};

struct Box {
    std::vector<int> bins; // indices of non-empty histogram bins
    std::uint64_t pixels = 0;
    int lo[3] = {255, 255, 255};
    int hi[3] = {0, 0, 0};
};

void Measure(const std::vector<Bin>& hist, Box* box) {
    box->pixels = 0;
    for (int c = 0; c < 3; ++c) {
        box->lo[c] = 255;
        box->hi[c] = 0;
    }
    for (int b : box->bins) {
        box->pixels += hist[b].count;
        for (int c = 0; c < 3; ++c) {
            box->lo[c] = std::min(box->lo[c], hist[b].Channel(c));
            box->hi[c] = std::max(box->hi[c], hist[b].Channel(c));
        }
    }
}

int Distance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    const int dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return 2 * dr * dr + 4 * dg * dg + db * db; // rough weighting by the eye's sensitivity
}

// A palette of at most 256 colours for a picture with more.
std::vector<std::array<int, 3>> MedianCut(const std::vector<Bin>& hist) {
    std::vector<Box> boxes(1);
    for (int b = 0; b < BINS; ++b) {
        if (hist[b].count > 0) {
            boxes[0].bins.push_back(b);
        }
    }
    Measure(hist, &boxes[0]);
    while (boxes.size() < 256) {
        // Split the box with the widest channel range weighted by its pixels.
        int best = -1;
        double bestScore = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].bins.size() < 2) {
                continue;
            }
            int range = 0;
            for (int c = 0; c < 3; ++c) {
                range = std::max(range, boxes[i].hi[c] - boxes[i].lo[c]);
            }
            const double score = static_cast<double>(range) * static_cast<double>(boxes[i].pixels);
            if (score > bestScore) {
                bestScore = score;
                best = static_cast<int>(i);
            }
        }
        if (best < 0) {
            break;
        }
        Box& box = boxes[best];
        int axis = 0;
        for (int c = 1; c < 3; ++c) {
            if (box.hi[c] - box.lo[c] > box.hi[axis] - box.lo[axis]) {
                axis = c;
            }
        }
        std::sort(box.bins.begin(), box.bins.end(),
                  [&](int a, int b) { return hist[a].Channel(axis) < hist[b].Channel(axis); });
        std::uint64_t half = box.pixels / 2, seen = 0;
        std::size_t cut = 1;
        for (; cut < box.bins.size() - 1; ++cut) {
            seen += hist[box.bins[cut - 1]].count;
            if (seen >= half) {
                break;
            }
        }
        Box upper;
        upper.bins.assign(box.bins.begin() + static_cast<std::ptrdiff_t>(cut), box.bins.end());
        box.bins.resize(cut);
        Measure(hist, &box);
        Measure(hist, &upper);
        boxes.push_back(std::move(upper));
    }
    std::vector<std::array<int, 3>> palette;
    for (const Box& box : boxes) {
        std::uint64_t sum[3] = {};
        for (int b : box.bins) {
            for (int c = 0; c < 3; ++c) {
                sum[c] += hist[b].sum[c];
            }
        }
        palette.push_back({static_cast<int>(sum[0] / box.pixels),
                           static_cast<int>(sum[1] / box.pixels),
                           static_cast<int>(sum[2] / box.pixels)});
    }
    return palette;
}

int Nearest(const std::vector<std::array<int, 3>>& palette, const std::array<int, 3>& colour) {
    int best = 0, bestDistance = INT32_MAX;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int d = Distance(palette[i], colour);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// Moves each palette colour to the mean of the histogram bins nearest to it.
void Refine(const std::vector<Bin>& hist, std::vector<std::array<int, 3>>* palette) {
    for (int pass = 0; pass < KMEANS_PASSES; ++pass) {
        std::vector<std::array<std::uint64_t, 4>> sums(palette->size(), {0, 0, 0, 0});
        for (int b = 0; b < BINS; ++b) {
            if (hist[b].count == 0) {
                continue;
            }
            const std::array<int, 3> mean{hist[b].Channel(0), hist[b].Channel(1),
                                          hist[b].Channel(2)};
            auto& s = sums[static_cast<std::size_t>(Nearest(*palette, mean))];
            for (int c = 0; c < 3; ++c) {
                s[c] += hist[b].sum[c];
            }
            s[3] += hist[b].count;
        }
        for (std::size_t i = 0; i < palette->size(); ++i) {
            if (sums[i][3] > 0) {
                for (int c = 0; c < 3; ++c) {
                    (*palette)[i][c] = static_cast<int>(sums[i][c] / sums[i][3]);
                }
            }
        }
    }
}

struct Indexed {
    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
};

void Quantise(const GpImage& image, Indexed* out) {
    out->indices.resize(image.argb.size());
    // Few colours: an exact table, in order of first appearance.
    std::unordered_map<std::uint32_t, std::uint8_t> exact;
    bool fits = true;
    for (std::size_t i = 0; i < image.argb.size() && fits; ++i) {
        const std::uint32_t rgb = image.argb[i] & 0xFFFFFF;
        auto found = exact.find(rgb);
        if (found == exact.end()) {
            if (exact.size() == 256) {
                fits = false;
                break;
            }
            found = exact.emplace(rgb, static_cast<std::uint8_t>(exact.size())).first;
            out->palette.push_back(rgb);
        }
        out->indices[i] = found->second;
    }
    if (fits) {
        return;
    }
    std::vector<Bin> hist(BINS);
    for (std::uint32_t p : image.argb) {
        Bin& bin = hist[static_cast<std::size_t>(BinOf(p))];
        ++bin.count;
        bin.sum[0] += (p >> 16) & 0xFF;
        bin.sum[1] += (p >> 8) & 0xFF;
        bin.sum[2] += p & 0xFF;
    }
    std::vector<std::array<int, 3>> palette = MedianCut(hist);
    Refine(hist, &palette);
    out->palette.clear();
    for (const auto& c : palette) {
        out->palette.push_back(static_cast<std::uint32_t>((c[0] << 16) | (c[1] << 8) | c[2]));
    }
    // Pixels map through a cache keyed by exact colour; real pictures repeat colours a lot.
    std::unordered_map<std::uint32_t, std::uint8_t> cache;
    for (std::size_t i = 0; i < image.argb.size(); ++i) {
        const std::uint32_t rgb = image.argb[i] & 0xFFFFFF;
        auto found = cache.find(rgb);
        if (found == cache.end()) {
            const std::array<int, 3> c{static_cast<int>(rgb >> 16),
                                       static_cast<int>((rgb >> 8) & 0xFF),
                                       static_cast<int>(rgb & 0xFF)};
            found = cache.emplace(rgb, static_cast<std::uint8_t>(Nearest(palette, c))).first;
        }
        out->indices[i] = found->second;
    }
}

int WriteToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    bytes->insert(bytes->end(), data, data + length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};
struct MapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

} // namespace

namespace platform::gdiplus {

GpStatus EncodeGif(const GpImage& image, std::vector<std::uint8_t>* bytes) {
    if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535) {
        return InvalidParameter;
    }
    Indexed indexed;
    try {
        if (!image.indices.empty()) {
            indexed.indices = image.indices;
            for (std::uint32_t c : image.palette) {
                indexed.palette.push_back(c & 0xFFFFFF);
            }
        } else {
            Quantise(image, &indexed);
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    // The table must cover every index used and have a power-of-two size.
    int used = 1;
    for (std::uint8_t i : indexed.indices) {
        used = std::max(used, i + 1);
    }
    used = std::max(used, static_cast<int>(indexed.palette.size()));
    int tableSize = 2;
    while (tableSize < used) {
        tableSize *= 2;
    }
    indexed.palette.resize(static_cast<std::size_t>(tableSize), 0);
    std::vector<GifColorType> colours(static_cast<std::size_t>(tableSize));
    for (int i = 0; i < tableSize; ++i) {
        colours[i].Red = (indexed.palette[i] >> 16) & 0xFF;
        colours[i].Green = (indexed.palette[i] >> 8) & 0xFF;
        colours[i].Blue = indexed.palette[i] & 0xFF;
    }
    std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(tableSize, colours.data()));
    if (!map) {
        return OutOfMemory;
    }
    bytes->clear();
    int error = 0;
    GifFileType* raw = EGifOpen(bytes, WriteToVector, &error);
    if (raw == nullptr) {
        return GenericError;
    }
    std::unique_ptr<GifFileType, GifCloser> gif(raw);
    int depth = 1;
    while ((1 << depth) < tableSize) {
        ++depth;
    }
    if (EGifPutScreenDesc(raw, image.width, image.height, depth, 0, map.get()) == GIF_ERROR ||
        EGifPutImageDesc(raw, 0, 0, image.width, image.height, false, nullptr) == GIF_ERROR) {
        return GenericError;
    }
    for (int y = 0; y < image.height; ++y) {
        auto* line = indexed.indices.data() + static_cast<std::size_t>(y) * image.width;
        if (EGifPutLine(raw, line, image.width) == GIF_ERROR) {
            return GenericError;
        }
    }
    GifFileType* closing = gif.release();
    if (EGifCloseFile(closing, &error) == GIF_ERROR) {
        return GenericError;
    }
    return Ok;
}

} // namespace platform::gdiplus
