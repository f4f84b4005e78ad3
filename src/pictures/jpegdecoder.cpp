#include "pictures/jpegdecoder.h"

#include <algorithm>

#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <csetjmp>
#include <jpeglib.h>
#include <jerror.h>

namespace {

// Memory one decoded picture and libjpeg's own buffers may take; a header asking for more is
// refused before anything is allocated.
constexpr qint64 MaximumPictureBytes = qint64(512) << 20;
constexpr int RowsPerRead = 16;

struct ErrorManager
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

// Warnings (data that ends early, corrupt entropy data) leave the picture partly drawn, as
// libjpeg fills the rest; they are not errors and are not printed.
void silentMessage(j_common_ptr, int) {}
void silentOutput(j_common_ptr) {}

void prepareErrors(ErrorManager &errors, jpeg_decompress_struct &info)
{
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = errorExit;
    errors.manager.emit_message = silentMessage;
    errors.manager.output_message = silentOutput;
}

void setSource(jpeg_decompress_struct &info, const QByteArray &bytes)
{
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
}

// libjpeg scales at decode by M/8 for M from 1 to 16; below 8 it decodes less of each block.
constexpr unsigned EighthsDenominator = 8;

// The fewest eighths whose output still covers `wanted` (8 when it is not valid, or larger).
unsigned scaleEighths(const jpeg_decompress_struct &info, const QSize &wanted)
{
    if (!wanted.isValid() || info.image_width == 0 || info.image_height == 0)
        return EighthsDenominator;
    const auto eighths = [](qint64 wantedSide, qint64 side) {
        return (wantedSide * EighthsDenominator + side - 1) / side;
    };
    const qint64 needed = std::max(eighths(wanted.width(), info.image_width), eighths(wanted.height(), info.image_height));
    return unsigned(std::clamp<qint64>(needed, 1, EighthsDenominator));
}

JpegStatus tooLarge()
{
    return JpegStatus{JpegError::TooLarge, JERR_OUT_OF_MEMORY};
}

// Allocates the output picture once the output format is known. Returns false when it would
// be too large (sizes checked in 64 bits before Qt multiplies them in its own).
bool allocateImage(const jpeg_decompress_struct &info, QImage &image)
{
    const qint64 width = info.output_width;
    const qint64 height = info.output_height;
    const qint64 bytesPerPixel = info.quantize_colors ? 1 : info.output_components;
    const qint64 rowBytes = (width * bytesPerPixel + 3) / 4 * 4;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535
        || rowBytes * height > MaximumPictureBytes)
        return false;
    QImage::Format format = QImage::Format_RGB888;
    if (info.quantize_colors)
        format = QImage::Format_Indexed8;
    else if (info.output_components == 1)
        format = QImage::Format_Grayscale8;
    image = QImage(int(width), int(height), format);
    if (image.isNull())
        return false;
    if (info.quantize_colors) {
        QList<QRgb> colours(info.actual_number_of_colors);
        for (int i = 0; i < info.actual_number_of_colors; ++i) {
            if (info.out_color_components == 1) {
                const int grey = info.colormap[0][i];
                colours[i] = qRgb(grey, grey, grey);
            } else {
                colours[i] = qRgb(info.colormap[0][i], info.colormap[1][i], info.colormap[2][i]);
            }
        }
        image.setColorTable(colours);
    }
    return true;
}

// Everything between setjmp and the end of decoding lives in this frame or in the caller's:
// a longjmp out of libjpeg skips no C++ destructor.
JpegStatus decodeFrame(jpeg_decompress_struct &info, ErrorManager &errors, const QByteArray &bytes,
                       const JpegDecodeOptions &options, QImage &image)
{
    if (setjmp(errors.jump)) {
        const int code = errors.manager.msg_code;
        jpeg_destroy_decompress(&info);
        return JpegStatus{JpegError::Library, code};
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = long(MaximumPictureBytes);
    setSource(info, bytes);
    jpeg_read_header(&info, TRUE);

    const bool grey = info.jpeg_color_space == JCS_GRAYSCALE;
    info.scale_num = scaleEighths(info, options.atLeast);
    info.scale_denom = EighthsDenominator;
    info.do_block_smoothing = TRUE;
    info.dct_method = JDCT_ISLOW;
    info.buffered_image = FALSE;
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    if (options.quantise || grey) {
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = JpegQuantisedColours;
        info.two_pass_quantize = TRUE;
        info.dither_mode = JDITHER_FS;
    }
    jpeg_calc_output_dimensions(&info);
    if (qint64(info.output_width) * info.output_height * info.output_components > MaximumPictureBytes) {
        jpeg_destroy_decompress(&info);
        return tooLarge();
    }

    jpeg_start_decompress(&info);
    if (!allocateImage(info, image)) {
        jpeg_destroy_decompress(&info);
        return tooLarge();
    }
    JSAMPROW rows[RowsPerRead];
    while (info.output_scanline < info.output_height) {
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION wanted = std::min<JDIMENSION>(RowsPerRead, info.output_height - first);
        for (JDIMENSION i = 0; i < wanted; ++i)
            rows[i] = image.scanLine(int(first + i));
        jpeg_read_scanlines(&info, rows, wanted);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return JpegStatus{};
}

JpegStatus headerFrame(jpeg_decompress_struct &info, ErrorManager &errors, const QByteArray &bytes,
                       JpegHeader &header)
{
    if (setjmp(errors.jump)) {
        const int code = errors.manager.msg_code;
        jpeg_destroy_decompress(&info);
        return JpegStatus{JpegError::Library, code};
    }
    jpeg_create_decompress(&info);
    setSource(info, bytes);
    jpeg_read_header(&info, TRUE);
    header.width = int(info.image_width);
    header.height = int(info.image_height);
    header.grey = info.jpeg_color_space == JCS_GRAYSCALE;
    header.multipleScans = jpeg_has_multiple_scans(&info);
    jpeg_destroy_decompress(&info);
    return JpegStatus{};
}

} // namespace

JpegStatus readJpegHeader(const QByteArray &bytes, JpegHeader &header)
{
    header = JpegHeader();
    jpeg_decompress_struct info;
    ErrorManager errors;
    prepareErrors(errors, info);
    return headerFrame(info, errors, bytes, header);
}

JpegStatus decodeJpeg(const QByteArray &bytes, const JpegDecodeOptions &options, QImage &image)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    prepareErrors(errors, info);
    QImage decoded;
    const JpegStatus status = decodeFrame(info, errors, bytes, options, decoded);
    if (status.ok())
        image = std::move(decoded);
    return status;
}
