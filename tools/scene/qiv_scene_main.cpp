// qiv-scene: writes synthetic stereo pairs with their ground truth, and the side-by-side sample
// photograph.
#include "tools/scene/stereo_scene.h"

#include <opencv2/imgcodecs.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char USAGE[] =
    "usage: qiv-scene sample OUT.jpg [WIDTH HEIGHT [SHIFT]]\n"
    "       qiv-scene garden LEFT RIGHT TRUTH [WIDTH HEIGHT MAXDISPARITY [SHIFT]]\n"
    "       qiv-scene layers LEFT RIGHT TRUTH [WIDTH HEIGHT MAXDISPARITY [SEED]]\n"
    "       qiv-scene grey IN OUT\n"
    "\n"
    "sample   the side-by-side garden photograph (default 1600 x 600, right view 3 pixels\n"
    "         lower), left view in the left half\n"
    "garden   the garden as two views and its ground truth (default 1000 x 750, 100)\n"
    "layers   grey textured layers at integer disparities (default 640 x 480, 64, seed 1)\n"
    "grey     the picture IN as a grey image (for instance a grey pair of the garden)\n"
    "TRUTH is an 8-bit image of the rounded disparity of every left pixel.\n";

bool ParseInt(const char* text, long lo, long hi, int* out) {
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end || v < lo || v > hi) {
        return false;
    }
    *out = int(v);
    return true;
}

bool Write(const std::string& path, const scene::Image& image) {
    const cv::Mat mat(image.height, image.width, image.channels == 3 ? CV_8UC3 : CV_8UC1,
                      const_cast<uint8_t*>(image.pixels.data()));
    try {
        if (cv::imwrite(path, mat, {cv::IMWRITE_JPEG_QUALITY, 95})) {
            return true;
        }
    } catch (const cv::Exception&) {
    }
    std::fprintf(stderr, "qiv-scene: cannot write %s\n", path.c_str());
    return false;
}

scene::Image Truth(const scene::StereoPair& pair) {
    scene::Image truth(pair.left.width, pair.left.height, 1);
    for (size_t i = 0; i < pair.disparity.size(); ++i) {
        truth.pixels[i] = uint8_t(std::clamp(std::lround(pair.disparity[i]), 0L, 255L));
    }
    return truth;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        std::fputs(USAGE, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    const std::string& command = args[0];
    if (command == "sample" && (args.size() == 2 || args.size() == 4 || args.size() == 5)) {
        int width = 1600, height = 600, shift = 3;
        if (args.size() >= 4 && (!ParseInt(argv[3], 6, 20000, &width) || width % 2 ||
                                 !ParseInt(argv[4], 3, 20000, &height))) {
            std::fputs("qiv-scene: WIDTH must be an even number from 6, HEIGHT from 3\n", stderr);
            return 2;
        }
        if (args.size() == 5 && !ParseInt(argv[5], -100, 100, &shift)) {
            std::fputs("qiv-scene: SHIFT must be -100 ... 100\n", stderr);
            return 2;
        }
        const int view = width / 2;
        const scene::StereoPair pair = scene::RenderGarden(view, height, view / 16, shift);
        return Write(args[1], scene::SideBySide(pair)) ? 0 : 1;
    }
    if ((command == "garden" || command == "layers") &&
        (args.size() == 4 || args.size() == 7 || args.size() == 8)) {
        const bool garden = command == "garden";
        int width = garden ? 1000 : 640, height = garden ? 750 : 480, dmax = garden ? 100 : 64;
        int extra = garden ? 0 : 1;
        if (args.size() >= 7 &&
            (!ParseInt(argv[5], 3, 20000, &width) || !ParseInt(argv[6], 1, 20000, &height) ||
             !ParseInt(argv[7], 1, 255, &dmax) || dmax >= width)) {
            std::fputs("qiv-scene: need WIDTH >= 3, HEIGHT >= 1, 1 <= MAXDISPARITY < WIDTH and "
                       "<= 255\n",
                       stderr);
            return 2;
        }
        if (args.size() == 8 &&
            !ParseInt(argv[8], garden ? -100 : 0, garden ? 100 : 1 << 30, &extra)) {
            std::fputs(garden ? "qiv-scene: SHIFT must be -100 ... 100\n"
                              : "qiv-scene: SEED must be a non-negative number\n",
                       stderr);
            return 2;
        }
        const scene::StereoPair pair =
            garden ? scene::RenderGarden(width, height, dmax, extra)
                   : scene::RenderLayers(width, height,
                                         scene::RandomLayers(width, height, dmax, extra));
        const bool ok =
            Write(args[1], pair.left) && Write(args[2], pair.right) && Write(args[3], Truth(pair));
        return ok ? 0 : 1;
    }
    if (command == "grey" && args.size() == 3) {
        cv::Mat grey;
        try {
            grey = cv::imread(args[1], cv::IMREAD_GRAYSCALE);
        } catch (const cv::Exception&) {
        }
        if (grey.empty()) {
            std::fprintf(stderr, "qiv-scene: cannot read %s\n", args[1].c_str());
            return 1;
        }
        scene::Image image(grey.cols, grey.rows, 1);
        for (int y = 0; y < grey.rows; ++y) {
            std::memcpy(image.pixels.data() + std::size_t(y) * grey.cols, grey.ptr(y), grey.cols);
        }
        return Write(args[2], image) ? 0 : 1;
    }
    std::fputs(USAGE, stderr);
    return 2;
}
