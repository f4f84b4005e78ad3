#include "pictures/metafileconverter.h"

#include <QtEndian>

#include <emf2svg.h>
#include <uemf.h>
#include <uemf_safe.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

#include <cstdlib>
#include <cstring>
#include <limits>

#ifdef Q_OS_UNIX
#include <csignal>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#endif

namespace {

constexpr quint32 PlaceableWmfKey = 0x9AC6CDD7u;
constexpr int PlaceableHeaderSize = 22;
constexpr quint32 EmrHeader = 1;
constexpr quint32 EmfSignature = 0x464D4520u; // " EMF"
constexpr int EmfHeaderMinimumSize = 88;
constexpr int EmfFileSizeOffset = 48;
constexpr int EmfDescriptionLengthOffset = 60;
constexpr int EmfDescriptionOffsetOffset = 64;
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

// libwmf names the PostScript base fonts and refuses to play a metafile when it cannot load
// any of them; the Liberation fonts (metric-compatible with Times, Arial and Courier) stand
// in, and DejaVu when they are missing.
const char *const FontFolders[] = {
    "/usr/share/fonts/truetype/liberation", "/usr/share/fonts/liberation",
    "/usr/share/fonts/liberation-sans", "/usr/share/fonts/truetype/dejavu",
    "/usr/share/fonts/dejavu", nullptr,
};

#define NELO_FONT(ps, file) {const_cast<char *>(ps), const_cast<char *>(file), FT_ENCODING_NONE}
const wmfMapping PostScriptFonts[] = {
    NELO_FONT("Times-Roman", "LiberationSerif-Regular.ttf"),
    NELO_FONT("Times-Italic", "LiberationSerif-Italic.ttf"),
    NELO_FONT("Times-Bold", "LiberationSerif-Bold.ttf"),
    NELO_FONT("Times-BoldItalic", "LiberationSerif-BoldItalic.ttf"),
    NELO_FONT("Helvetica", "LiberationSans-Regular.ttf"),
    NELO_FONT("Helvetica-Oblique", "LiberationSans-Italic.ttf"),
    NELO_FONT("Helvetica-Bold", "LiberationSans-Bold.ttf"),
    NELO_FONT("Helvetica-BoldOblique", "LiberationSans-BoldItalic.ttf"),
    NELO_FONT("Courier", "LiberationMono-Regular.ttf"),
    NELO_FONT("Courier-Oblique", "LiberationMono-Italic.ttf"),
    NELO_FONT("Courier-Bold", "LiberationMono-Bold.ttf"),
    NELO_FONT("Courier-BoldOblique", "LiberationMono-BoldItalic.ttf"),
    NELO_FONT("Symbol", "LiberationSans-Regular.ttf"),
    NELO_FONT("ZapfDingbats", "LiberationSans-Regular.ttf"),
    NELO_FONT("Times-Roman", "DejaVuSerif.ttf"),
    NELO_FONT("Helvetica", "DejaVuSans.ttf"),
    NELO_FONT("Courier", "DejaVuSansMono.ttf"),
    {nullptr, nullptr, FT_ENCODING_NONE},
};
#undef NELO_FONT

MetafileError wmfToSvg(const QByteArray &bytes, const MetafileHeader &header, QByteArray &svg)
{
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf_svg_function;
    options.fontdirs = const_cast<char **>(FontFolders);
    options.font.ps = const_cast<wmfMapping *>(PostScriptFonts);
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_FONTDIRS | WMF_OPT_FONTMAP
        | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI *api = nullptr;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return MetafileError::ConversionFailed;
    }
    // libwmf reads but does not write its input; it only lacks const in its interface.
    QByteArray input = bytes;
    MetafileError result = MetafileError::ConversionFailed;
    wmfD_Rect bbox;
    if (wmf_mem_open(api, reinterpret_cast<unsigned char *>(input.data()), long(input.size())) == wmf_E_None
        && wmf_scan(api, 0, &bbox) == wmf_E_None) {
        wmf_svg_t *device = WMF_SVG_GetData(api);
        device->out = wmf_stream_create(api, nullptr);
        device->Description = const_cast<char *>("picture");
        // libwmf's device units are points from the window origin. The picture is the frame
        // its placeable header declares, not just the part the records happen to cover.
        device->bbox.TL.x = 0;
        device->bbox.TL.y = 0;
        device->bbox.BR.x = float(header.frameInPoints.width());
        device->bbox.BR.y = float(header.frameInPoints.height());
        device->width = unsigned(header.size.width());
        device->height = unsigned(header.size.height());
        if (device->out) {
            const bool played = wmf_play(api, 0, &bbox) == wmf_E_None;
            char *buffer = nullptr;
            unsigned long length = 0;
            wmf_stream_destroy(api, device->out, &buffer, &length);
            if (played && buffer && length > 0) {
                svg = QByteArray(buffer, qsizetype(length));
                result = MetafileError::None;
            }
        }
    }
    wmf_api_destroy(api); // also frees every block libwmf handed out, the SVG buffer included
    return result;
}

// libemf2svg trusts the sizes and offsets inside records (a header whose description lies
// beyond the file was read past its end). Every record is checked with libuemf, the library
// it is built on, before the file is handed over; the walk ends at the end-of-file record,
// and length tells where that record ends.
MetafileError checkEmfRecords(const QByteArray &bytes, qsizetype &length)
{
    constexpr qsizetype RecordHeaderSize = 8; // type and size, 32 bits each
    const char *record = bytes.constData();
    const char *const end = record + bytes.size();
    bool first = true;
    while (end - record >= RecordHeaderSize) {
        const quint32 type = qFromLittleEndian<quint32>(record);
        const quint32 size = qFromLittleEndian<quint32>(record + 4);
        if (size < RecordHeaderSize || size % 4 != 0 || size > quint64(end - record))
            return MetafileError::BadRecords;
        if ((first && type != U_EMR_HEADER) || (!first && type == U_EMR_HEADER))
            return MetafileError::BadRecords;
        if (!U_emf_record_safe(record))
            return MetafileError::BadRecords;
        if (type == U_EMR_EOF) {
            length = qsizetype(record + size - bytes.constData());
            return MetafileError::None;
        }
        record += size;
        first = false;
    }
    return MetafileError::BadRecords;
}

MetafileError emfToSvg(const QByteArray &bytes, const MetafileHeader &header, QByteArray &svg)
{
    qsizetype length = 0;
    if (const MetafileError error = checkEmfRecords(bytes, length); error != MetafileError::None)
        return error;
    generatorOptions options;
    std::memset(&options, 0, sizeof options);
    options.nameSpace = const_cast<char *>("svg");
    options.svgDelimiter = true;
    options.emfplus = true;
    options.imgWidth = header.size.width();
    options.imgHeight = header.size.height();
    // The description is not shown anywhere, and libemf2svg reads it up to a terminator when
    // its length is zero, past the end of the file if need be: the copy it gets has none.
    // Nothing after the end-of-file record is handed over either, whatever size the header
    // claims for the file.
    QByteArray input = bytes.left(length);
    qToLittleEndian<quint32>(quint32(length), input.data() + EmfFileSizeOffset);
    qToLittleEndian<quint32>(0, input.data() + EmfDescriptionLengthOffset);
    qToLittleEndian<quint32>(0, input.data() + EmfDescriptionOffsetOffset);
    char *out = nullptr;
    size_t outLength = 0;
    const int ok = emf2svg(input.data(), size_t(input.size()), &out, &outLength, &options);
    MetafileError result = MetafileError::ConversionFailed;
    if (ok && out && outLength > 0) {
        svg = QByteArray(out, qsizetype(outLength));
        result = MetafileError::None;
    }
    std::free(out);
    return result;
}

MetafileError convertInProcess(const QByteArray &bytes, QByteArray &svg)
{
    MetafileHeader header;
    if (const MetafileError error = readMetafileHeader(bytes, header); error != MetafileError::None)
        return error;
    return header.type == MetafileType::Emf ? emfToSvg(bytes, header, svg) : wmfToSvg(bytes, header, svg);
}

#ifdef Q_OS_UNIX

constexpr int ChildTimeoutMs = 10000;
#if !defined(__SANITIZE_ADDRESS__) && !(defined(__has_feature) && __has_feature(address_sanitizer))
constexpr rlim_t ChildAddressSpace = rlim_t(2) << 30; // 2 GiB
#define NELO_LIMIT_CHILD_MEMORY 1
#endif

bool writeAll(int fd, const char *data, size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= size_t(written);
    }
    return true;
}

[[noreturn]] void runChild(int fd, const QByteArray &bytes)
{
#ifdef NELO_LIMIT_CHILD_MEMORY
    const rlimit limit{ChildAddressSpace, ChildAddressSpace};
    setrlimit(RLIMIT_AS, &limit);
#endif
    QByteArray svg;
    const MetafileError error = convertInProcess(bytes, svg);
    const char status = char(error);
    const bool ok = writeAll(fd, &status, 1) && (error != MetafileError::None || writeAll(fd, svg.constData(), size_t(svg.size())));
    ::_exit(ok ? 0 : 1);
}

qint64 nowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

MetafileError convertInChild(const QByteArray &bytes, QByteArray &svg)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return MetafileError::ConverterDied;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return MetafileError::ConverterDied;
    }
    if (pid == 0) {
        ::close(fds[0]);
        runChild(fds[1], bytes);
    }
    ::close(fds[1]);
    QByteArray output;
    bool timedOut = false;
    const qint64 deadline = nowMs() + ChildTimeoutMs;
    char chunk[65536];
    for (;;) {
        const qint64 left = deadline - nowMs();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd wait{fds[0], POLLIN, 0};
        const int ready = ::poll(&wait, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        const ssize_t got = ::read(fds[0], chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        output.append(chunk, qsizetype(got));
    }
    ::close(fds[0]);
    if (timedOut)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || output.isEmpty())
        return MetafileError::ConverterDied;
    const auto error = MetafileError(output.at(0));
    if (error == MetafileError::None)
        svg = output.mid(1);
    return error;
}

#endif

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

MetafileError convertMetafileToSvg(const QByteArray &bytes, QByteArray &svg, MetafileIsolation isolation)
{
    MetafileHeader header;
    if (const MetafileError error = readMetafileHeader(bytes, header); error != MetafileError::None)
        return error;
#ifdef Q_OS_UNIX
    if (isolation == MetafileIsolation::ChildProcess)
        return convertInChild(bytes, svg);
#else
    Q_UNUSED(isolation);
#endif
    return convertInProcess(bytes, svg);
}
