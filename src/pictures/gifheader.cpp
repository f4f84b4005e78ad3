#include "pictures/gifheader.h"

#include <QtEndian>

namespace {
constexpr char Signature[] = "GIF";
constexpr char Version87[] = "87a";
constexpr char Version89[] = "89a";
constexpr int VersionOffset = 3;
constexpr int ScreenWidthOffset = 6;
constexpr int ScreenHeightOffset = 8;
constexpr int PackedFieldsOffset = 10;
constexpr unsigned char GlobalColourTableFlag = 0x80;
}

GifHeaderError readGifHeader(const QByteArray &bytes, GifHeader &header)
{
    header = GifHeader();
    if (!bytes.startsWith(Signature))
        return GifHeaderError::BadSignature;
    const QByteArray version = bytes.mid(VersionOffset, 3);
    if (version != Version87 && version != Version89)
        return GifHeaderError::BadVersion;
    if (bytes.size() < GifHeaderSize)
        return GifHeaderError::Truncated;
    header.screenSize = QSize(qFromLittleEndian<quint16>(bytes.constData() + ScreenWidthOffset),
                              qFromLittleEndian<quint16>(bytes.constData() + ScreenHeightOffset));
    header.globalColourTable = (uchar(bytes.at(PackedFieldsOffset)) & GlobalColourTableFlag) != 0;
    return GifHeaderError::None;
}
