// JPEG through libjpeg: decoding with the library's messages caught rather than printed, and
// encoding at a given quality.
#include "photoio/photo_decoders.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    bool cutShort = false;
    std::string warning;
    std::string error;
};

void FormatLast(j_common_ptr info, std::string* out) {
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    *out = text;
}

[[noreturn]] void OnError(j_common_ptr info) {
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    FormatLast(info, &trap->error);
    std::longjmp(trap->jump, 1);
}

// Warnings are kept, not printed. Running out of data is the one that means the file was cut.
void OnMessage(j_common_ptr info, int level) {
    if (level >= 0) {
        return; // trace messages
    }
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    if (info->err->msg_code == JWRN_JPEG_EOF) {
        trap->cutShort = true;
    }
    if (trap->warning.empty()) {
        FormatLast(info, &trap->warning);
    }
}

void InstallTrap(ErrorTrap* trap) {
    jpeg_std_error(&trap->manager);
    trap->manager.error_exit = OnError;
    trap->manager.emit_message = OnMessage;
}

// Adobe's CMYK JPEGs store the inks inverted.
void CmykToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, int width) {
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const unsigned k = cmyk[3];
        rgb[0] = static_cast<std::uint8_t>(cmyk[0] * k / 255);
        rgb[1] = static_cast<std::uint8_t>(cmyk[1] * k / 255);
        rgb[2] = static_cast<std::uint8_t>(cmyk[2] * k / 255);
    }
}

} // namespace

int DecodeJpeg(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail) {
    jpeg_decompress_struct info{};
    ErrorTrap trap;
    info.err = &trap.manager;
    InstallTrap(&trap);
    // Locals changed after setjmp and read after the jump are volatile or live in photo.
    std::vector<std::uint8_t> cmykRow;
    if (setjmp(trap.jump) != 0) {
        jpeg_destroy_decompress(&info);
        photo->rgb.clear();
        SetDetail(detail, trap.error);
        return PHOTO_DAMAGED;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (trap.cutShort) {
        jpeg_destroy_decompress(&info);
        SetDetail(detail, "the data ends inside the picture");
        return PHOTO_DAMAGED;
    }
    const int allocated = AllocatePhoto(info.image_width, info.image_height, photo, detail);
    if (allocated != PHOTO_OK) {
        jpeg_destroy_decompress(&info);
        return allocated;
    }
    jpeg_start_decompress(&info);
    if (cmyk) {
        cmykRow.resize(static_cast<std::size_t>(info.output_width) * 4);
    }
    const std::size_t stride = static_cast<std::size_t>(photo->width) * 3;
    while (info.output_scanline < info.output_height && !trap.cutShort) {
        std::uint8_t* row = photo->rgb.data() + stride * info.output_scanline;
        JSAMPROW target = cmyk ? cmykRow.data() : row;
        if (jpeg_read_scanlines(&info, &target, 1) != 1) {
            break;
        }
        if (cmyk) {
            CmykToRgb(cmykRow.data(), row, photo->width);
        }
    }
    if (!trap.cutShort) {
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    if (trap.cutShort) {
        photo->rgb.clear();
        SetDetail(detail, "the data ends inside the picture");
        return PHOTO_DAMAGED;
    }
    SetDetail(detail, trap.warning);
    return PHOTO_OK;
}

int EncodeJpeg(const PhotoPixels& pixels, int quality, std::vector<std::uint8_t>* bytes,
               std::string* detail) {
    jpeg_compress_struct info{};
    ErrorTrap trap;
    info.err = &trap.manager;
    InstallTrap(&trap);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    std::vector<std::uint8_t> rgb;
    if (setjmp(trap.jump) != 0) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        SetDetail(detail, trap.error);
        return PHOTO_CANNOT_WRITE;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = static_cast<JDIMENSION>(pixels.width);
    info.image_height = static_cast<JDIMENSION>(pixels.height);
    info.input_components = pixels.channels;
    info.in_color_space = pixels.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(pixels.data) +
                       pixels.stride * static_cast<std::size_t>(info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    try {
        bytes->assign(buffer, buffer + length);
    } catch (const std::bad_alloc&) {
        std::free(buffer);
        SetDetail(detail, PhotoStatusText(PHOTO_NO_MEMORY));
        return PHOTO_NO_MEMORY;
    }
    std::free(buffer);
    return PHOTO_OK;
}
