// Writing photos never loses a file: a name taken is kept, a link is never followed, and a
// write that fails half way leaves the old file whole and no temporary behind.
#include "photoio/photo_io.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Noise, so that the encoded file is some kilobytes long.
const std::vector<std::uint8_t> GREY = [] {
    std::vector<std::uint8_t> grey(64 * 64);
    unsigned state = 12345;
    for (std::uint8_t& v : grey) {
        state = state * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(state >> 16);
    }
    return grey;
}();
const PhotoPixels PIXELS{GREY.data(), 64, 64, 1, 64};

TEST(PhotoWrite, ATakenNameIsKeptAndALinkIsNeverFollowed) {
    TempFolder dir;
    const std::string old = dir.Path("old.png");
    std::ofstream(old) << "precious";
    EXPECT_EQ(WritePhoto(old.c_str(), PHOTO_PNG, PIXELS, 0, PHOTO_KEEP_EXISTING), PHOTO_EXISTS);
    EXPECT_EQ(FileContents(old), "precious");

    const std::string link = dir.Path("link.png");
    fs::create_symlink(old, link);
    for (const PhotoReplace mode : {PHOTO_REPLACE, PHOTO_KEEP_EXISTING}) {
        EXPECT_EQ(WritePhoto(link.c_str(), PHOTO_PNG, PIXELS, 0, mode), PHOTO_LINK);
    }
    EXPECT_EQ(FileContents(old), "precious");
    EXPECT_TRUE(fs::is_symlink(link));

    EXPECT_EQ(WritePhoto(old.c_str(), PHOTO_PNG, PIXELS, 0, PHOTO_REPLACE), PHOTO_OK);
    Photo photo;
    EXPECT_EQ(ReadPhoto(old.c_str(), &photo), PHOTO_OK);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 2);
}

TEST(PhotoWrite, AWriteStoppedByTheFileSizeLimitLeavesTheOldFileWhole) {
    TempFolder dir;
    const std::string old = dir.Path("old.png");
    std::ofstream(old) << "precious";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A limit below the encoded size: write fails with EFBIG instead of a signal.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string detail;
        const int status = WritePhoto(old.c_str(), PHOTO_PNG, PIXELS, 0, PHOTO_REPLACE, &detail);
        _exit(status == PHOTO_CANNOT_WRITE && !detail.empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(FileContents(old), "precious");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(PhotoWrite, SizesPastTheLimitAndUnknownNamesAreRefusedWithAReason) {
    std::vector<std::uint8_t> bytes;
    std::string detail;
    const PhotoPixels wide{GREY.data(), PHOTO_MAX_SIDE + 1, 1, 1, PHOTO_MAX_SIDE + 1};
    EXPECT_EQ(EncodePhoto(PHOTO_JPEG, wide, 90, &bytes, &detail), PHOTO_TOO_LARGE);
    EXPECT_NE(detail.find("65501 x 1"), std::string::npos) << detail;
    PhotoFormat format = PHOTO_PNG;
    EXPECT_TRUE(PhotoFormatOfName("a/B.JPEG", &format));
    EXPECT_EQ(format, PHOTO_JPEG);
    EXPECT_FALSE(PhotoFormatOfName("out", &format));
    EXPECT_FALSE(PhotoFormatOfName("out.bmp", &format));
}

} // namespace
