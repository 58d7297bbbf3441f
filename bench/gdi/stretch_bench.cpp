// StretchBlt as image windows use it on every paint: a large picture shown at a zoom that
// fits the screen, in both stretch modes, plus the unscaled and enlarged cases.
#include "platform/win32_gdi.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;

    Surface(int width, int height, int bitsPerPixel) {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[256];
        } info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = -height;
        info.header.biPlanes = 1;
        info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<BYTE>(i);
            info.colors[i] = RGBQUAD{v, v, v, 0};
        }
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                  nullptr, 0);
        previous = SelectObject(dc, bitmap);
        // A busy picture, so that no filter path sees flat areas only.
        const int stride = bitsPerPixel == 32 ? width * 4 : (width + 3) / 4 * 4;
        auto* bytes = static_cast<std::uint8_t*>(bits);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < stride; ++x) {
                bytes[static_cast<std::size_t>(y) * stride + x] =
                    static_cast<std::uint8_t>((x * 7 + y * 13) ^ (x * y));
            }
        }
    }
    ~Surface() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

void Stretch(benchmark::State& state, int mode, int srcW, int srcH, int srcBits, int dstW,
             int dstH) {
    Surface src(srcW, srcH, srcBits);
    Surface dst(dstW, dstH, 32);
    SetStretchBltMode(dst.dc, mode);
    SetBrushOrgEx(dst.dc, 0, 0, nullptr);
    for (auto _ : state) {
        StretchBlt(dst.dc, 0, 0, dstW, dstH, src.dc, 0, 0, srcW, srcH, SRCCOPY);
        benchmark::DoNotOptimize(dst.bits);
    }
    state.SetItemsProcessed(state.iterations() * dstW * dstH);
}

void ShrinkNearest(benchmark::State& s) {
    Stretch(s, COLORONCOLOR, 2000, 1500, 32, 640, 480);
}
void ShrinkHalftone(benchmark::State& s) {
    Stretch(s, HALFTONE, 2000, 1500, 32, 640, 480);
}
void ShrinkHalftone8Bit(benchmark::State& s) {
    Stretch(s, HALFTONE, 2000, 1500, 8, 640, 480);
}
void Unscaled(benchmark::State& s) {
    Stretch(s, COLORONCOLOR, 1280, 960, 32, 1280, 960);
}
void EnlargeNearest(benchmark::State& s) {
    Stretch(s, COLORONCOLOR, 640, 480, 32, 1280, 960);
}
void EnlargeHalftone(benchmark::State& s) {
    Stretch(s, HALFTONE, 640, 480, 32, 1280, 960);
}

} // namespace

BENCHMARK(ShrinkNearest)->Unit(benchmark::kMillisecond);
BENCHMARK(ShrinkHalftone)->Unit(benchmark::kMillisecond);
BENCHMARK(ShrinkHalftone8Bit)->Unit(benchmark::kMillisecond);
BENCHMARK(Unscaled)->Unit(benchmark::kMillisecond);
BENCHMARK(EnlargeNearest)->Unit(benchmark::kMillisecond);
BENCHMARK(EnlargeHalftone)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
