// qiv-disparity: the disparity map of a stereo pair of image files, as the stereo application
// computes it (colour converted to grey as OpenCV's RGB-to-grey does), written as an 8-bit image
// of raw disparities. It links no OpenCV, so that it starts quickly.
#include "photoio/photo_io.h"
#include "stereo/grey_matcher.h"
#include "stereo/grey_pixels.h"
#include "stereo/whole_number.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

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

struct GreyImage {
    bool read = false;
    std::string messages; // for stderr, whole lines
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width x height, rows packed
};

// The grey image of a file, converted as the application converts its views; read false, with the
// reason in messages, when the file cannot be read.
void ReadGrey(const char* path, GreyImage* grey) {
    Photo photo;
    std::string detail;
    const int status = ReadPhoto(path, &photo, &detail, PHOTO_KEEP_GREY);
    const std::string name = path;
    if (status != PHOTO_OK) {
        std::string words = PhotoStatusText(status);
        if (!detail.empty() && detail != words) {
            words += " (" + detail + ")";
        }
        grey->messages = "qiv-disparity: cannot read the image " + name + ": " + words + "\n";
        return;
    }
    if (!detail.empty()) {
        grey->messages = "qiv-disparity: warning: " + name + " is damaged (" + detail + ")\n";
    }
    const std::size_t count = std::size_t(photo.width) * std::size_t(photo.height);
    if (photo.channels == 1) {
        grey->pixels = std::move(photo.rgb);
    } else {
        RgbToGrey(photo.rgb.data(), count, photo.rgb.data());
        // The grey pixels move to a buffer of their size, so that the photo's buffer, freed
        // here, is reused by the matcher (see PrepareHeap).
        try {
            grey->pixels.assign(photo.rgb.begin(), photo.rgb.begin() + std::ptrdiff_t(count));
        } catch (const std::bad_alloc&) {
            grey->messages += "qiv-disparity: not enough memory for " + name + "\n";
            return;
        }
    }
    grey->width = photo.width;
    grey->height = photo.height;
    grey->read = true;
}

// Both images, the left one read on a second thread meanwhile (decoding is most of a run's time
// after the matcher); messages come in the order of a left-then-right reading. False when either
// cannot be read.
bool ReadPair(const char* leftPath, const char* rightPath, GreyImage* left, GreyImage* right) {
    std::thread reader;
    try {
        reader = std::thread(ReadGrey, leftPath, left);
    } catch (const std::system_error&) {
        ReadGrey(leftPath, left);
    }
    ReadGrey(rightPath, right);
    if (reader.joinable()) {
        reader.join();
    }
    std::fputs(left->messages.c_str(), stderr);
    if (!left->read) {
        return false;
    }
    std::fputs(right->messages.c_str(), stderr);
    return right->read;
}

// The first touch of a fresh page of memory is a large part of a run's time (on virtual machines
// some 15 us for each 4 KB page): every thread allocates from one heap, which keeps freed memory
// for the next buffer rather than returning it, and which grows in large steps backed by 2 MB
// pages where the system offers them (a third off the time of reading two photos). All of it is
// advice: where it is refused the run is only slower.
void PrepareHeap() {
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_TOP_PAD, 64 << 20);
    // One allocation grows the heap by the pad; from it to the heap's end the pages are advised.
    void* probe = std::malloc(1 << 20);
    if (probe == nullptr) {
        return;
    }
    const std::uintptr_t huge = 2 << 20;
    const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(probe) + huge - 1) & ~(huge - 1);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (to > from) {
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
    std::free(probe);
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

    PrepareHeap();
    GreyImage left, right;
    if (!ReadPair(argv[1], argv[2], &left, &right)) {
        return EXIT_INPUT;
    }
    if (left.width != right.width || left.height != right.height) {
        std::fprintf(stderr, "qiv-disparity: LEFT is %d x %d but RIGHT is %d x %d\n", left.width,
                     left.height, right.width, right.height);
        return EXIT_REFUSED;
    }

    // The map takes the left image's place: the matcher allows it, and it spares a buffer.
    stereo::MatchParams resolved;
    int result =
        stereo::CheckMatchArguments(left.width, left.height, maxDisparity, params, &resolved);
    if (result == STEREO_OK) {
        const std::size_t step = std::size_t(left.width);
        result = stereo::MatchGrey(left.pixels.data(), step, right.pixels.data(), step,
                                   left.pixels.data(), step, left.width, left.height, resolved);
    }
    if (result != STEREO_OK) {
        std::fprintf(stderr, "qiv-disparity: %s\n", StereoResultText(result));
        return EXIT_REFUSED;
    }
    const PhotoPixels pixels{left.pixels.data(), left.width, left.height, 1,
                             std::size_t(left.width)};
    std::string detail;
    const int written = WritePhoto(argv[3], format, pixels, 100, PHOTO_REPLACE, &detail);
    if (written != PHOTO_OK) {
        std::fprintf(stderr, "qiv-disparity: cannot write %s: %s\n", argv[3],
                     detail.empty() ? PhotoStatusText(written) : detail.c_str());
        return EXIT_OUTPUT;
    }
    return EXIT_DONE;
}
