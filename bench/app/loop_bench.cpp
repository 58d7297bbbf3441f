// One iteration of the stereo application's interaction loop on a camera-size pair (two views of
// 3000 x 2600, a 6000 x 2600 source) while the user drags a guide line with both previews in
// use: the anaglyph, the wiggle frames, the guide lines drawn over the source, and the repaint
// of every changed window from its pixel buffer at the zoom the layout gives on a 1920-pixel
// screen (the source through HALFTONE, the others as image windows draw by default). The screen
// side of a repaint (the desktop copying the window surface) is not included.
#include "platform/win32_gdi.h"
#include "stereo/layout.h"
#include "stereo/previews.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

namespace {

constexpr int W = 3000;
constexpr int H = 2600;
constexpr int SCREEN_WIDTH = 1920;
constexpr int WIGGLE_ZOOM = 10;

// A 32-bit top-down DIB selected into a memory DC, as an image window's buffer is.
struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint32_t* pixels = nullptr;
    int width, height;

    Surface(int width, int height) : width(width), height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
        pixels = static_cast<std::uint32_t*>(bits);
    }
    ~Surface() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
};

// A window's client surface showing `source` at `zoom` percent in the given stretch mode.
struct ShownWindow {
    const Surface& source;
    Surface client;
    ShownWindow(const Surface& source, int zoom, int mode)
        : source(source), client(source.width * zoom / 100, source.height * zoom / 100) {
        SetStretchBltMode(client.dc, mode);
        SetBrushOrgEx(client.dc, 0, 0, nullptr);
    }
    void Repaint() const {
        StretchBlt(client.dc, 0, 0, client.width, client.height, source.dc, 0, 0, source.width,
                   source.height, SRCCOPY);
    }
};

void Fill(Surface& s, std::uint32_t seed) {
    std::mt19937 rng(seed);
    for (int i = 0; i < s.width * s.height; ++i) {
        s.pixels[i] = rng() & 0x00FFFFFF;
    }
}

// Inverts column x of the source, as the guide lines are drawn (twice erases).
void XorColumn(Surface& s, int x) {
    for (int y = 0; y < s.height; ++y) {
        s.pixels[static_cast<std::size_t>(y) * s.width + x] ^= 0x00FFFFFF;
    }
}

struct Scene {
    Surface source{2 * W, H}, viewA{W, H}, viewB{W, H};
    Surface preview{W, H}, wiggleA{W, H}, wiggleB{W, H};
    StereoLayout layout = ComputeLayout(SCREEN_WIDTH, 2 * W, H);
    ShownWindow sourceShown{source, layout.zoom, HALFTONE};
    ShownWindow previewShown{preview, layout.previewZoom, COLORONCOLOR};
    ShownWindow wiggleAShown{wiggleA, WIGGLE_ZOOM, COLORONCOLOR};
    ShownWindow wiggleBShown{wiggleB, WIGGLE_ZOOM, COLORONCOLOR};
    Scene() {
        Fill(source, 1);
        Fill(viewA, 2);
        Fill(viewB, 3);
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// The pointer moves the left guide line by a pixel per iteration.
void Iteration(benchmark::State& state) {
    Scene& s = TheScene();
    int lineX = s.layout.leftLineX;
    for (auto _ : state) {
        XorColumn(s.source, lineX);
        lineX = lineX == s.layout.leftLineX ? lineX + 1 : s.layout.leftLineX;
        XorColumn(s.source, lineX);
        const int offsetX = lineX - s.layout.rightLineX + W;
        MakeAnaglyph(W, H, s.viewA.pixels, s.viewB.pixels, s.preview.pixels, offsetX, 3);
        ComposeWiggleFrames(W, H, s.viewA.pixels, s.viewB.pixels, s.wiggleA.pixels,
                            s.wiggleB.pixels, offsetX, 3);
        s.sourceShown.Repaint();
        s.previewShown.Repaint();
        s.wiggleAShown.Repaint();
        s.wiggleBShown.Repaint();
        benchmark::DoNotOptimize(s.previewShown.client.pixels);
    }
}
BENCHMARK(Iteration)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of an iteration on their own.
void Anaglyph(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        MakeAnaglyph(W, H, s.viewA.pixels, s.viewB.pixels, s.preview.pixels, 40, 3);
        benchmark::DoNotOptimize(s.preview.pixels);
    }
}
BENCHMARK(Anaglyph)->Unit(benchmark::kMillisecond)->UseRealTime();

void WiggleFrames(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        ComposeWiggleFrames(W, H, s.viewA.pixels, s.viewB.pixels, s.wiggleA.pixels,
                            s.wiggleB.pixels, 40, 3);
        benchmark::DoNotOptimize(s.wiggleA.pixels);
    }
}
BENCHMARK(WiggleFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

void RepaintSource(benchmark::State& state) {
    for (auto _ : state) {
        TheScene().sourceShown.Repaint();
    }
}
BENCHMARK(RepaintSource)->Unit(benchmark::kMillisecond)->UseRealTime();

void RepaintPreview(benchmark::State& state) {
    for (auto _ : state) {
        TheScene().previewShown.Repaint();
    }
}
BENCHMARK(RepaintPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 3000 x 2600 window shown at 20 % through HALFTONE.
void Halftone3000x2600At20(benchmark::State& state) {
    const ShownWindow shown(TheScene().viewA, 20, HALFTONE);
    for (auto _ : state) {
        shown.Repaint();
        benchmark::DoNotOptimize(shown.client.pixels);
    }
}
BENCHMARK(Halftone3000x2600At20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
