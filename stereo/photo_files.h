// The stereo application's image files on the photo library: any format it reads, and new
// JPEG (quality 100) and PNG files that never replace an existing name.
#pragma once

#include "stereo/image_io.h"

#include <cstdint>
#include <string>

// Reads the file's pixels the right way up; a stereo multi-picture file as its two views side
// by side.
int ReadImageFile(const char* path, PixelImage* image, std::string* reason);

int WriteColourFile(const char* path, ImageFileFormat format, const std::uint32_t* pixels,
                    int width, int height, int stride, std::string* reason);

// The disparity map's writer.
int WriteGreyPng(const char* path, const std::uint8_t* pixels, int width, int height, int stride,
                 std::string* reason);

// The ImageIoResult of a photo library write status; reason (may be null) receives why it failed.
int ImageIoResultOfWrite(int status, const std::string& detail, std::string* reason);

// count pixels 0x00RRGGBB as 8-bit RGB.
void PixelsToRgb(const std::uint32_t* from, int count, std::uint8_t* to);

inline constexpr ImageWriter PHOTO_FILE_WRITER = {WriteColourFile, WriteGreyPng};
