// qiv-disparity: the disparity map of a stereo pair of image files, as the stereo application
// computes it (colour converted to grey with CV_BGR2GRAY), written as an 8-bit image of raw
// disparities.
#include "photoio/photo_io.h"
#include "stereo/stereo_matcher.h"
#include "stereo/whole_number.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc/imgproc_c.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
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

// A decimal number and nothing else (no spaces, no hexadecimal).
bool ParseNumber(const char* text, double* out) {
    const char* end = text + std::strlen(text);
    double v = 0;
    const auto [ptr, error] = std::from_chars(text, end, v);
    if (error != std::errc() || ptr != end || ptr == text || !std::isfinite(v)) {
        return false;
    }
    *out = v;
    return true;
}

// The grey image of a file, converted as the application converts its views; empty, with the
// reason printed, when the file cannot be read (or memory for the grey copy runs out).
cv::Mat ReadGrey(const char* path) {
    Photo photo;
    std::string detail;
    const int status = ReadPhoto(path, &photo, &detail);
    if (status != PHOTO_OK) {
        std::string words = PhotoStatusText(status);
        if (!detail.empty() && detail != words) {
            words += " (" + detail + ")";
        }
        std::fprintf(stderr, "qiv-disparity: cannot read the image %s: %s\n", path, words.c_str());
        return {};
    }
    if (!detail.empty()) {
        std::fprintf(stderr, "qiv-disparity: warning: %s is damaged (%s)\n", path, detail.c_str());
    }
    try {
        const cv::Mat colour(photo.height, photo.width, CV_8UC3, photo.rgb.data());
        cv::Mat grey(photo.height, photo.width, CV_8UC1);
        IplImage source = cvIplImage(colour);
        IplImage target = cvIplImage(grey);
        cvCvtColor(&source, &target, CV_RGB2GRAY);
        return grey;
    } catch (const cv::Exception&) {
        std::fprintf(stderr, "qiv-disparity: not enough memory for %s\n", path);
        return {};
    }
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
    int maxDisparity = 100;
    double params[5] = {15, 3, 6, 8, 15};
    if (argc >= 5) {
        const int parsed = ParseWholeNumber(argv[4], &maxDisparity);
        if (parsed == WHOLE_NUMBER_OUT_OF_RANGE) {
            std::fprintf(stderr, "qiv-disparity: MAXDISPARITY %s is out of range\n", argv[4]);
            return EXIT_USAGE;
        }
        if (parsed != WHOLE_NUMBER_OK) {
            std::fprintf(stderr, "qiv-disparity: MAXDISPARITY must be a whole number, not '%s'\n",
                         argv[4]);
            return EXIT_USAGE;
        }
    }
    PhotoFormat format = PHOTO_PNG;
    if (!PhotoFormatOfName(argv[3], &format)) {
        std::fprintf(stderr, "qiv-disparity: cannot write %s: %s\n", argv[3],
                     PhotoStatusText(PHOTO_UNKNOWN_FORMAT));
        return EXIT_OUTPUT;
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
        return EXIT_INPUT;
    }
    cv::Mat right = ReadGrey(argv[2]);
    if (right.empty()) {
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
        cvFindStereoCorrespondence(&l, &r, CV_DISPARITY_BIRCHFIELD, &d, maxDisparity, params[0],
                                   params[1], params[2], params[3], params[4]);
    if (result != STEREO_OK) {
        std::fprintf(stderr, "qiv-disparity: %s\n", StereoResultText(result));
        return EXIT_REFUSED;
    }
    const PhotoPixels pixels{depth.ptr<std::uint8_t>(), depth.cols, depth.rows, 1, depth.step};
    std::string detail;
    const int written = WritePhoto(argv[3], format, pixels, 100, PHOTO_REPLACE, &detail);
    if (written != PHOTO_OK) {
        std::fprintf(stderr, "qiv-disparity: cannot write %s: %s\n", argv[3],
                     detail.empty() ? PhotoStatusText(written) : detail.c_str());
        return EXIT_OUTPUT;
    }
    return EXIT_DONE;
}
