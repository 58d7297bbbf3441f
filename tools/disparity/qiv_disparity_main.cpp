// qiv-disparity: the disparity map of a stereo pair of image files, as the stereo application
// computes it (colour converted to grey with CV_BGR2GRAY), written as an 8-bit image of raw
// disparities.
#include "app/stereo_matcher.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc/imgproc_c.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

const char USAGE[] =
    "usage: qiv-disparity LEFT RIGHT OUT.png [MAXDISPARITY [P1 P2 P3 P4 P5]]\n"
    "\n"
    "Writes the disparity map of LEFT (the reference) against RIGHT: left pixel x matches right\n"
    "pixel x - d, and OUT holds d itself (0 ... MAXDISPARITY). MAXDISPARITY defaults to 100;\n"
    "P1 ... P5 (occlusion penalty, match reward, highly, moderately and slightly reliable run\n"
    "lengths) default to 15 3 6 8 15, and 12345 stands for 25 5 12 15 25.\n"
    "Exit status: 0 done, 2 bad arguments, 3 unreadable input, 4 pair refused, 5 cannot write.\n";

enum Exit { EXIT_DONE = 0, EXIT_USAGE = 2, EXIT_INPUT = 3, EXIT_REFUSED = 4, EXIT_OUTPUT = 5 };

bool ParseNumber(const char* text, double* out) {
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (errno || end == text || *end || !std::isfinite(v)) {
        return false;
    }
    *out = v;
    return true;
}

// The grey image of a file, converted as the application converts its views; empty when the
// file cannot be read.
cv::Mat ReadGrey(const char* path) {
    cv::Mat colour;
    try {
        colour = cv::imread(path, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        return {};
    }
    if (colour.empty()) {
        return {};
    }
    cv::Mat grey(colour.rows, colour.cols, CV_8UC1);
    IplImage source = cvIplImage(colour);
    IplImage target = cvIplImage(grey);
    cvCvtColor(&source, &target, CV_BGR2GRAY);
    return grey;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "-h" || std::string_view(argv[1]) == "--help")) {
        std::fputs(USAGE, stdout);
        return EXIT_DONE;
    }
    if (argc != 4 && argc != 5 && argc != 10) {
        std::fputs(USAGE, stderr);
        return EXIT_USAGE;
    }
    double maxDisparity = 100;
    double params[5] = {15, 3, 6, 8, 15};
    if (argc >= 5 && (!ParseNumber(argv[4], &maxDisparity) ||
                      maxDisparity != std::floor(maxDisparity) || std::fabs(maxDisparity) > 1e6)) {
        std::fprintf(stderr, "qiv-disparity: MAXDISPARITY must be a whole number, not '%s'\n",
                     argv[4]);
        return EXIT_USAGE;
    }
    for (int i = 0; argc == 10 && i < 5; ++i) {
        if (!ParseNumber(argv[5 + i], &params[i])) {
            std::fprintf(stderr, "qiv-disparity: P%d must be a number, not '%s'\n", i + 1,
                         argv[5 + i]);
            return EXIT_USAGE;
        }
    }

    cv::Mat left = ReadGrey(argv[1]);
    if (left.empty()) {
        std::fprintf(stderr, "qiv-disparity: cannot read the image %s\n", argv[1]);
        return EXIT_INPUT;
    }
    cv::Mat right = ReadGrey(argv[2]);
    if (right.empty()) {
        std::fprintf(stderr, "qiv-disparity: cannot read the image %s\n", argv[2]);
        return EXIT_INPUT;
    }
    if (left.size() != right.size()) {
        std::fprintf(stderr, "qiv-disparity: LEFT is %d x %d but RIGHT is %d x %d\n", left.cols,
                     left.rows, right.cols, right.rows);
        return EXIT_REFUSED;
    }

    cv::Mat depth(left.rows, left.cols, CV_8UC1);
    IplImage l = cvIplImage(left), r = cvIplImage(right), d = cvIplImage(depth);
    const int result =
        cvFindStereoCorrespondence(&l, &r, CV_DISPARITY_BIRCHFIELD, &d, int(maxDisparity),
                                   params[0], params[1], params[2], params[3], params[4]);
    if (result != STEREO_OK) {
        std::fprintf(stderr, "qiv-disparity: %s\n", StereoResultText(result));
        return EXIT_REFUSED;
    }
    bool written = false;
    try {
        written = cv::imwrite(argv[3], depth);
    } catch (const cv::Exception&) {
    }
    if (!written) {
        std::fprintf(stderr, "qiv-disparity: cannot write %s\n", argv[3]);
        return EXIT_OUTPUT;
    }
    return EXIT_DONE;
}
