#include "app/ScreenshotWriter.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "core/EZunoError.h"

namespace zuno {

namespace {

// Writes the PNG stream into an open file; false on any libpng error. Kept
// free of C++ objects with destructors, because libpng leaves by longjmp.
bool encodePng(FILE* file, const TSceneBuffer& scene, std::vector<png_byte>& row) {
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
    png_init_io(png, file);
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
    std::string tmp = path + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        throw EZunoError::fromUtf8(path + ": cannot write");
    ::fchmod(fd, 0644);
    FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        std::remove(tmp.c_str());
        throw EZunoError::fromUtf8(path + ": cannot write");
    }
    std::vector<png_byte> row(static_cast<size_t>(scene.width()) * 3);
    bool ok = encodePng(file, scene, row);
    ok = (std::fflush(file) == 0) && ok;
    ok = (std::fclose(file) == 0) && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw EZunoError::fromUtf8(path + ": cannot write");
    }
}

} // namespace zuno
