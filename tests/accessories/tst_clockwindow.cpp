#include "accessorytestkit.h"

#include "accessories/horloge.h"
#include "accessories/spinbutton.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

const QDateTime Start(QDate(2026, 11, 7), QTime(14, 5, 30));
const QString Refused = QStringLiteral("L'horloge du système n'a pas pu être réglée.");

} // namespace

class TestClockWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensRunningOnTheSystemTime();
    void noFieldSelectedStepsNothing();
    void spinButtonSteps_data();
    void spinButtonSteps();
    void setTwiceAppliesTheSteppedValues();
    void setTwiceWithoutSteppingWritesTheFrozenTime();
    void setOnceThenCloseAppliesNothing();
    void steppingWhileRunningIsUndoneAtTheNextTick();
    void refusalIsReported_data();
    void refusalIsReported();
    void fieldThatIsNotANumber();
    void escape_data();
    void escape();

private:
    std::unique_ptr<AccessoryServices> accessories;
    std::unique_ptr<THorloge> window;

    QString time() const { return window->Label1->text(); }
    QString date() const { return window->Label2->text(); }
    void select(const char *item)
    {
        for (QRadioButton *button : window->RadioGroup1->findChildren<QRadioButton *>()) {
            if (button->text() == QLatin1String(item))
                button->click();
        }
    }
    void up() { QTest::mouseClick(window->SpinButton1->upArrow(), Qt::LeftButton); }
    void down() { QTest::mouseClick(window->SpinButton1->downArrow(), Qt::LeftButton); }
    void reopen()
    {
        window->close();
        window->show();
    }
};

void TestClockWindow::init()
{
    accessories = std::make_unique<AccessoryServices>(Start);
    window = std::make_unique<THorloge>(accessories->services);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestClockWindow::cleanup()
{
    window.reset();
    accessories.reset();
}

void TestClockWindow::opensRunningOnTheSystemTime()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Horloge"));
    QCOMPARE(time(), QStringLiteral("14:05:30"));
    QCOMPARE(date(), QStringLiteral("07/11/2026"));
    QVERIFY(!window->EditMode());
    QVERIFY(window->Timer1->isActive());
    QCOMPARE(window->Timer1->interval(), 1000);
    QVERIFY(!window->selectedField());
    QCOMPARE(window->focusWidget(), window->Button1);
    accessories->clock.set(Start.addSecs(1));
    window->Timer1Timer(); // a tick
    QCOMPARE(time(), QStringLiteral("14:05:31"));
}

void TestClockWindow::noFieldSelectedStepsNothing()
{
    up();
    down();
    QCOMPARE(time(), QStringLiteral("14:05:30"));
    QCOMPARE(date(), QStringLiteral("07/11/2026"));
}

void TestClockWindow::spinButtonSteps_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("expectedTime");
    QTest::addColumn<QString>("expectedDate");
    QTest::newRow("hour, arrow up") << "Hr" << false << true << "15:05:30" << "07/11/2026";
    QTest::newRow("minute, arrow down") << "Mn" << false << false << "14:04:30" << "07/11/2026";
    QTest::newRow("day, Up key") << "Jo" << true << true << "14:05:30" << "08/11/2026";
    QTest::newRow("month, Down key") << "Mo" << true << false << "14:05:30" << "07/10/2026";
    QTest::newRow("year, arrow up") << "An" << false << true << "14:05:30" << "07/11/2027";
}

void TestClockWindow::spinButtonSteps()
{
    QFETCH(QString, item);
    QFETCH(bool, keyboard);
    QFETCH(bool, up);
    select(item.toLatin1().constData());
    if (keyboard) {
        window->SpinButton1->setFocus();
        QTest::keyClick(window->SpinButton1, up ? Qt::Key_Up : Qt::Key_Down);
    } else if (up) {
        this->up();
    } else {
        down();
    }
    QTEST(time(), "expectedTime");
    QTEST(date(), "expectedDate");
}

void TestClockWindow::setTwiceAppliesTheSteppedValues()
{
    select("Hr");
    window->Button2->click();
    QVERIFY(window->EditMode());
    QVERIFY(!window->Timer1->isActive());
    up();
    up();
    QCOMPARE(time(), QStringLiteral("16:05:30"));
    window->Button2->click();
    QVERIFY(!window->EditMode());
    QVERIFY(window->Timer1->isActive());
    QCOMPARE(accessories->clock.settings(), (QList<QDateTime>{QDateTime(Start.date(), QTime(16, 5, 30))}));
    QVERIFY(accessories->boxes.shown().isEmpty());
    // The display keeps running from the new time.
    window->Timer1Timer(); // a tick
    QCOMPARE(time(), QStringLiteral("16:05:30"));
}

void TestClockWindow::setTwiceWithoutSteppingWritesTheFrozenTime()
{
    window->Button2->click();
    accessories->clock.set(Start.addSecs(7));
    window->Button2->click();
    QCOMPARE(accessories->clock.settings(), QList<QDateTime>{Start});
}

void TestClockWindow::setOnceThenCloseAppliesNothing()
{
    select("Mo");
    window->Button2->click();
    down();
    QCOMPARE(date(), QStringLiteral("07/10/2026"));
    window->Button1->click();
    QVERIFY(!window->isVisible());
    QVERIFY(!window->Timer1->isActive());
    accessories->clock.set(Start.addSecs(60));
    window->show();
    QVERIFY(accessories->clock.settings().isEmpty());
    QVERIFY(!window->EditMode());
    QVERIFY(window->Timer1->isActive());
    QCOMPARE(time(), QStringLiteral("14:06:30"));
    QCOMPARE(date(), QStringLiteral("07/11/2026"));
    QCOMPARE(window->selectedField(), std::optional<ClockField>(ClockField::Month));
    // The first "Set" after reopening freezes again rather than applying.
    window->Button2->click();
    QVERIFY(window->EditMode());
    QVERIFY(accessories->clock.settings().isEmpty());
}

void TestClockWindow::steppingWhileRunningIsUndoneAtTheNextTick()
{
    select("Jo");
    up();
    QCOMPARE(date(), QStringLiteral("08/11/2026"));
    window->Timer1Timer(); // a tick
    QCOMPARE(date(), QStringLiteral("07/11/2026"));
    QVERIFY(accessories->clock.settings().isEmpty());
}

void TestClockWindow::refusalIsReported_data()
{
    QTest::addColumn<bool>("clockRefuses");
    QTest::addColumn<int>("daysUp");
    QTest::addColumn<int>("settingsAsked");
    QTest::newRow("system refuses") << true << 0 << 1;
    // 7 November stepped to 31 November: no such day, the system is not even asked.
    QTest::newRow("31 in a 30-day month") << false << 24 << 0;
}

void TestClockWindow::refusalIsReported()
{
    QFETCH(bool, clockRefuses);
    QFETCH(int, daysUp);
    accessories->clock.refuseSettings(clockRefuses);
    select("Jo");
    window->Button2->click();
    for (int i = 0; i < daysUp; ++i)
        up();
    window->Button2->click();
    QTEST(int(accessories->clock.settings().size()), "settingsAsked");
    QCOMPARE(accessories->boxes.shown().size(), 1);
    QCOMPARE(accessories->boxes.shown().first().icon, MessageIcon::Warning);
    QCOMPARE(accessories->boxes.lastText(), Refused);
    QVERIFY(!window->EditMode());
    QVERIFY(window->Timer1->isActive());
    QCOMPARE(accessories->clock.now(), Start);
}

void TestClockWindow::fieldThatIsNotANumber()
{
    select("Hr");
    window->Label1->setText(QStringLiteral("9:05:30"));
    up();
    QCOMPARE(accessories->boxes.lastText(), QStringLiteral("'9:' n'est pas une valeur entière correcte."));
    QCOMPARE(accessories->boxes.shown().first().icon, MessageIcon::Stop);
    QCOMPARE(time(), QStringLiteral("9:05:30"));
    window->Button2->click();
    window->Button2->click();
    QCOMPARE(accessories->boxes.shown().size(), 2);
    QVERIFY(accessories->clock.settings().isEmpty());
    QVERIFY(window->Timer1->isActive());
}

void TestClockWindow::escape_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Fermer") << "Button1" << true;
    QTest::newRow("field selector") << "RadioButton2" << false;
    QTest::newRow("spin button") << "SpinButton1" << false;
    QTest::newRow("Set") << "Button2" << false;
}

void TestClockWindow::escape()
{
    QFETCH(QString, focus);
    QFETCH(bool, closes);
    auto *target = window->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QCOMPARE(!window->isVisible(), closes);
}

QTEST_MAIN(TestClockWindow)
#include "tst_clockwindow.moc"
