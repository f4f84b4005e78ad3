#include "pictures/metafileheader.h"

#include <QtEndian>

#include <cstdlib>

namespace {

constexpr quint32 PlaceableWmfKey = 0x9AC6CDD7u;
constexpr int PlaceableHeaderSize = 22;
constexpr quint32 EmrHeader = 1;
constexpr quint32 EmfSignature = 0x464D4520u; // " EMF"
constexpr int EmfHeaderMinimumSize = 88;
constexpr int ScreenDpi = 96;
constexpr int PointsPerInch = 72;
constexpr double HundredthsOfMmPerInch = 2540.0;
// Pictures beyond this side are refused rather than handed to a vector renderer.
constexpr qint64 MaximumSide = 32767;

template<typename T>
T readLittle(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

MetafileError sizeFrom(qint64 width, qint64 height, QSize &size)
{
    if (width <= 0 || height <= 0 || width > MaximumSide || height > MaximumSide)
        return MetafileError::BadHeader;
    size = QSize(int(width), int(height));
    return MetafileError::None;
}

MetafileError readPlaceableHeader(const QByteArray &bytes, MetafileHeader &header)
{
    if (bytes.size() < PlaceableHeaderSize + 18) // placeable header + standard metafile header
        return MetafileError::BadHeader;
    const qint64 left = readLittle<qint16>(bytes, 6);
    const qint64 top = readLittle<qint16>(bytes, 8);
    const qint64 right = readLittle<qint16>(bytes, 10);
    const qint64 bottom = readLittle<qint16>(bytes, 12);
    const qint64 unitsPerInch = readLittle<quint16>(bytes, 14);
    if (unitsPerInch == 0)
        return MetafileError::BadHeader;
    header.type = MetafileType::PlaceableWmf;
    header.frameInPoints = QSizeF(double(std::abs(right - left)) * PointsPerInch / double(unitsPerInch),
                                  double(std::abs(bottom - top)) * PointsPerInch / double(unitsPerInch));
    return sizeFrom((std::abs(right - left) * ScreenDpi + unitsPerInch / 2) / unitsPerInch,
                    (std::abs(bottom - top) * ScreenDpi + unitsPerInch / 2) / unitsPerInch, header.size);
}

MetafileError readEmfHeader(const QByteArray &bytes, MetafileHeader &header)
{
    if (bytes.size() < EmfHeaderMinimumSize)
        return MetafileError::BadHeader;
    header.type = MetafileType::Emf;
    // The frame (in hundredths of a millimetre) is the picture's own size; the bounds in
    // device pixels stand in when a writer left the frame empty.
    const qint64 frameWidth = qint64(readLittle<qint32>(bytes, 32)) - readLittle<qint32>(bytes, 24);
    const qint64 frameHeight = qint64(readLittle<qint32>(bytes, 36)) - readLittle<qint32>(bytes, 28);
    if (frameWidth > 0 && frameHeight > 0)
        return sizeFrom(qint64(frameWidth * ScreenDpi / HundredthsOfMmPerInch + 0.5),
                        qint64(frameHeight * ScreenDpi / HundredthsOfMmPerInch + 0.5), header.size);
    const qint64 boundsWidth = qint64(readLittle<qint32>(bytes, 16)) - readLittle<qint32>(bytes, 8) + 1;
    const qint64 boundsHeight = qint64(readLittle<qint32>(bytes, 20)) - readLittle<qint32>(bytes, 12) + 1;
    return sizeFrom(boundsWidth, boundsHeight, header.size);
}

} // namespace

MetafileError readMetafileHeader(const QByteArray &bytes, MetafileHeader &header)
{
    header = MetafileHeader();
    if (bytes.size() >= 4 && readLittle<quint32>(bytes, 0) == PlaceableWmfKey)
        return readPlaceableHeader(bytes, header);
    if (bytes.size() >= 44 && readLittle<quint32>(bytes, 0) == EmrHeader
        && readLittle<quint32>(bytes, 40) == EmfSignature)
        return readEmfHeader(bytes, header);
    return MetafileError::NotAMetafile;
}
