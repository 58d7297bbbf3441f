// The decoders behind DecodePhoto, one per format; each checks the size from its header with
// PhotoSizeAllowed before taking pixel memory and fills photo only on success.
#pragma once

#include "photoio/photo_io.h"

int DecodeJpeg(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail);
int DecodePng(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail,
              unsigned flags = 0);
int DecodeGif(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail);
int DecodeTiff(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail);
int DecodeBmp(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail);
int DecodeIco(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail);

// Sets *detail when detail is given.
void SetDetail(std::string* detail, const std::string& text);

// Allocates width x height pixels of `channels` bytes (RGB unless said) after the size check:
// PHOTO_OK, PHOTO_TOO_LARGE or PHOTO_NO_MEMORY.
int AllocatePhoto(std::int64_t width, std::int64_t height, Photo* photo, std::string* detail,
                  int channels = 3);

// The encoders behind EncodePhoto; the caller has checked the size and channels.
int EncodeJpeg(const PhotoPixels& pixels, int quality, std::vector<std::uint8_t>* bytes,
               std::string* detail);
int EncodePng(const PhotoPixels& pixels, std::vector<std::uint8_t>* bytes, std::string* detail);

// A device-independent bitmap: header, masks, colour table, then the pixels, or the pixels at
// pixelOffset from data when it is not 0. icon: the height counts the icon's mask rows too.
int DecodeDib(const std::uint8_t* data, std::size_t size, std::size_t pixelOffset, bool icon,
              Photo* photo, std::string* detail);
