#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <filesystem>

#include "app/ScreenshotWriter.h"
#include "core/EZunoError.h"
#include "support/TTempFolder.h"

namespace zuno {
namespace {

namespace fs = std::filesystem;

// Reads a PNG back with libpng as 8-bit RGB rows; false when it is not 8-bit RGB.
bool readRgbPng(const std::string& path, int& w, int& h, std::vector<uint8_t>& rgb) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    bool ok = png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB && png_get_bit_depth(png, info) == 8;
    w = static_cast<int>(png_get_image_width(png, info));
    h = static_cast<int>(png_get_image_height(png, info));
    rgb.assign(static_cast<size_t>(w) * h * 3, 0);
    for (int y = 0; y < h; ++y)
        png_read_row(png, rgb.data() + static_cast<size_t>(y) * w * 3, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return ok;
}

TEST(ScreenshotWriter, WritesTheSceneAsRgbAndReadsBackTheSame) {
    test::TTempFolder temp;
    const fs::path dir = temp.path();
    std::string path = (dir / "shot.png").string();

    TSceneBuffer scene(37, 5);      // odd width: no row padding may slip in
    for (int y = 0; y < scene.height(); ++y)
        for (int x = 0; x < scene.width(); ++x)
            scene.setPixel(x, y, (uint32_t(x * 7) << 16) | (uint32_t(y * 50) << 8) | uint32_t(255 - x));
    scene.setPixel(0, 0, 0xFF123456);   // the unused top byte is ignored
    writeScreenshotPng(scene, path);
    writeScreenshotPng(scene, path);    // over an existing file

    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(readRgbPng(path, w, h, rgb));
    ASSERT_EQ(w, 37);
    ASSERT_EQ(h, 5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = scene.pixel(x, y);
            const uint8_t* px = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            ASSERT_EQ(px[0], uint8_t(p >> 16)) << x << "," << y;
            ASSERT_EQ(px[1], uint8_t(p >> 8)) << x << "," << y;
            ASSERT_EQ(px[2], uint8_t(p)) << x << "," << y;
        }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    EXPECT_THROW(writeScreenshotPng(scene, (dir / "no" / "shot.png").string()), EZunoError);
    EXPECT_THROW(writeScreenshotPng(TSceneBuffer(), (dir / "empty.png").string()), EZunoError);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

} // namespace
} // namespace zuno
