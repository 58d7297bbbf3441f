// Image files through OpenCV's codecs: a reader of any format OpenCV decodes, and writers of
// 32-bit pixels (JPEG at quality 100, PNG) and of 8-bit grey PNG.
#pragma once

#include "app/image_io.h"

#include <cstdint>

// Reads the file's pixels as stored, without turning them by an orientation tag, so that a
// side-by-side pair keeps its halves; an alpha channel is dropped.
int ReadImageFileCv(const char* path, PixelImage* image);

int WriteColourFileCv(const char* path, ImageFileFormat format, const std::uint32_t* pixels,
                      int width, int height, int stride);

// The disparity map's writer.
int WriteGreyPng(const char* path, const std::uint8_t* pixels, int width, int height, int stride);
