#include "printing/copypayload.h"

#include <QList>
#include <QStringDecoder>

#include <cmath>
#include <limits>

namespace {

constexpr char Magic[] = "NQ1";
constexpr char Family[] = "NQ";
constexpr char BesideTag = 'B';
constexpr char SheetTag = 'F';
constexpr char Separator = ':';
constexpr int Base = 36;
constexpr int FingerprintDigits = 16;
// A box's top in two base-36 digits: up to 1,295 points, more than the page's height.
constexpr int TopDigits = 2;
constexpr int FieldsWithoutPupil = 7;

QByteArray base36(quint64 value)
{
    return QByteArray::number(value, Base).toUpper();
}

QByteArray base36(quint64 value, int width)
{
    return base36(value).rightJustified(width, '0');
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return -1;
}

// Upper-case base-36 digits only, within `maximum`.
std::optional<quint64> number(const QByteArray &digits, quint64 maximum)
{
    if (digits.isEmpty() || digits.size() > 13)
        return std::nullopt;
    quint64 value = 0;
    for (char c : digits) {
        const int digit = digitValue(c);
        if (digit < 0 || value > (std::numeric_limits<quint64>::max() - quint64(digit)) / Base)
            return std::nullopt;
        value = value * Base + quint64(digit);
    }
    if (value > maximum)
        return std::nullopt;
    return value;
}

bool isUpperHex(const QByteArray &text)
{
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

} // namespace

QByteArray CopyPayload::encode() const
{
    QByteArray text(Magic);
    text += layout == CopyLayout::BoxesBeside ? BesideTag : SheetTag;
    const QList<QByteArray> fields = {fingerprint.toLatin1().toUpper(), base36(quint64(copy)), base36(quint64(page)),
                                      base36(quint64(pageCount)), base36(seed), base36(quint64(firstBox))};
    for (const QByteArray &field : fields)
        text += Separator + field;
    text += Separator;
    for (int top : boxTops)
        text += base36(quint64(top), TopDigits);
    if (!pupil.isEmpty())
        text += Separator + pupil.toUtf8();
    return text;
}

std::optional<CopyPayload> CopyPayload::decode(const QByteArray &text)
{
    const int magicLength = int(sizeof Magic) - 1;
    if (!text.startsWith(Magic) || text.size() <= magicLength)
        return std::nullopt;
    CopyPayload payload;
    const char tag = text[magicLength];
    if (tag == BesideTag)
        payload.layout = CopyLayout::BoxesBeside;
    else if (tag == SheetTag)
        payload.layout = CopyLayout::AnswerSheet;
    else
        return std::nullopt;
    // The name, last, may hold the separator itself.
    QList<QByteArray> fields = text.mid(magicLength + 1).split(Separator);
    if (fields.size() < FieldsWithoutPupil + 1 || !fields.takeFirst().isEmpty())
        return std::nullopt;
    if (fields.size() > FieldsWithoutPupil) {
        QList<QByteArray> pupil = fields.mid(FieldsWithoutPupil);
        const QByteArray name = pupil.join(Separator);
        QStringDecoder utf8(QStringDecoder::Utf8);
        payload.pupil = utf8(name);
        if (utf8.hasError() || name.isEmpty() || name.size() > MaxPupilBytes || name.contains('\0'))
            return std::nullopt;
    }
    const QByteArray &fingerprint = fields[0];
    if (fingerprint.size() != FingerprintDigits || !isUpperHex(fingerprint))
        return std::nullopt;
    payload.fingerprint = QString::fromLatin1(fingerprint).toLower();
    const auto copy = number(fields[1], MaxCopy);
    const auto page = number(fields[2], MaxPages);
    const auto pageCount = number(fields[3], MaxPages);
    const auto seed = number(fields[4], std::numeric_limits<quint64>::max());
    const auto firstBox = number(fields[5], MaxFirstBox);
    if (!copy || !page || !pageCount || !seed || !firstBox || *copy < 1 || *page < 1 || *page > *pageCount)
        return std::nullopt;
    payload.copy = int(*copy);
    payload.page = int(*page);
    payload.pageCount = int(*pageCount);
    payload.seed = *seed;
    payload.firstBox = int(*firstBox);
    const QByteArray &tops = fields[6];
    if (tops.size() % TopDigits != 0 || tops.size() / TopDigits > MaxBoxesPerPage)
        return std::nullopt;
    const int pageHeight = int(std::ceil(CopyGeometry::pageSize().height()));
    for (int i = 0; i < tops.size(); i += TopDigits) {
        const auto top = number(tops.mid(i, TopDigits), quint64(pageHeight));
        if (!top)
            return std::nullopt;
        payload.boxTops.push_back(int(*top));
    }
    if (payload.layout == CopyLayout::AnswerSheet
        && (!payload.boxTops.empty() || payload.firstBox != 0 || payload.pageCount > CopyGeometry::SheetMaxPages))
        return std::nullopt;
    return payload;
}

bool CopyPayload::isOurs(const QByteArray &text)
{
    const int length = int(sizeof Family) - 1;
    return text.startsWith(Family) && text.size() > length && text[length] >= '0' && text[length] <= '9';
}

bool CopyPayload::operator==(const CopyPayload &other) const
{
    return layout == other.layout && fingerprint == other.fingerprint && copy == other.copy && page == other.page
           && pageCount == other.pageCount && seed == other.seed && firstBox == other.firstBox
           && boxTops == other.boxTops && pupil == other.pupil;
}
