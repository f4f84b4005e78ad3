#include "marking/reading/pagepicturefile.h"

#include <QFile>

#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <vector>

namespace PagePictureFile {

namespace {

constexpr unsigned char PngMagic[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr char TiffLittle[] = {'I', 'I', 42, 0};
constexpr char TiffBig[] = {'M', 'M', 0, 42};

// Neither side of a scan may be longer than this: a metre and a half at 600 dpi. Anything
// larger is a damaged header, refused before a byte is allocated for it.
constexpr uint32_t MaximumSide = 36000;
// Pictures that cannot be read a row at a time (an interlaced PNG, a tiled or unusual TIFF)
// are decoded whole: at most this many pixels, a 600 dpi A4 page with room to spare.
constexpr uint64_t MaximumWholePixels = 40'000'000;
// libtiff allocates no single buffer larger than this for one file.
constexpr tmsize_t TiffMaximumAllocation = 256 * 1024 * 1024;

// Grey from red, green and blue, with the weights of ITU-R BT.601 in 256ths (as OpenCV does);
// libpng is given the same, in its 100000ths.
inline uchar greyOf(unsigned red, unsigned green, unsigned blue)
{
    return uchar((77 * red + 150 * green + 29 * blue + 128) >> 8);
}
constexpr png_fixed_point RedWeight = 29900;
constexpr png_fixed_point GreenWeight = 58700;

// Full rows of grey in, the page averaged over `factor` × `factor` squares out: only one row
// of sums is held beside the smaller page.
class RowShrinker
{
public:
    RowShrinker(int width, int height, int factor)
        : m_width(width), m_factor(factor), m_sums(size_t((width + factor - 1) / factor), 0),
          m_image((width + factor - 1) / factor, (height + factor - 1) / factor, QImage::Format_Grayscale8)
    {
    }

    bool valid() const { return !m_image.isNull(); }

    void add(const uchar *row)
    {
        int x = 0;
        for (uint32_t &sum : m_sums) {
            const int end = std::min(x + m_factor, m_width);
            for (; x < end; ++x)
                sum += row[x];
        }
        if (++m_rowsInBand == m_factor)
            flush();
    }

    QImage take()
    {
        if (m_rowsInBand > 0)
            flush();
        return m_outRow == m_image.height() ? std::move(m_image) : QImage();
    }

private:
    void flush()
    {
        uchar *out = m_image.scanLine(m_outRow++);
        for (size_t b = 0; b < m_sums.size(); ++b) {
            const uint32_t columns = uint32_t(std::min(m_factor, m_width - int(b) * m_factor));
            const uint32_t count = columns * uint32_t(m_rowsInBand);
            out[b] = uchar((m_sums[b] + count / 2) / count);
            m_sums[b] = 0;
        }
        m_rowsInBand = 0;
    }

    int m_width;
    int m_factor;
    std::vector<uint32_t> m_sums;
    QImage m_image;
    int m_rowsInBand = 0;
    int m_outRow = 0;
};

bool sizeAllowed(uint32_t width, uint32_t height)
{
    return width > 0 && height > 0 && width <= MaximumSide && height <= MaximumSide;
}

int factorFor(uint32_t width, uint32_t height, double dpi, double longSideInches)
{
    return reductionFor(int(std::max(width, height)), dpi * longSideInches);
}

// libtiff's messages stay inside: a damaged file is said once, in French, by the caller.
int quiet(TIFF *, void *, const char *, const char *, va_list)
{
    return 1;
}

struct TiffClose
{
    void operator()(TIFF *tiff) const { TIFFClose(tiff); }
};
using TiffFile = std::unique_ptr<TIFF, TiffClose>;

TiffFile openTiff(const QString &path)
{
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, TiffMaximumAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quiet, nullptr);
    TiffFile tiff(TIFFOpenExt(QFile::encodeName(path).constData(), "r", options));
    TIFFOpenOptionsFree(options);
    return tiff;
}

// One row of a TIFF page as stored, made grey: the layouts scanners and copiers write.
class TiffRowConverter
{
public:
    // False for a layout read only whole, through libtiff's own conversion.
    bool prepare(TIFF *tiff, uint32_t width)
    {
        m_width = width;
        uint16_t planar = PLANARCONFIG_CONTIG, compression = COMPRESSION_NONE;
        TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &m_bits);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &m_samples);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
        if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &m_photometric))
            m_photometric = m_samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
        if (TIFFIsTiled(tiff) || (planar != PLANARCONFIG_CONTIG && m_samples > 1))
            return false;
        if (compression == COMPRESSION_JPEG && m_photometric == PHOTOMETRIC_YCBCR) {
            // libtiff's JPEG codec gives the colours back as red, green and blue.
            TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
            m_photometric = PHOTOMETRIC_RGB;
        }
        switch (m_photometric) {
        case PHOTOMETRIC_MINISWHITE:
        case PHOTOMETRIC_MINISBLACK:
            if (m_samples < 1 || !(m_bits == 1 || m_bits == 2 || m_bits == 4 || m_bits == 8 || m_bits == 16))
                return false;
            for (unsigned v = 0; v < 256u && v < (1u << std::min<unsigned>(m_bits, 8)); ++v) {
                const unsigned level = m_bits >= 8 ? v : v * 255 / ((1u << m_bits) - 1);
                m_table[v] = uchar(m_photometric == PHOTOMETRIC_MINISWHITE ? 255 - level : level);
            }
            for (unsigned byte = 0; byte < 256; ++byte) {
                for (unsigned bit = 0; bit < 8; ++bit)
                    m_bytes[byte][bit] = m_table[(byte >> (7 - bit)) & 1];
            }
            return m_bits >= 8 || m_samples == 1;
        case PHOTOMETRIC_RGB:
            return m_samples >= 3 && m_bits == 8;
        case PHOTOMETRIC_PALETTE: {
            uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
            if (m_samples != 1 || m_bits > 8 || !TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue))
                return false;
            for (unsigned v = 0; v < (1u << m_bits); ++v)
                m_table[v] = greyOf(red[v] >> 8, green[v] >> 8, blue[v] >> 8);
            return true;
        }
        default:
            return false;
        }
    }

    void convert(const uchar *in, uchar *out) const
    {
        if (m_photometric == PHOTOMETRIC_RGB) {
            for (uint32_t x = 0; x < m_width; ++x, in += m_samples)
                out[x] = greyOf(in[0], in[1], in[2]);
            return;
        }
        if (m_bits == 16) {
            const auto *wide = reinterpret_cast<const uint16_t *>(in);
            for (uint32_t x = 0; x < m_width; ++x)
                out[x] = m_table[wide[size_t(x) * m_samples] >> 8];
            return;
        }
        if (m_bits == 8) {
            for (uint32_t x = 0; x < m_width; ++x)
                out[x] = m_table[in[size_t(x) * m_samples]];
            return;
        }
        if (m_bits == 1) {
            // A copier's black and white: eight pixels a byte, looked up a byte at a time.
            uint32_t x = 0;
            for (; x + 8 <= m_width; x += 8)
                std::copy_n(m_bytes[in[x / 8]].data(), 8, out + x);
            for (; x < m_width; ++x)
                out[x] = m_bytes[in[x / 8]][x % 8];
            return;
        }
        // 2 or 4 bits a pixel, the first pixel in the byte's high bits.
        const unsigned perByte = 8 / m_bits, mask = (1u << m_bits) - 1;
        for (uint32_t x = 0; x < m_width; ++x) {
            const unsigned shift = 8 - m_bits * (1 + x % perByte);
            out[x] = m_table[(in[x / perByte] >> shift) & mask];
        }
    }

private:
    uint32_t m_width = 0;
    uint16_t m_bits = 1, m_samples = 1, m_photometric = PHOTOMETRIC_MINISWHITE;
    uchar m_table[256] = {};
    std::array<std::array<uchar, 8>, 256> m_bytes{}; // for 1 bit a pixel: a byte's eight greys
};

QImage readTiffWhole(TIFF *tiff, uint32_t width, uint32_t height, int factor)
{
    if (uint64_t(width) * height > MaximumWholePixels)
        return {};
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff, message))
        return {};
    std::vector<uint32_t> pixels(size_t(width) * height);
    if (!TIFFReadRGBAImageOriented(tiff, width, height, pixels.data(), ORIENTATION_TOPLEFT, 0))
        return {};
    RowShrinker shrinker(int(width), int(height), factor);
    if (!shrinker.valid())
        return {};
    std::vector<uchar> row(width);
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t *in = pixels.data() + size_t(y) * width;
        for (uint32_t x = 0; x < width; ++x)
            row[x] = greyOf(TIFFGetR(in[x]), TIFFGetG(in[x]), TIFFGetB(in[x]));
        shrinker.add(row.data());
    }
    return shrinker.take();
}

struct PngReading
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    FILE *file = nullptr;

    ~PngReading()
    {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (file)
            std::fclose(file);
    }
};

void pngFailed(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void pngWarned(png_structp, png_const_charp)
{
}

// Everything that can longjmp out of libpng is here, with nothing in it that a destructor
// must see: the rows and the smaller page belong to the caller.
bool decodePng(PngReading &r, std::vector<uchar> &row, std::vector<uchar> &grey, std::vector<uchar> &whole,
               std::vector<png_bytep> &rows, std::unique_ptr<RowShrinker> &shrinker, double dpi, double longSideInches)
{
    if (setjmp(png_jmpbuf(r.png)))
        return false;
    png_init_io(r.png, r.file);
    png_set_user_limits(r.png, MaximumSide, MaximumSide);
    png_read_info(r.png, r.info);
    const png_uint_32 width = png_get_image_width(r.png, r.info);
    const png_uint_32 height = png_get_image_height(r.png, r.info);
    if (!sizeAllowed(width, height))
        return false;
    // Every kind of PNG made 8-bit grey or red, green and blue, without alpha (a scan's
    // transparency means nothing); the colours are made grey here, with the weights TIFF
    // pages get, not in libpng's linear light.
    png_set_expand(r.png);
    png_set_strip_16(r.png);
    png_set_strip_alpha(r.png);
    const int passes = png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    const int channels = png_get_channels(r.png, r.info);
    const size_t rowBytes = size_t(width) * size_t(channels);
    if ((channels != 1 && channels != 3) || png_get_rowbytes(r.png, r.info) != rowBytes)
        return false;
    shrinker = std::make_unique<RowShrinker>(int(width), int(height), factorFor(width, height, dpi, longSideInches));
    if (!shrinker->valid())
        return false;
    grey.resize(width);
    const auto add = [&](const uchar *in) {
        if (channels == 1)
            return shrinker->add(in);
        for (png_uint_32 x = 0; x < width; ++x, in += 3)
            grey[x] = greyOf(in[0], in[1], in[2]);
        shrinker->add(grey.data());
    };
    if (passes == 1) {
        row.resize(rowBytes);
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(r.png, row.data(), nullptr);
            add(row.data());
        }
        return true;
    }
    // An interlaced picture's rows are only whole after the last pass.
    if (uint64_t(width) * height > MaximumWholePixels)
        return false;
    whole.assign(rowBytes * height, 255);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = whole.data() + size_t(y) * rowBytes;
    png_read_image(r.png, rows.data());
    for (png_uint_32 y = 0; y < height; ++y)
        add(rows[y]);
    return true;
}

} // namespace

Kind kindOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Kind::Other;
    const QByteArray start = file.read(sizeof PngMagic);
    if (start == QByteArray(reinterpret_cast<const char *>(PngMagic), sizeof PngMagic))
        return Kind::Png;
    if (start.startsWith(QByteArray(TiffLittle, 4)) || start.startsWith(QByteArray(TiffBig, 4)))
        return Kind::Tiff;
    return Kind::Other;
}

int reductionFor(int longestPixels, double wantedPixels)
{
    if (wantedPixels <= 0)
        return 1;
    // A 600 dpi page is brought to 200 dpi by three, not two, though its scan is a pixel short.
    return std::max(1, int(longestPixels / wantedPixels + 0.15));
}

int tiffPageCount(const QString &path)
{
    const TiffFile tiff = openTiff(path);
    return tiff ? int(TIFFNumberOfDirectories(tiff.get())) : 0;
}

QImage readTiff(const QString &path, int index, double dpi, double longSideInches)
{
    const TiffFile tiff = openTiff(path);
    if (!tiff || index < 0 || !TIFFSetDirectory(tiff.get(), tdir_t(index)))
        return {};
    uint32_t width = 0, height = 0;
    if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height)
        || !sizeAllowed(width, height))
        return {};
    const int factor = factorFor(width, height, dpi, longSideInches);
    TiffRowConverter converter;
    if (!converter.prepare(tiff.get(), width))
        return readTiffWhole(tiff.get(), width, height, factor);
    const tmsize_t stored = TIFFScanlineSize(tiff.get());
    if (stored <= 0)
        return {};
    RowShrinker shrinker(int(width), int(height), factor);
    if (!shrinker.valid())
        return {};
    std::vector<uchar> in(static_cast<size_t>(stored)), grey(width);
    for (uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff.get(), in.data(), y, 0) < 0)
            return {};
        converter.convert(in.data(), grey.data());
        shrinker.add(grey.data());
    }
    return shrinker.take();
}

QImage readPng(const QString &path, double dpi, double longSideInches)
{
    PngReading r;
    r.file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!r.file)
        return {};
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFailed, pngWarned);
    if (!r.png)
        return {};
    r.info = png_create_info_struct(r.png);
    if (!r.info)
        return {};
    std::vector<uchar> row, grey, whole;
    std::vector<png_bytep> rows;
    std::unique_ptr<RowShrinker> shrinker;
    if (!decodePng(r, row, grey, whole, rows, shrinker, dpi, longSideInches) || !shrinker)
        return {};
    return shrinker->take();
}

} // namespace PagePictureFile
