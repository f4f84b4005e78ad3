#include "accessories/floattext.h"

#include "accessories/floaterrors.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace {

constexpr QChar DecimalComma = QLatin1Char(',');
// Lowest and highest exponents (value = d,ddd x 10^exponent) written in fixed notation.
constexpr int LowestFixedExponent = -4;
constexpr int FirstScientificExponent = 15;
// Exponents beyond this are out of the extended range whatever the digits: reading more of
// them would only risk overflowing an int.
constexpr int ExponentLimit = 100000;

// A decimal number as significant digits: value = d1,d2d3... x 10^exponent. No leading or
// trailing zeros; no digits means zero.
struct Decimal
{
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool isZero() const { return digits.empty(); }

    void trim()
    {
        const auto first = digits.find_first_not_of('0');
        if (first == std::string::npos) {
            digits.clear();
            exponent = 0;
            return;
        }
        exponent -= int(first);
        digits.erase(0, first);
        digits.erase(digits.find_last_not_of('0') + 1);
    }

    // Rounded to `count` significant digits, halves away from zero.
    Decimal rounded(int count) const
    {
        Decimal result = *this;
        if (int(digits.size()) <= count)
            return result;
        const bool up = digits[size_t(count)] >= '5';
        result.digits.resize(size_t(count));
        if (up) {
            int i = count - 1;
            while (i >= 0 && result.digits[size_t(i)] == '9')
                result.digits[size_t(i--)] = '0';
            if (i < 0) {
                result.digits.insert(result.digits.begin(), '1');
                ++result.exponent;
            } else {
                ++result.digits[size_t(i)];
            }
        }
        result.trim();
        return result;
    }

    bool fitsFixed() const { return exponent >= LowestFixedExponent && exponent < FirstScientificExponent; }

    QString fixedText() const
    {
        QString text;
        if (negative)
            text += QLatin1Char('-');
        const QString all = QString::fromLatin1(digits.data(), qsizetype(digits.size()));
        if (exponent < 0) {
            text += QStringLiteral("0,") + QString(-exponent - 1, QLatin1Char('0')) + all;
        } else {
            const int integerDigits = exponent + 1;
            text += all.left(integerDigits).leftJustified(integerDigits, QLatin1Char('0'));
            if (all.size() > integerDigits)
                text += DecimalComma + all.mid(integerDigits);
        }
        return text;
    }

    QString scientificText() const
    {
        QString text;
        if (negative)
            text += QLatin1Char('-');
        text += QLatin1Char(digits[0]);
        if (digits.size() > 1)
            text += DecimalComma + QString::fromLatin1(digits.data() + 1, qsizetype(digits.size() - 1));
        return text + QLatin1Char('E') + QString::number(exponent);
    }

    QString generalText() const
    {
        if (isZero())
            return QStringLiteral("0");
        return fitsFixed() ? fixedText() : scientificText();
    }
};

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads the number syntax; nullopt when the text does not follow it.
std::optional<Decimal> parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype pos = 0;
    const qsizetype end = trimmed.size();
    Decimal number;
    if (pos < end && (trimmed[pos] == QLatin1Char('+') || trimmed[pos] == QLatin1Char('-')))
        number.negative = trimmed[pos++] == QLatin1Char('-');
    const qsizetype start = pos;

    int integerDigits = 0;
    for (; pos < end && isDigit(trimmed[pos]); ++pos, ++integerDigits)
        number.digits += char(trimmed[pos].unicode());
    if (pos < end && trimmed[pos] == DecimalComma) {
        for (++pos; pos < end && isDigit(trimmed[pos]); ++pos)
            number.digits += char(trimmed[pos].unicode());
    }
    int exponent = 0;
    if (pos < end && (trimmed[pos] == QLatin1Char('E') || trimmed[pos] == QLatin1Char('e'))) {
        ++pos;
        bool negativeExponent = false;
        if (pos < end && (trimmed[pos] == QLatin1Char('+') || trimmed[pos] == QLatin1Char('-')))
            negativeExponent = trimmed[pos++] == QLatin1Char('-');
        for (; pos < end && isDigit(trimmed[pos]); ++pos)
            exponent = std::min(ExponentLimit, exponent * 10 + trimmed[pos].digitValue());
        if (negativeExponent)
            exponent = -exponent;
    }
    if (pos != end || pos == start)
        return std::nullopt;

    number.exponent = integerDigits - 1 + exponent;
    number.trim();
    return number;
}

} // namespace

namespace FloatText {

Extended toFloat(const QString &text)
{
    const std::optional<Decimal> number = parse(text);
    if (!number)
        throw FloatErrors::invalidText(text);
    if (number->isZero())
        return 0;
    if (number->exponent > ExponentLimit)
        throw FloatErrors::overflow();
    if (number->exponent < -ExponentLimit)
        return 0;

    // "0.<digits>e<exponent + 1>", read by the library's correctly rounded, locale-free parser.
    const std::string plain = "0." + number->digits + 'e' + std::to_string(number->exponent + 1);
    Extended value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        if (number->exponent > 0)
            throw FloatErrors::overflow();
        return 0;
    }
    if (error != std::errc())
        throw FloatErrors::invalidText(text);
    return number->negative ? -value : value;
}

QString generalText(Extended value)
{
    Q_ASSERT(std::isfinite(value));
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    // d.dddddddddddddde+x, rounded to nearest by the library.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific,
                                      GeneralDigits - 1);
    const std::string text(buffer, result.ptr);
    const auto e = text.find('e');
    Decimal number;
    number.negative = value < 0;
    number.digits = text.substr(0, 1) + text.substr(2, e - 2);
    number.exponent = std::stoi(text.substr(e + 1));
    number.trim();
    return number.generalText();
}

QString shortenResult(const QString &generalText)
{
    const std::optional<Decimal> parsed = parse(generalText);
    if (!parsed)
        return generalText;
    const Decimal &number = *parsed;
    if (number.isZero())
        return QStringLiteral("0");

    // Integer digits are never noise to the person reading them: 123456789000064 stays.
    const int firstCount = number.fitsFixed() ? std::max(StoredDigits, number.exponent + 1) : StoredDigits;
    for (int count = firstCount; count >= 1; --count) {
        const QString text = number.rounded(count).generalText();
        if (text.size() <= MaxShortenedLength)
            return text;
    }
    // A negative integer of 15 digits is 16 characters in any fixed form.
    for (int count = StoredDigits; count >= 1; --count) {
        const Decimal shorter = number.rounded(count);
        const QString text = shorter.scientificText();
        if (text.size() <= MaxShortenedLength)
            return text;
    }
    return generalText;
}

QString resultText(const Real48 &stored)
{
    const QString general = generalText(stored.toExtended());
    const std::optional<Decimal> parsed = parse(general);
    if (!parsed || parsed->isZero())
        return shortenResult(general);
    const Decimal &number = *parsed;
    // Integer digits are never dropped, as in shortenResult(): a large integer keeps them all.
    const int fewest = number.fitsFixed() ? std::max(1, number.exponent + 1) : 1;
    for (int count = fewest; count <= StoredDigits; ++count) {
        const QString text = number.rounded(count).generalText();
        if (text.size() > MaxShortenedLength)
            continue;
        try {
            if (Real48::fromExtended(toFloat(text)) == stored)
                return text;
        } catch (const AppError &) {
            // A rounded text beyond the register's range cannot be the stored value.
        }
    }
    return shortenResult(general);
}

} // namespace FloatText
