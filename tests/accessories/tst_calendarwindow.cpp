#include "scriptedservices.h"

#include "accessories/calendrier.h"
#include "accessories/monthgridview.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QDate Today(2026, 12, 7);
const QString RangeError = QStringLiteral("Argument incorrect pour date encode.");

} // namespace

class TestCalendarWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void opensOnToday();
    void moves_data();
    void moves();
    void clicks_data();
    void clicks();
    void reopeningKeepsTheMonth();
    void escapeCloses_data();
    void escapeCloses();

private:
    std::unique_ptr<ScriptedServices> accessories;
    std::unique_ptr<TCalendrier> window;

    void open(const QDate &today)
    {
        accessories = std::make_unique<ScriptedServices>(QDateTime(today, QTime(12, 0)));
        window = std::make_unique<TCalendrier>(accessories->services);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    QString selectedText() const { return window->Calendar1->cellText(window->Calendar1->grid().selectedCell()); }
};

void TestCalendarWindow::cleanup()
{
    window.reset();
    accessories.reset();
}

void TestCalendarWindow::opensOnToday()
{
    open(Today);
    QCOMPARE(window->GridDate(), Today);
    QCOMPARE(window->Label1->text(), QStringLiteral("décembre  2026"));
    QCOMPARE(selectedText(), QStringLiteral("7"));
    QCOMPARE(window->focusWidget(), window->Calendar1);
    // Sunday first; 1 December 2026 is a Tuesday.
    QCOMPARE(window->Calendar1->cellText({0, 0}), QStringLiteral("dim."));
    QCOMPARE(window->Calendar1->cellText({1, 1}), QString());
    QCOMPARE(window->Calendar1->cellText({1, 2}), QStringLiteral("1"));
    QVERIFY(window->Calendar1->contentsRect().contains(window->Calendar1->cellRect({6, 6})));
}

void TestCalendarWindow::moves_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key"); // 0: a click
    QTest::addColumn<QDate>("expected");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("error");

    // August 2026 starts on a Saturday and reaches row 6; February 2026 starts on a Sunday.
    const auto august = [](int day) { return QDate(2026, 8, day); };
    const auto february = [](int day) { return QDate(2026, 2, day); };
    const QString grid = QStringLiteral("Calendar1");
    const QString august2026 = QStringLiteral("août  2026");
    const QString february2026 = QStringLiteral("février  2026");
    QTest::newRow("right") << august(30) << grid << int(Qt::Key_Right) << august(31) << august2026 << QString();
    QTest::newRow("right onto an empty cell")
        << august(31) << grid << int(Qt::Key_Right) << august(31) << august2026 << QString();
    QTest::newRow("up onto the heading") << august(1) << grid << int(Qt::Key_Up) << august(1) << august2026 << QString();
    QTest::newRow("home") << august(15) << grid << int(Qt::Key_Home) << august(9) << august2026 << QString();
    QTest::newRow("end") << february(1) << grid << int(Qt::Key_End) << february(7) << february2026 << QString();
    // 3 August stands in column 1, whose row 6 holds the 31st.
    QTest::newRow("Page Down in the grid: next month, row 6")
        << QDate(2026, 7, 3) << grid << int(Qt::Key_PageDown) << august(31) << august2026 << QString();
    QTest::newRow("Page Down in a button: month only")
        << QDate(2026, 7, 3) << "BitBtn2" << int(Qt::Key_PageDown) << august(3) << august2026 << QString();
    QTest::newRow("Page Down in the grid, row 6 empty")
        << QDate(2026, 1, 10) << grid << int(Qt::Key_PageDown) << february(10) << february2026 << QString();
    // 20 February stands in column 5, whose row 1 holds the 6th.
    QTest::newRow("Page Up in the grid: previous month, row 1")
        << QDate(2026, 3, 20) << grid << int(Qt::Key_PageUp) << february(6) << february2026 << QString();
    QTest::newRow("Page Up in Fermer: month only")
        << QDate(2026, 3, 20) << "Button1" << int(Qt::Key_PageUp) << february(20) << february2026 << QString();
    QTest::newRow("31 December 1998, forward button")
        << QDate(1998, 12, 31) << "BitBtn2" << 0 << QDate(1999, 1, 31) << "janvier  1999" << QString();
    QTest::newRow("1 January 1999, back button")
        << QDate(1999, 1, 1) << "BitBtn1" << 0 << QDate(1998, 12, 1) << "décembre  1998" << QString();
    QTest::newRow("forward from December 9999")
        << QDate(9999, 12, 3) << "BitBtn2" << 0 << QDate(9999, 12, 3) << "décembre  9999" << RangeError;
    QTest::newRow("Page Down in the grid from December 9999")
        << QDate(9999, 12, 3) << grid << int(Qt::Key_PageDown) << QDate(9999, 12, 3) << "décembre  9999" << RangeError;
    QTest::newRow("back from January of year 1")
        << QDate(1, 1, 31) << grid << int(Qt::Key_PageUp) << QDate(1, 1, 31) << "janvier  0001" << RangeError;
}

void TestCalendarWindow::moves()
{
    QFETCH(QDate, start);
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(QDate, expected);
    open(start);
    auto *target = window->findChild<QWidget *>(control);
    QVERIFY(target);
    target->setFocus();
    if (key)
        QTest::keyClick(target, Qt::Key(key));
    else
        QTest::mouseClick(target, Qt::LeftButton);
    QCOMPARE(window->GridDate(), expected);
    QTEST(window->Label1->text(), "caption");
    QCOMPARE(selectedText(), QString::number(expected.day()));
    QTEST(accessories->boxes.lastText(), "error");
    QVERIFY(window->isVisible());
}

void TestCalendarWindow::clicks_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("a day") << 5 << 4 << QDate(2026, 12, 31);
    QTest::newRow("empty cell") << 1 << 0 << Today;
    QTest::newRow("heading") << 0 << 3 << Today;
    QTest::newRow("the selected day") << 2 << 1 << Today;
}

void TestCalendarWindow::clicks()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QDate, expected);
    open(Today);
    QSignalSpy changes(window->Calendar1, &MonthGridView::changed);
    QTest::mouseClick(window->Calendar1, Qt::LeftButton, {}, window->Calendar1->cellRect({row, column}).center());
    QCOMPARE(window->GridDate(), expected);
    QCOMPARE(changes.size(), expected == Today ? 0 : 1);
}

void TestCalendarWindow::reopeningKeepsTheMonth()
{
    open(QDate(2026, 5, 31));
    window->BitBtn1->click();
    window->Button1->click();
    QVERIFY(!window->isVisible());
    accessories->clock.set(QDateTime(QDate(2027, 1, 1), QTime(0, 0)));
    window->show();
    QCOMPARE(window->GridDate(), QDate(2026, 4, 30));
    QCOMPARE(window->Label1->text(), QStringLiteral("avril  2026"));
    window->BitBtn2->click();
    QCOMPARE(window->GridDate(), QDate(2026, 5, 30));
}

void TestCalendarWindow::escapeCloses_data()
{
    QTest::addColumn<QString>("focus");
    for (const char *control : {"Calendar1", "Button1", "BitBtn1", "BitBtn2"})
        QTest::newRow(control) << QString::fromLatin1(control);
}

void TestCalendarWindow::escapeCloses()
{
    QFETCH(QString, focus);
    open(Today);
    auto *target = window->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->GridDate(), Today);
}

QTEST_MAIN(TestCalendarWindow)
#include "tst_calendarwindow.moc"
