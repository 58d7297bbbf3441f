// Pictures loaded through the photo reader: a stereo multi-picture file opens as its two views
// side by side, a photo with an Exif orientation opens turned, under any name.
#include "photoio/photo_io.h"
#include "platform/win32_gdiplus.h"
#include "tests/support/mpo_files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

mpo_files::Bytes Jpeg(int w, int h) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3, 128);
    mpo_files::Bytes bytes;
    EncodePhoto(PHOTO_JPEG, {rgb.data(), w, h, 3, static_cast<std::size_t>(w) * 3}, 90, &bytes,
                nullptr);
    return bytes;
}

void Size(const std::string& path, const mpo_files::Bytes& bytes, UINT* width, UINT* height) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const std::wstring wide(path.begin(), path.end());
    GpImage* image = nullptr;
    *width = *height = 0;
    ASSERT_EQ(GdipLoadImageFromFile(wide.c_str(), &image), Ok) << path;
    GdipGetImageWidth(image, width);
    GdipGetImageHeight(image, height);
    GdipDisposeImage(image);
}

TEST(StereoLoad, PairsOpenSideBySideAndTaggedPhotosTurned) {
    TempFolder dir;
    const mpo_files::Bytes view = Jpeg(40, 30);
    UINT w = 0, h = 0;
    Size(dir.Path("pair.mpo"), mpo_files::MakeMpo(view, view, {.noIndex = true}), &w, &h);
    EXPECT_EQ(w, 80u);
    EXPECT_EQ(h, 30u);
    Size(dir.Path("pair.jpg"), mpo_files::MakeMpo(view, view), &w, &h);
    EXPECT_EQ(w, 80u);
    Size(dir.Path("tall.jpg"), mpo_files::WithOrientation(view, 6), &w, &h);
    EXPECT_EQ(w, 30u);
    EXPECT_EQ(h, 40u);
    // A damaged pair is refused, not shown as its first picture.
    GpImage* image = nullptr;
    const std::string bad = dir.Path("bad.mpo");
    std::ofstream(bad, std::ios::binary)
        .write(reinterpret_cast<const char*>(view.data()),
               static_cast<std::streamsize>(view.size()));
    const std::wstring wide(bad.begin(), bad.end());
    EXPECT_NE(GdipLoadImageFromFile(wide.c_str(), &image), Ok);
}

} // namespace
