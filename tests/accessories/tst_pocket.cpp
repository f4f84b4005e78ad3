#include "accessories/displaylabel.h"
#include "accessories/pocket.h"
#include "scriptedservices.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

// Keys go where a keyboard would send them: to the focused button, which passes on what it
// does not use.
void type(TPocket &pocket, const QString &keys)
{
    for (QChar key : keys) {
        QWidget *target = pocket.focusWidget() ? pocket.focusWidget() : &pocket;
        QTest::keyClick(target, key.toLatin1());
    }
}

void typeKey(TPocket &pocket, Qt::Key key)
{
    QTest::keyClick(pocket.focusWidget() ? pocket.focusWidget() : &pocket, key);
}

} // namespace

class TestPocket : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void keysPressTheirButtons_data();
    void keysPressTheirButtons();
    void mouseAndKeysShareTheEngine();
    void failureShowsStandardErrorBox();
    void openingClears();
    void escapeCloses_data();
    void escapeCloses();
    void displayShowsEveryDigit_data();
    void displayShowsEveryDigit();

private:
    ScriptedServices scripted;
    std::unique_ptr<TPocket> pocket;
};

void TestPocket::init()
{
    scripted.boxes.clear();
    pocket = std::make_unique<TPocket>(scripted.services);
    pocket->show();
}

void TestPocket::cleanup()
{
    pocket.reset();
}

void TestPocket::keysPressTheirButtons_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("focus");

    QTest::newRow("opening focuses =") << "" << "" << "Button11";
    QTest::newRow("digits") << "2+3" << "3" << "Button3";
    QTest::newRow("x presses 1/x") << "4x" << "0,25" << "Button16";
    QTest::newRow("map works while sqr has the focus") << "9s+1=" << "4" << "Button11";
    QTest::newRow("map works while 1/x has the focus") << "4X5" << "5" << "Button5";
    QTest::newRow("dot types a comma") << "1.5" << "1,5" << "Button5";
    QTest::newRow("c clears and focuses =") << "12c" << "" << "Button11";
    QTest::newRow("unmapped keys do nothing") << "7a?" << "7" << "Button7";
    // Enter presses the focused button: "=" after opening, then the last one pressed.
    QTest::newRow("enter presses the last digit again") << "5\r" << "55" << "Button5";
    QTest::newRow("enter after = repeats the operation") << "2+3=\r" << "10" << "Button11";
}

void TestPocket::keysPressTheirButtons()
{
    QFETCH(QString, keys);
    QFETCH(QString, display);
    QFETCH(QString, focus);
    for (QChar key : keys) {
        if (key == QLatin1Char('\r'))
            typeKey(*pocket, Qt::Key_Return);
        else
            type(*pocket, QString(key));
    }
    QCOMPARE(pocket->Label1->text(), display);
    QVERIFY(pocket->focusWidget());
    QCOMPARE(pocket->focusWidget()->objectName(), focus);
    QVERIFY(scripted.boxes.shown().isEmpty());
}

void TestPocket::mouseAndKeysShareTheEngine()
{
    QTest::mouseClick(pocket->digitButtons[7], Qt::LeftButton);
    QTest::mouseClick(pocket->Button14, Qt::LeftButton);
    type(*pocket, QStringLiteral("6"));
    QTest::mouseClick(pocket->Button11, Qt::LeftButton);
    QCOMPARE(pocket->Label1->text(), QStringLiteral("42"));
    QCOMPARE(pocket->focusWidget(), pocket->Button11);
}

void TestPocket::failureShowsStandardErrorBox()
{
    type(*pocket, QStringLiteral("8/0="));
    QCOMPARE(scripted.boxes.shown().size(), 1);
    QCOMPARE(scripted.boxes.shown().first().icon, MessageIcon::Stop);
    QCOMPARE(scripted.boxes.lastText(), QStringLiteral("Division flottante par zéro."));
    QCOMPARE(pocket->Label1->text(), QStringLiteral("0"));
    // The calculator goes on: the pending division now takes 2.
    type(*pocket, QStringLiteral("2="));
    QCOMPARE(pocket->Label1->text(), QStringLiteral("4"));
}

void TestPocket::openingClears()
{
    type(*pocket, QStringLiteral("2+3="));
    typeKey(*pocket, Qt::Key_Escape);
    QVERIFY(!pocket->isVisible());
    pocket->show();
    QCOMPARE(pocket->Label1->text(), QString());
    QVERIFY(pocket->calculator().accumulator().isZero());
    QVERIFY(!pocket->calculator().accumulatorLoaded());
    QCOMPARE(pocket->focusWidget(), pocket->Button11);
    // The pending "+" went with the reset: this "=" only loads 4.
    type(*pocket, QStringLiteral("4="));
    QCOMPARE(pocket->Label1->text(), QStringLiteral("4"));
}

void TestPocket::escapeCloses_data()
{
    QTest::addColumn<QString>("before"); // keys that move the focus first
    QTest::newRow("from =") << "";
    QTest::newRow("from sqr") << "7s";
}

void TestPocket::escapeCloses()
{
    QFETCH(QString, before);
    type(*pocket, before);
    typeKey(*pocket, Qt::Key_Escape);
    QVERIFY(!pocket->isVisible());
}

QTEST_MAIN(TestPocket)
#include "tst_pocket.moc"

void TestPocket::displayShowsEveryDigit_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("wraps");

    QTest::newRow("short result") << "2+3=" << "5" << false;
    QTest::newRow("square root of a tiny number") << "0,00000000002s" << "4,47213595499916E-6" << false;
    QTest::newRow("reciprocal with a long exponent") << "0,0000000000000000000000000000003x"
                                                    << "3,33333333333293E30" << false;
    QTest::newRow("sixty typed digits") << QString(60, QLatin1Char('7')) << QString(60, QLatin1Char('7')) << true;
}

// A number shown without its first digits reads as another number: whatever its length, the
// display draws all of it inside the display.
void TestPocket::displayShowsEveryDigit()
{
    QFETCH(QString, keys);
    QFETCH(QString, display);
    QFETCH(bool, wraps);
    type(*pocket, keys);
    QCOMPARE(pocket->Label1->text(), display);
    QCOMPARE(pocket->Label1->wraps(), wraps);

    const QImage shown = pocket->Label1->grab().toImage();
    const QRect inside = pocket->Label1->contentsRect();
    auto inkIn = [&](int x) {
        for (int y = 0; y < shown.height(); ++y) {
            if (qGray(shown.pixel(x, y)) < 96)
                return true;
        }
        return false;
    };
    QVERIFY2(!inkIn(0), "the text runs off the display's left edge");
    int left = 0;
    while (left < shown.width() && !inkIn(left))
        ++left;
    QVERIFY(left >= inside.left());
    if (!wraps) {
        const QFontMetrics metrics(pocket->Label1->fittedFont());
        QVERIFY(metrics.horizontalAdvance(display) <= inside.width());
    }
}
