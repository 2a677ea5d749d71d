// JPEG pictures for the Drel format.
//
// libjpeg reports fatal errors through a callback that must not return; it
// leaves with longjmp. The functions that run libjpeg therefore hold only
// plain data between setjmp and the end of the work, and turn a failure into
// EZunoError after libjpeg has been torn down.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

#include "core/EZunoError.h"
#include "imaging/ImageCodecs.h"

namespace zuno {

// ---------------------------------------------------------------- JPEG

namespace {

struct JpegError {
    jpeg_error_mgr  pub;
    jmp_buf         jump;
    char            message[JMSG_LENGTH_MAX];
    int             warnings;
};

void jpegErrorExit(j_common_ptr c) {
    JpegError* e = reinterpret_cast<JpegError*>(c->err);
    (*c->err->format_message)(c, e->message);
    std::longjmp(e->jump, 1);
}

// Warnings (corrupt entropy data and the like) are tolerated as libjpeg
// repairs them, but a stream that produces nothing else is given up.
void jpegEmitMessage(j_common_ptr c, int level) {
    JpegError* e = reinterpret_cast<JpegError*>(c->err);
    if (level < 0 && ++e->warnings > 1000) {
        std::snprintf(e->message, sizeof e->message, "too many errors in the JPEG data");
        std::longjmp(e->jump, 1);
    }
}

void jpegOutputMessage(j_common_ptr) {}

void initError(JpegError& e) {
    jpeg_std_error(&e.pub);
    e.pub.error_exit = jpegErrorExit;
    e.pub.emit_message = jpegEmitMessage;
    e.pub.output_message = jpegOutputMessage;
    e.message[0] = 0;
    e.warnings = 0;
}

// 0 on success, 1 on a libjpeg error, 2 on a size that differs from the frame.
int decodeJpegRaw(const uint8_t* data, size_t size, int32_t width, int32_t height, uint8_t* rgb, JpegError& err) {
    jpeg_decompress_struct cinfo;
    initError(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = 512L << 20;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (int32_t(cinfo.image_width) != width || int32_t(cinfo.image_height) != height) {
        jpeg_destroy_decompress(&cinfo);
        return 2;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = rgb + size_t(cinfo.output_scanline) * size_t(width) * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

struct JpegOut {
    unsigned char* buffer;
    unsigned long  size;
};

int encodeJpegRaw(const uint8_t* rgb, int32_t width, int32_t height, int quality, JpegOut& out, JpegError& err) {
    jpeg_compress_struct cinfo;
    initError(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return 1;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &out.buffer, &out.size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + size_t(cinfo.next_scanline) * size_t(width) * 3);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return 0;
}

} // namespace

void decodeJpeg(const uint8_t* data, size_t size, int32_t width, int32_t height, std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || size == 0)
        throw EZunoError::fromUtf8("JPEG データが壊れています");
    rgb.assign(size_t(width) * size_t(height) * 3, 0);
    JpegError err;
    int rc = decodeJpegRaw(data, size, width, height, rgb.data(), err);
    if (rc == 2)
        throw EZunoError::fromUtf8("JPEG 画像の大きさがフレームと一致しません");
    if (rc != 0)
        throw EZunoError::fromUtf8(std::string("JPEG データが壊れています (") + err.message + ")");
}

std::vector<uint8_t> encodeJpeg(const uint8_t* rgb, int32_t width, int32_t height, int quality) {
    JpegOut out{nullptr, 0};
    JpegError err;
    int rc = encodeJpegRaw(rgb, width, height, quality < 1 ? 1 : quality > 100 ? 100 : quality, out, err);
    std::vector<uint8_t> bytes;
    if (rc == 0 && out.buffer)
        bytes.assign(out.buffer, out.buffer + out.size);
    std::free(out.buffer);
    if (rc != 0)
        throw EZunoError::fromUtf8(std::string("JPEG に圧縮できません (") + err.message + ")");
    return bytes;
}

} // namespace zuno
