#include "pictures/pcx/pcxdecoder.h"

#include "pictures/pcx/bmpfile.h"
#include "pictures/pcx/pcxinput.h"

#include <QBuffer>
#include <QtNumeric>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// BMP stores a pixel as blue, green, red; PCX sends the red plane line first.
constexpr int TrueColourPlanes = 3;
constexpr int BytesPerTrueColourPixel = 3;
constexpr int BytesPerPixelWord = 4;

PcxError readPaletteBlock(QIODevice &device, PcxPalette &palette)
{
    const qint64 size = device.size();
    if (size < Pcx::PaletteBlockSize)
        return PcxError::MissingPaletteBlock;
    uchar block[Pcx::PaletteBlockSize];
    if (!device.seek(size - Pcx::PaletteBlockSize)
        || device.read(reinterpret_cast<char *>(block), Pcx::PaletteBlockSize) != Pcx::PaletteBlockSize)
        return PcxError::ReadFailed;
    if (block[0] != Pcx::PaletteBlockMarker)
        return PcxError::MissingPaletteBlock;
    palette.resize(Pcx::PaletteBlockEntries);
    for (int i = 0; i < Pcx::PaletteBlockEntries; ++i) {
        const uchar *entry = block + 1 + 3 * i;
        palette[static_cast<size_t>(i)] = PcxColour{entry[0], entry[1], entry[2]};
    }
    return PcxError::None;
}

PcxError choosePalette(QIODevice &device, const PcxHeader &header, const PcxLayout &layout, PcxPalette &palette)
{
    palette.clear();
    if (layout.paletteEntries == 0)
        return PcxError::None;
    if (layout.needsPaletteBlock) {
        PcxPalette block;
        const PcxError error = readPaletteBlock(device, block);
        if (error != PcxError::None)
            return error;
        palette = layout.greyLevels ? greyPalette(layout.paletteEntries) : std::move(block);
        return PcxError::None;
    }
    palette.assign(header.palette.begin(), header.palette.begin() + layout.paletteEntries);
    // Writers that leave the header palette at zero (Pillow does, and version 2 and 3 files
    // without a palette did) mean black and white, which is how every other reader shows
    // them; taken literally the picture would be all black whatever its pixels.
    const bool unsetOneBit = layout.paletteEntries == 2 && palette[0] == PcxColour{} && palette[1] == PcxColour{};
    if (layout.greyLevels || unsetOneBit)
        palette = greyPalette(layout.paletteEntries);
    return PcxError::None;
}

// Expands code bytes into consecutive lines of bytesPerLine values. When a line is full,
// nextLine() stores it and returns where the next one goes, or nullptr after the last line.
// A run may carry on into the following line: old encoders did not stop runs at line ends,
// and splitting the loop per line would refuse their files for no gain.
template <typename NextLine>
PcxError expandRuns(PcxInput &input, int bytesPerLine, uchar *line, NextLine nextLine)
{
    int position = 0;
    // Puts count copies of value at the current place, going on into the next lines; false
    // once the last line is complete.
    auto writeRun = [&](int count, uchar value) {
        while (count > 0) {
            // Never write past the end of the current line, whatever the run says.
            const int take = std::min(count, bytesPerLine - position);
            if (take == 1)
                line[position] = value;
            else
                std::memset(line + position, value, static_cast<size_t>(take));
            position += take;
            count -= take;
            if (position == bytesPerLine) {
                line = nextLine();
                if (!line)
                    return false;
                position = 0;
            }
        }
        return true;
    };
    auto inputEnded = [&input] { return input.failed() ? PcxError::ReadFailed : PcxError::TruncatedData; };

    for (;;) {
        if (!input.fill())
            return inputEnded();
        // Code bytes are taken straight from the input buffer while both bytes of a run pair
        // are in it; a pair split by the end of the buffer goes the slow way below.
        const uchar *code = input.position();
        const uchar *const end = input.end();
        while (code < end) {
            if (*code < Pcx::RunFlag) {
                line[position++] = *code++;
                if (position == bytesPerLine) {
                    line = nextLine();
                    if (!line) {
                        input.advanceTo(code);
                        return PcxError::None;
                    }
                    position = 0;
                }
                continue;
            }
            if (end - code < 2)
                break;
            const int count = code[0] & Pcx::RunCountMask;
            const uchar value = code[1];
            code += 2;
            if (!writeRun(count, value)) {
                input.advanceTo(code);
                return PcxError::None;
            }
        }
        input.advanceTo(code);
        if (code == end)
            continue;
        const int count = input.next() & Pcx::RunCountMask;
        const int value = input.next();
        if (value < 0)
            return inputEnded();
        if (!writeRun(count, uchar(value)))
            return PcxError::None;
    }
}

// Where each scan line's row is. A BMP image takes the first scan line as its last row.
struct RowCursor
{
    uchar *first;
    qint64 step;
    qint64 rowBytes;
    int height;
    PcxPixelRows::Packing packing;
};

// One plane: the plane line is the row, cut or padded to the row's bytes. When the plane line
// fits the row (always, for files whose bytes per line follow their width) and needs no
// unpacking it is expanded in place; otherwise it goes through a line buffer, its extra bytes
// are dropped and 4-bit indices are unpacked where the rows want one per byte. Whatever
// follows the pixels is zero, so the padding of the PCX line never shows up in the rows.
PcxError decodeOnePlane(PcxInput &input, int bytesPerLine, qint64 usedBytes, int width, int bitsPerPixel,
                        const RowCursor &rows)
{
    const bool unpackNibbles = bitsPerPixel == 4 && rows.packing == PcxPixelRows::Packing::Unpacked;
    const qint64 rowUsed = unpackNibbles ? qint64(width) : usedBytes;
    const bool inPlace = !unpackNibbles && bytesPerLine <= rows.rowBytes;
    std::vector<uchar> lineBuffer(inPlace ? 0 : static_cast<size_t>(bytesPerLine));
    const auto padding = static_cast<size_t>(rows.rowBytes - rowUsed);
    int linesDone = 0;
    uchar *row = rows.first;
    auto nextLine = [&]() -> uchar * {
        if (unpackNibbles) {
            const uchar *packed = lineBuffer.data();
            for (int x = 0; x < width; ++x)
                row[x] = uchar(x % 2 ? packed[x / 2] & 0x0F : packed[x / 2] >> 4);
        } else if (!inPlace) {
            std::memcpy(row, lineBuffer.data(), static_cast<size_t>(usedBytes));
        }
        std::memset(row + rowUsed, 0, padding);
        if (++linesDone == rows.height)
            return nullptr;
        row += rows.step;
        return inPlace ? row : lineBuffer.data();
    };
    return expandRuns(input, bytesPerLine, inPlace ? row : lineBuffer.data(), nextLine);
}

// Three planes: red, green and blue plane lines in turn, kept side by side and interleaved
// into one row once the blue one is complete (one sequential pass over the row); the values
// beyond the width (the padding of odd widths) are dropped.
PcxError decodeThreePlanes(PcxInput &input, int bytesPerLine, int width, const RowCursor &rows)
{
    std::vector<uchar> planeLines(static_cast<size_t>(TrueColourPlanes) * static_cast<size_t>(bytesPerLine));
    const uchar *const red = planeLines.data();
    const uchar *const green = red + bytesPerLine;
    const uchar *const blue = green + bytesPerLine;
    const bool words = rows.packing == PcxPixelRows::Packing::Unpacked;
    const qint64 usedBytes = qint64(width) * (words ? BytesPerPixelWord : BytesPerTrueColourPixel);
    int plane = 0;
    int linesDone = 0;
    uchar *row = rows.first;
    auto nextLine = [&]() -> uchar * {
        if (++plane < TrueColourPlanes)
            return planeLines.data() + qint64(plane) * bytesPerLine;
        plane = 0;
        if (words) {
            auto *pixel = reinterpret_cast<quint32 *>(row);
            for (int x = 0; x < width; ++x)
                pixel[x] = 0xFF000000u | quint32(red[x]) << 16 | quint32(green[x]) << 8 | blue[x];
        } else {
            uchar *pixel = row;
            for (int x = 0; x < width; ++x) {
                pixel[0] = blue[x];
                pixel[1] = green[x];
                pixel[2] = red[x];
                pixel += BytesPerTrueColourPixel;
            }
        }
        std::memset(row + usedBytes, 0, static_cast<size_t>(rows.rowBytes - usedBytes));
        if (++linesDone == rows.height)
            return nullptr;
        row += rows.step;
        return planeLines.data();
    };
    return expandRuns(input, bytesPerLine, planeLines.data(), nextLine);
}

} // namespace

PcxDecoder::PcxDecoder(PcxDecoderOptions options) : m_options(options) {}

PcxDecodeResult PcxDecoder::decode(const QByteArray &file) const
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    return decodeRandomAccess(buffer, &file, nullptr);
}

PcxDecodeResult PcxDecoder::decodeInto(const QByteArray &file, const RowAllocator &allocate) const
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    return decodeRandomAccess(buffer, &file, &allocate);
}

PcxDecodeResult PcxDecoder::decodeInto(QIODevice &device, const RowAllocator &allocate) const
{
    if (!device.isReadable()) {
        PcxDecodeResult result;
        result.error = PcxError::ReadFailed;
        return result;
    }
    if (device.isSequential())
        return decodeInto(device.readAll(), allocate);
    return decodeRandomAccess(device, nullptr, &allocate);
}

PcxDecodeResult PcxDecoder::decode(QIODevice &device) const
{
    if (!device.isReadable()) {
        PcxDecodeResult result;
        result.error = PcxError::ReadFailed;
        return result;
    }
    // The palette block sits at the end, so a pipe or socket is read whole first.
    if (device.isSequential())
        return decode(device.readAll());
    return decodeRandomAccess(device, nullptr, nullptr);
}

PcxDecodeResult PcxDecoder::decodeRandomAccess(QIODevice &device, const QByteArray *memory,
                                               const RowAllocator *allocate) const
{
    PcxDecodeResult result;
    auto refuse = [&result](PcxError error) {
        result.error = error;
        result.bmp.clear();
        return result;
    };

    uchar headerBytes[Pcx::HeaderSize];
    if (!device.seek(0))
        return refuse(PcxError::ReadFailed);
    if (device.read(reinterpret_cast<char *>(headerBytes), Pcx::HeaderSize) != Pcx::HeaderSize)
        return refuse(PcxError::HeaderTooShort);
    const PcxHeader header = parsePcxHeader(headerBytes);
    if (const PcxError error = checkPcxHeader(header); error != PcxError::None)
        return refuse(error);

    PcxLayout layout;
    const PcxError classified = classifyPcx(header, layout);
    result.formatCode = layout.formatCode;
    if (classified != PcxError::None)
        return refuse(classified);

    int width = 0;
    int height = 0;
    if (const PcxError error = pcxDimensions(header, width, height); error != PcxError::None)
        return refuse(error);
    // A plane line must at least hold the width's pixels; wider lines are cut.
    const qint64 neededBytesPerLine = (qint64(width) * layout.bitsPerPlane + 7) / 8;
    const int bytesPerLine = header.bytesPerLine;
    if (bytesPerLine == 0 || bytesPerLine < neededBytesPerLine)
        return refuse(PcxError::BadBytesPerLine);

    BmpLayout bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bitsPerPixel = layout.bmpBitsPerPixel;
    bmp.xPixelsPerMetre = dpiToPixelsPerMetre(header.horizontalDpi);
    bmp.yPixelsPerMetre = dpiToPixelsPerMetre(header.verticalDpi);
    if (const PcxError error = choosePalette(device, header, layout, bmp.palette); error != PcxError::None)
        return refuse(error);

    qint64 fileSize = 0;
    if (!bmp.fileSize(fileSize) || fileSize > m_options.maxImageBytes)
        return refuse(PcxError::TooLarge);
    // No code byte yields more than 63 values; a file too short to reach the last line
    // is refused here rather than after allocating the whole image for it.
    qint64 valuesNeeded = 0;
    qint64 mostValuesAvailable = 0;
    const qint64 codeBytes = device.size() - Pcx::HeaderSize;
    if (qMulOverflow(qint64(bytesPerLine) * layout.planes, qint64(height), &valuesNeeded)
        || qMulOverflow(codeBytes, qint64(Pcx::MaxRunLength), &mostValuesAvailable))
        return refuse(PcxError::TooLarge);
    if (mostValuesAvailable < valuesNeeded)
        return refuse(PcxError::TruncatedData);

    if (!device.seek(Pcx::HeaderSize))
        return refuse(PcxError::ReadFailed);
    RowCursor rows{nullptr, 0, 0, height, PcxPixelRows::Packing::AsBmp};
    if (allocate) {
        const PcxPixelRows given = (*allocate)(bmp);
        if (!given.firstLine)
            return refuse(PcxError::TooLarge);
        rows = RowCursor{given.firstLine, given.step, given.rowBytes, height, given.packing};
    } else {
        result.bmp = QByteArray(fileSize, Qt::Uninitialized);
        auto *data = reinterpret_cast<uchar *>(result.bmp.data());
        writeBmpHeaders(bmp, data);
        rows = RowCursor{data + bmp.pixelOffset() + qint64(height - 1) * bmp.rowSize(), -bmp.rowSize(),
                         bmp.rowSize(), height, PcxPixelRows::Packing::AsBmp};
    }

    PcxInput input = memory ? PcxInput(reinterpret_cast<const uchar *>(memory->constData()) + Pcx::HeaderSize,
                                       memory->size() - Pcx::HeaderSize, m_options.inputBufferSize)
                            : PcxInput(device, m_options.inputBufferSize);
    const PcxError decoded = layout.planes == 1
        ? decodeOnePlane(input, bytesPerLine, neededBytesPerLine, width, layout.bmpBitsPerPixel, rows)
        : decodeThreePlanes(input, bytesPerLine, width, rows);
    result.inputRefills = input.refills();
    if (decoded != PcxError::None)
        return refuse(decoded);
    return result;
}
