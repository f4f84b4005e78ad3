#include "accessorytestkit.h"

#include "accessories/calendrier.h"
#include "accessories/monthgridview.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QDateTime Today(QDate(2026, 12, 7), QTime(9, 30));
const QString RangeError = QStringLiteral("Argument incorrect pour date encode.");

} // namespace

class TestCalendarWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void opensOnToday();
    void monthChanges_data();
    void monthChanges();
    void clicks_data();
    void clicks();
    void reopeningKeepsTheMonth();
    void escapeCloses_data();
    void escapeCloses();

private:
    std::unique_ptr<AccessoryServices> accessories;
    std::unique_ptr<TCalendrier> window;

    void open(const QDate &today)
    {
        accessories = std::make_unique<AccessoryServices>(QDateTime(today, QTime(12, 0)));
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
    open(Today.date());
    QCOMPARE(window->windowTitle(), QStringLiteral("Calendrier"));
    QCOMPARE(window->GridDate(), Today.date());
    QCOMPARE(window->Label1->text(), QStringLiteral("décembre  2026"));
    QCOMPARE(selectedText(), QStringLiteral("7"));
    QCOMPARE(window->Calendar1->cellText({0, 0}), QStringLiteral("dim."));
    // 1 December 2026 is a Tuesday.
    QCOMPARE(window->Calendar1->cellText({1, 1}), QString());
    QCOMPARE(window->Calendar1->cellText({1, 2}), QStringLiteral("1"));
    QCOMPARE(window->focusWidget(), window->Calendar1);
    // Every row fits the grid.
    QVERIFY(window->Calendar1->contentsRect().contains(window->Calendar1->cellRect({6, 6})));
}

void TestCalendarWindow::monthChanges_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key"); // 0: a click
    QTest::addColumn<QDate>("expected");
    QTest::addColumn<QString>("error");

    const int pageDown = Qt::Key_PageDown;
    const int pageUp = Qt::Key_PageUp;
    QTest::newRow("31 December 1998, forward button")
        << QDate(1998, 12, 31) << "BitBtn2" << 0 << QDate(1999, 1, 31) << QString();
    QTest::newRow("1 January 1999, back button")
        << QDate(1999, 1, 1) << "BitBtn1" << 0 << QDate(1998, 12, 1) << QString();
    // 3 August 2026 stands in column 1, whose row 6 holds the 31st.
    QTest::newRow("Page Down in the grid: row 6") << QDate(2026, 7, 3) << "Calendar1" << pageDown << QDate(2026, 8, 31)
                                                  << QString();
    QTest::newRow("Page Down in a button: month only") << QDate(2026, 7, 3) << "BitBtn2" << pageDown
                                                       << QDate(2026, 8, 3) << QString();
    QTest::newRow("Page Down in the grid, row 6 empty") << QDate(2026, 1, 10) << "Calendar1" << pageDown
                                                        << QDate(2026, 2, 10) << QString();
    // 20 February 2026 stands in column 5, whose row 1 holds the 6th.
    QTest::newRow("Page Up in the grid: row 1") << QDate(2026, 3, 20) << "Calendar1" << pageUp << QDate(2026, 2, 6)
                                                << QString();
    QTest::newRow("Page Up in Fermer: month only") << QDate(2026, 3, 20) << "Button1" << pageUp << QDate(2026, 2, 20)
                                                   << QString();
    QTest::newRow("forward from December 9999") << QDate(9999, 12, 3) << "BitBtn2" << 0 << QDate(9999, 12, 3)
                                                << RangeError;
    QTest::newRow("Page Down in the grid from December 9999")
        << QDate(9999, 12, 3) << "Calendar1" << pageDown << QDate(9999, 12, 3) << RangeError;
    QTest::newRow("back from January of year 1") << QDate(1, 1, 31) << "Calendar1" << pageUp << QDate(1, 1, 31)
                                                 << RangeError;
}

void TestCalendarWindow::monthChanges()
{
    QFETCH(QDate, start);
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(QDate, expected);
    QFETCH(QString, error);
    open(start);
    auto *target = window->findChild<QWidget *>(control);
    QVERIFY(target);
    target->setFocus();
    if (key)
        QTest::keyClick(target, Qt::Key(key));
    else
        QTest::mouseClick(target, Qt::LeftButton);
    QCOMPARE(window->GridDate(), expected);
    QCOMPARE(window->Label1->text(), MonthGrid(expected).caption(QLocale(QLocale::French, QLocale::France)));
    QCOMPARE(selectedText(), QString::number(expected.day()));
    QCOMPARE(accessories->boxes.lastText(), error);
    QVERIFY(window->isVisible());
}

void TestCalendarWindow::clicks_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("a day") << 5 << 4 << QDate(2026, 12, 31);
    QTest::newRow("empty cell") << 1 << 0 << Today.date();
    QTest::newRow("heading") << 0 << 3 << Today.date();
}

void TestCalendarWindow::clicks()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QDate, expected);
    open(Today.date());
    QSignalSpy changes(window->Calendar1, &MonthGridView::changed);
    QTest::mouseClick(window->Calendar1, Qt::LeftButton, {}, window->Calendar1->cellRect({row, column}).center());
    QCOMPARE(window->GridDate(), expected);
    QCOMPARE(changes.size(), expected == Today.date() ? 0 : 1);
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
    open(Today.date());
    auto *target = window->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->GridDate(), Today.date());
}

QTEST_MAIN(TestCalendarWindow)
#include "tst_calendarwindow.moc"
