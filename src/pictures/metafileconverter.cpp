#include "pictures/metafileconverter.h"

#include "pictures/svgoutsidereferences.h"

#include <QtEndian>

#include <emf2svg.h>
#include <uemf.h>
#include <uemf_safe.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int EmfFileSizeOffset = 48;
constexpr int EmfDescriptionLengthOffset = 60;
constexpr int EmfDescriptionOffsetOffset = 64;

// libwmf sizes some of its blocks from counts in the file, so a few bytes can ask for
// gigabytes. Every block it takes goes through this account, which refuses to go beyond a
// quarter of a gigabyte in all: the conversion then fails like any refused content.
class WmfAllocations
{
public:
    static constexpr size_t Limit = size_t(256) << 20;

    static void *allocate(void *context, size_t size)
    {
        return static_cast<WmfAllocations *>(context)->resize(nullptr, size);
    }
    static void *reallocate(void *context, void *block, size_t size)
    {
        return static_cast<WmfAllocations *>(context)->resize(block, size);
    }
    static void release(void *context, void *block)
    {
        if (block) {
            Prefix *prefix = prefixOf(block);
            static_cast<WmfAllocations *>(context)->m_used -= prefix->size;
            std::free(prefix);
        }
    }

private:
    // Each block carries its size in front of it, aligned like anything malloc returns.
    struct alignas(std::max_align_t) Prefix
    {
        size_t size;
    };

    static Prefix *prefixOf(void *block) { return static_cast<Prefix *>(block) - 1; }

    void *resize(void *block, size_t size)
    {
        const size_t old = block ? prefixOf(block)->size : 0;
        if (size > Limit || m_used - old > Limit - size)
            return nullptr;
        auto *prefix = static_cast<Prefix *>(std::realloc(block ? prefixOf(block) : nullptr,
                                                          sizeof(Prefix) + size));
        if (!prefix)
            return nullptr;
        prefix->size = size;
        m_used = m_used - old + size;
        return prefix + 1;
    }

    size_t m_used = 0;
};

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
    WmfAllocations allocations;
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.context = &allocations;
    options.malloc = &WmfAllocations::allocate;
    options.realloc = &WmfAllocations::reallocate;
    options.free = &WmfAllocations::release;
    options.function = wmf_svg_function;
    options.fontdirs = const_cast<char **>(FontFolders);
    options.font.ps = const_cast<wmfMapping *>(PostScriptFonts);
    const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_FONTDIRS | WMF_OPT_FONTMAP
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

} // namespace

MetafileError convertMetafileToSvg(const QByteArray &bytes, QByteArray &svg)
{
    MetafileHeader header;
    if (const MetafileError error = readMetafileHeader(bytes, header); error != MetafileError::None)
        return error;
    QByteArray converted;
    const MetafileError error =
        header.type == MetafileType::Emf ? emfToSvg(bytes, header, converted) : wmfToSvg(bytes, header, converted);
    if (error != MetafileError::None)
        return error;
    // The libraries copy text from the file into the drawing: a reference spelt out there is
    // dropped as an SVG file's would be, and a drawing they broke is refused here.
    std::optional<QByteArray> own = svgWithoutOutsideReferences(converted);
    if (!own)
        return MetafileError::ConversionFailed;
    svg = std::move(*own);
    return MetafileError::None;
}
