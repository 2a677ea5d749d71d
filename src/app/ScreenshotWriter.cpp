#include "app/ScreenshotWriter.h"

#include <png.h>

#include <csetjmp>
#include <vector>

#include "core/EZunoError.h"
#include "platform/posix/AtomicFile.h"

namespace zuno {

namespace {

void appendToBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void flushNothing(png_structp) {}

// Encodes the PNG stream into `out`; false on any libpng error. Kept free of
// C++ objects with destructors, because libpng leaves by longjmp.
bool encodePng(std::vector<uint8_t>& out, const TSceneBuffer& scene, std::vector<png_byte>& row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendToBytes, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(scene.width()), static_cast<png_uint_32>(scene.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < scene.height(); ++y) {
        const uint32_t* src = scene.row(y);
        for (int x = 0; x < scene.width(); ++x) {
            row[3 * x + 0] = static_cast<png_byte>(src[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(src[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

void writeScreenshotPng(const TSceneBuffer& scene, const std::string& path) {
    if (scene.width() <= 0 || scene.height() <= 0)
        throw EZunoError::fromUtf8(path + ": the screen is empty");
    std::vector<png_byte> row(static_cast<size_t>(scene.width()) * 3);
    std::vector<uint8_t> png;
    if (!encodePng(png, scene, row))
        throw EZunoError::fromUtf8(path + ": the picture cannot be encoded");
    writeFileAtomically(path, png);
}

} // namespace zuno
