#include "accessories/calculator.h"
#include "accessories/floattext.h"
#include "accessories/real48.h"
#include "platform/apperror.h"

#include <QtTest>

#include <cmath>

namespace {

const QString DivisionByZero = QStringLiteral("Division flottante par zéro");
const QString InvalidOperation = QStringLiteral("Opération flottante incorrecte");
const QString Overflow = QStringLiteral("Débordement flottant");

QString notAFloat(const QString &text)
{
    return QStringLiteral("'%1' n'est pas une valeur flottante correcte").arg(text);
}

QString hex(const Real48 &real)
{
    QStringList bytes;
    for (quint8 byte : real.bytes())
        bytes << QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    return bytes.join(QLatin1Char(' '));
}

// Presses every character of `keys`, as the window would, and collects the failures' messages.
QStringList press(Calculator &calculator, const QString &keys)
{
    QStringList errors;
    for (QChar key : keys) {
        try {
            calculator.press(key);
        } catch (const AppError &error) {
            errors << error.message();
        }
    }
    return errors;
}

} // namespace

class TestCalculator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keySequences_data();
    void keySequences();
    void storedBits_data();
    void storedBits();
    void storedResults_data();
    void storedResults();
    void readingText_data();
    void readingText();
    void generalText_data();
    void generalText();
    void shortenResult_data();
    void shortenResult();
    void clearKeepsResultFlag();
};

void TestCalculator::keySequences_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("accumulator"); // general text of the stored value
    QTest::addColumn<QString>("pending");
    QTest::addColumn<QStringList>("errors");

    const QStringList none;
    const QString e38 = QStringLiteral("1") + QString(38, QLatin1Char('0'));
    const QString e39 = e38 + QLatin1Char('0');
    QTest::newRow("strictly left to right") << "2+3*4=" << "20" << "20" << "*" << none;
    QTest::newRow("= repeats the operation") << "2+3==" << "10" << "10" << "+" << none;
    QTest::newRow("= repeats again") << "2+3===" << "20" << "20" << "+" << none;
    QTest::newRow("operator after a result") << "2+3=*" << "10" << "10" << "*" << none;
    QTest::newRow("operator after a result, then =") << "2+3=*4=" << "40" << "40" << "*" << none;
    QTest::newRow("operator twice") << "2++" << "4" << "4" << "+" << none;
    QTest::newRow("= without operator reads and ignores") << "5=3=" << "5" << "5" << "" << none;
    QTest::newRow("sqr replaces the accumulator") << "2+4S" << "2" << "2" << "+" << none;
    QTest::newRow("sqr then = adds the shown value") << "2+4S=" << "4" << "4" << "+" << none;
    QTest::newRow("sqr is not shortened") << "2S" << "1,4142135623731" << "1,41421356237333" << "" << none;
    QTest::newRow("1/x is not shortened") << "9X" << "0,111111111111111" << "0,111111111111086" << "" << none;
    QTest::newRow("comma after a result, then a digit") << "2+3=,5" << "5" << "5" << "+" << none;
    QTest::newRow("comma appended to a result is read") << "2+3=,=" << "10" << "10" << "+" << none;
    QTest::newRow("leading zeros stay on the display") << "007=" << "007" << "7" << "" << none;
    QTest::newRow("two commas in the first number") << "1,2,3=" << "" << "0" << "" << none;
    QTest::newRow("two commas, then an operator") << "1,2,3+" << "" << "0" << "+" << none;
    QTest::newRow("two commas in a later number") << "2+1,2,3=" << "1,2,3" << "2" << "+" << QStringList{notAFloat("1,2,3")};
    QTest::newRow("lone comma loads 0") << ",=" << "," << "0" << "" << none;
    QTest::newRow("division by zero") << "8/0=" << "0" << "8" << "/" << QStringList{DivisionByZero};
    QTest::newRow("division by zero keeps the operator") << "8/0+" << "0" << "8" << "/" << QStringList{DivisionByZero};
    QTest::newRow("0 divided by 0") << "0/0=" << "0" << "0" << "/" << QStringList{InvalidOperation};
    QTest::newRow("sqr of a negative result") << "5-9=S" << "-4" << "-4" << "-" << QStringList{InvalidOperation};
    QTest::newRow("1/x of 0") << "0X" << "0" << "0" << "" << QStringList{DivisionByZero};
    QTest::newRow("sqr of nothing") << "S" << "" << "0" << "" << QStringList{notAFloat(QString())};
    QTest::newRow("1E38 squared overflows") << e38 + "*=" << e38 << "9,99999999999918E37" << "*" << QStringList{Overflow};
    QTest::newRow("first number too large is dropped") << e39 + "=" << "" << "0" << "" << none;
    QTest::newRow("later number too large") << "1+" + e39 + "=" << e39 << "1" << "+" << QStringList{Overflow};
    // 1/3E-39 is beyond the register: the computed value stays on the display, nothing else moves.
    QTest::newRow("1/x beyond the register")
        << "0," + QString(38, QLatin1Char('0')) + "3X" << "3,33333333333373E38" << "0" << "" << QStringList{Overflow};
    QTest::newRow("result below 2^-128 becomes 0") << "0,0000000001*==" << "0" << "0" << "*" << none;
    QTest::newRow("noise shortened") << "0,1+0,2=" << "0,3" << "0,300000000000182" << "+" << none;
    // The shortened 0,333333333333 is what the second "=" divides by, not the stored third.
    QTest::newRow("shortened value read back") << "1/3==" << "1" << "1,00000000000182" << "/" << none;
    // 8,01 and this sum are the same six bytes: the shortest text that reads back is shown.
    QTest::newRow("leading 8 without noise") << "8+0,01=" << "8,01" << "8,00999999999476" << "+" << none;
    QTest::newRow("leading 9 without noise") << "9,5+0,07=" << "9,57" << "9,57000000000698" << "+" << none;
    QTest::newRow("product read back exactly") << "1,1*1,1=" << "1,21" << "1,21000000000095" << "*" << none;
    QTest::newRow("digit after a function starts anew") << "4X5" << "5" << "0,25" << "" << none;
    QTest::newRow("digit after clear that followed a result") << "2+3=C7" << "7" << "0" << "" << none;
    QTest::newRow("keyboard x s c and dot") << "1.5x" << "0,666666666666667" << "0,66666666666697" << "" << none;
    QTest::newRow("keyboard c") << "9s+1c" << "" << "0" << "" << none;
    QTest::newRow("characters outside the map") << "2a+ b3=%" << "5" << "5" << "+" << none;
}

void TestCalculator::keySequences()
{
    QFETCH(QString, keys);
    QFETCH(QString, display);
    QFETCH(QString, accumulator);
    QFETCH(QString, pending);
    QFETCH(QStringList, errors);

    Calculator calculator;
    QCOMPARE(press(calculator, keys), errors);
    QCOMPARE(calculator.displayText(), display);
    QCOMPARE(FloatText::generalText(calculator.accumulator().toExtended()), accumulator);
    QCOMPARE(calculator.pendingOperator().isNull() ? QString() : QString(calculator.pendingOperator()), pending);
}

void TestCalculator::storedBits_data()
{
    // The value ±significand x 2^exponent, computed exactly in extended precision.
    QTest::addColumn<quint64>("significand");
    QTest::addColumn<int>("exponent");
    QTest::addColumn<bool>("negative");
    QTest::addColumn<QString>("bytes"); // or the error

    const quint64 top = quint64(1) << 63;
    const quint64 halfBit = quint64(1) << 23;
    QTest::newRow("zero") << quint64(0) << 0 << false << "00 00 00 00 00 00";
    QTest::newRow("one") << quint64(1) << 0 << false << "81 00 00 00 00 00";
    QTest::newRow("halfway goes up") << (top | halfBit) << -63 << false << "81 01 00 00 00 00";
    QTest::newRow("halfway goes away from zero") << (top | halfBit) << -63 << true << "81 01 00 00 00 80";
    QTest::newRow("just below halfway goes down") << (top | (halfBit - 1)) << -63 << false << "81 00 00 00 00 00";
    QTest::newRow("carry raises the exponent") << ((quint64(1) << 41) - 1) << -40 << false << "82 00 00 00 00 00";
    QTest::newRow("largest") << ((quint64(1) << 40) - 1) << 87 << false << "FF FF FF FF FF 7F";
    QTest::newRow("rounds down to the largest") << (~quint64(0) ^ halfBit) << 63 << false << "FF FF FF FF FF 7F";
    QTest::newRow("rounds up to 2^127") << (~quint64(0) << 23) << 63 << false << Overflow;
    QTest::newRow("minus 2^127") << quint64(1) << 127 << true << Overflow;
    QTest::newRow("smallest") << quint64(1) << -128 << false << "01 00 00 00 00 00";
    QTest::newRow("rounds up to the smallest") << ((quint64(1) << 41) - 1) << -169 << false << "01 00 00 00 00 00";
    QTest::newRow("below the smallest") << ((quint64(1) << 40) - 1) << -169 << false << "00 00 00 00 00 00";
    QTest::newRow("negative below the smallest") << quint64(1) << -129 << true << "00 00 00 00 00 00";
}

void TestCalculator::storedBits()
{
    QFETCH(quint64, significand);
    QFETCH(int, exponent);
    QFETCH(bool, negative);
    QFETCH(QString, bytes);

    const Extended magnitude = std::ldexp(static_cast<Extended>(significand), exponent);
    try {
        const Real48 stored = Real48::fromExtended(negative ? -magnitude : magnitude);
        QCOMPARE(hex(stored), bytes);
        // What is stored reads back unchanged.
        QCOMPARE(Real48::fromExtended(stored.toExtended()), stored);
        QCOMPARE(Real48::fromBytes(stored.bytes()), stored);
    } catch (const AppError &error) {
        QCOMPARE(error.message(), bytes);
    }
}

void TestCalculator::storedResults_data()
{
    // Expected bytes computed independently with exact rational arithmetic: each result is
    // rounded to a 64-bit significand (to nearest, ties to even), then to 40 bits by adding
    // the first dropped bit.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("bytes");
    QTest::newRow("0,1") << "0,1=" << "7D CD CC CC CC 4C";
    QTest::newRow("0,1 + 0,2") << "0,1+0,2=" << "7F 9A 99 99 99 19";
    QTest::newRow("1/3") << "3X" << "7F AB AA AA AA 2A";
    QTest::newRow("square root of 2") << "2S" << "81 FA 33 F3 04 35";
    // The exact quotient lies a hair below a halfway point of 40 bits; the extended step rounds
    // it onto that point, and the stored value then goes up, where rounding the exact value
    // would have gone down.
    QTest::newRow("quotient rounded twice") << "831449063993/1072040673533=" << "80 2B CE 26 8C 46";
    QTest::newRow("text rounded twice") << "1,000000000000909494688220401081846233637406839989125728607177734375="
                                        << "81 01 00 00 00 00";
}

void TestCalculator::storedResults()
{
    QFETCH(QString, keys);
    QFETCH(QString, bytes);
    Calculator calculator;
    QCOMPARE(press(calculator, keys), QStringList());
    QCOMPARE(hex(calculator.accumulator()), bytes);
}

void TestCalculator::readingText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value"); // general text, or the error

    QTest::newRow("blanks around") << "  12,5 " << "12,5";
    QTest::newRow("plus sign") << "+5" << "5";
    QTest::newRow("trailing comma") << "5," << "5";
    QTest::newRow("leading comma") << ",5" << "0,5";
    QTest::newRow("lone comma") << "," << "0";
    QTest::newRow("exponent") << "1,5E3" << "1500";
    QTest::newRow("small exponent") << "1e-5" << "1E-5";
    QTest::newRow("empty") << "" << notAFloat("");
    QTest::newRow("lone sign") << "-" << notAFloat("-");
    QTest::newRow("second comma") << "1,2,3" << notAFloat("1,2,3");
    QTest::newRow("blank inside") << "1 000" << notAFloat("1 000");
    QTest::newRow("letter after") << "12a" << notAFloat("12a");
    QTest::newRow("beyond the extended range") << "1E5000" << Overflow;
    QTest::newRow("huge exponent") << "1E99999999999999999999" << Overflow;
    QTest::newRow("below the extended range") << "1E-5000" << "0";
    QTest::newRow("many digits") << "0," + QString(400, QLatin1Char('3')) << "0,333333333333333";
}

void TestCalculator::readingText()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    try {
        QCOMPARE(FloatText::generalText(FloatText::toFloat(text)), value);
    } catch (const AppError &error) {
        QCOMPARE(error.message(), value);
    }
}

void TestCalculator::generalText_data()
{
    QTest::addColumn<QString>("number"); // read in full precision by the test
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << "0" << "0";
    QTest::newRow("1E-4 is fixed") << "0.0001" << "0,0001";
    QTest::newRow("below 1E-4 is scientific") << "0.00001" << "1E-5";
    QTest::newRow("rounding reaches 1E-4") << "0.00009999999999999999" << "0,0001";
    QTest::newRow("largest fixed") << "999999999999999" << "999999999999999";
    QTest::newRow("1E15 is scientific") << "1e15" << "1E15";
    QTest::newRow("rounding reaches 1E15") << "999999999999999.7" << "1E15";
    QTest::newRow("scientific with fraction") << "1.5e20" << "1,5E20";
    QTest::newRow("fifteen digits") << "1.23456789012345678" << "1,23456789012346";
}

void TestCalculator::generalText()
{
    QFETCH(QString, number);
    QFETCH(QString, text);
    const Extended value = std::strtold(number.toLatin1().constData(), nullptr);
    QCOMPARE(FloatText::generalText(value), text);
}

void TestCalculator::shortenResult_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shortened");

    QTest::newRow("noise after zeros") << "0,300000000000182" << "0,3";
    QTest::newRow("noise after threes") << "0,333333333333485" << "0,333333333333";
    QTest::newRow("noise after nines") << "2,04999999999927" << "2,05";
    QTest::newRow("short value") << "2,5" << "2,5";
    QTest::newRow("fifteen-digit integer") << "123456789000064" << "123456789000064";
    QTest::newRow("integer digits past the twelfth stay") << "1234567890123,45" << "1234567890123";
    QTest::newRow("nines carry into the integer") << "9,99999999999999" << "10";
    QTest::newRow("negative fifteen-digit integer") << "-123456789000064" << "-1,23456789E14";
    QTest::newRow("small fixed number cut to fit") << "-0,000123456789012345" << "-0,000123456789";
    QTest::newRow("exponent kept") << "1,23456789012345E-38" << "1,23456789E-38";
    QTest::newRow("carry into fixed notation") << "9,99999999999999E-5" << "0,0001";
    QTest::newRow("scientific short") << "1,5E20" << "1,5E20";
    QTest::newRow("zero") << "0" << "0";
}

void TestCalculator::shortenResult()
{
    QFETCH(QString, text);
    QFETCH(QString, shortened);
    const QString result = FloatText::shortenResult(text);
    QCOMPARE(result, shortened);
    QVERIFY(result.size() <= 15);
}

void TestCalculator::clearKeepsResultFlag()
{
    Calculator calculator;
    press(calculator, QStringLiteral("2+3="));
    calculator.reset();
    QVERIFY(calculator.resultShown());
    QVERIFY(!calculator.accumulatorLoaded());
    QCOMPARE(calculator.displayText(), QString());
    QCOMPARE(calculator.operand(), Real48());
    QVERIFY(!calculator.press(QLatin1Char('?')));
}

QTEST_GUILESS_MAIN(TestCalculator)
#include "tst_calculator.moc"
