#pragma once

#include <QByteArray>
#include <QImage>

// JPEG decoding through libjpeg, kept apart from the picture kind so that tests, the benchmark
// and the fuzz target drive it directly. Nothing here throws: failures come back as a status
// carrying libjpeg's message number, which the picture turns into "Erreur JPEG #%d".

struct JpegHeader
{
    int width = 0;
    int height = 0;
    bool grey = false;          // the picture's own colour space is greyscale
    bool multipleScans = false; // progressive (or otherwise multi-scan) file
};

enum class JpegError {
    None,
    Library,  // libjpeg refused the data; messageCode holds its message number
    TooLarge, // the decoded picture would not fit in the memory we allow one picture
};

struct JpegStatus
{
    JpegError error = JpegError::None;
    int messageCode = 0; // libjpeg's J_MESSAGE_CODE, also set for TooLarge (out of memory)
    bool ok() const { return error == JpegError::None; }
};

struct JpegDecodeOptions
{
    // 8-bit output: libjpeg quantises to at most 236 colours (two passes and Floyd-Steinberg
    // dithering for colour pictures). Used when the screen shows 256 colours or fewer; grey
    // pictures always take the 8-bit path.
    bool quantise = false;
    // When valid: libjpeg scales the picture down while decoding, by eighths, to the smallest
    // size that still covers this one (never up). Printing asks for the size a picture is
    // printed at, so a photograph of 4000 x 3000 does not cost 36 MB on every page.
    QSize atLeast;
};

// At most this many colours come out of the 8-bit path, leaving room for the system colours
// of a 256-colour screen.
constexpr int JpegQuantisedColours = 236;

// Reads the header only.
JpegStatus readJpegHeader(const QByteArray &bytes, JpegHeader &header);

// Decodes the whole picture, at full size unless options.atLeast asks for less: block smoothing on, accurate integer DCT, no
// progressive display. Gives Format_RGB888 for 24-bit output and Format_Indexed8 (with the
// quantised colour table, grey shades for grey pictures) for 8-bit output.
JpegStatus decodeJpeg(const QByteArray &bytes, const JpegDecodeOptions &options, QImage &image);
