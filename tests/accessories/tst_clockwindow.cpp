#include "scriptedservices.h"

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

} // namespace

class TestClockWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensRunningWithNoFieldSelected();
    void setTwiceApplies_data();
    void setTwiceApplies();
    void setOnceThenCloseAppliesNothing();
    void steppingWhileRunningIsUndoneAtTheNextTick();
    void fieldThatIsNotANumber();
    void escape_data();
    void escape();

private:
    std::unique_ptr<ScriptedServices> accessories;
    std::unique_ptr<THorloge> window;

    QString time() const { return window->Label1->text(); }
    QString date() const { return window->Label2->text(); }
    void select(const QString &item)
    {
        for (QRadioButton *button : window->RadioGroup1->findChildren<QRadioButton *>()) {
            if (button->text() == item)
                button->click();
        }
    }
    void up() { QTest::mouseClick(window->SpinButton1->upArrow(), Qt::LeftButton); }
};

void TestClockWindow::init()
{
    accessories = std::make_unique<ScriptedServices>(Start);
    window = std::make_unique<THorloge>(accessories->services);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestClockWindow::cleanup()
{
    window.reset();
    accessories.reset();
}

void TestClockWindow::opensRunningWithNoFieldSelected()
{
    QCOMPARE(time(), QStringLiteral("14:05:30"));
    QCOMPARE(date(), QStringLiteral("07/11/2026"));
    QVERIFY(!window->EditMode());
    QVERIFY(window->Timer1->isActive());
    QCOMPARE(window->focusWidget(), window->Button1);
    // With no field selected the spin button changes nothing.
    QVERIFY(!window->selectedField());
    up();
    QTest::mouseClick(window->SpinButton1->downArrow(), Qt::LeftButton);
    QCOMPARE(time(), QStringLiteral("14:05:30"));
    QCOMPARE(date(), QStringLiteral("07/11/2026"));
}

void TestClockWindow::setTwiceApplies_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("ups");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QList<QDateTime>>("settings");
    QTest::addColumn<bool>("warned");
    QTest::newRow("hour 14 stepped to 16") << "Hr" << 2 << false
                                           << QList<QDateTime>{QDateTime(Start.date(), QTime(16, 5, 30))} << false;
    // The seconds that passed between the two presses are lost.
    QTest::newRow("nothing stepped: the frozen time") << "" << 0 << false << QList<QDateTime>{Start} << false;
    QTest::newRow("system refuses") << "" << 0 << true << QList<QDateTime>{Start} << true;
    // 7 November stepped to 31 November: no such day, the system is not even asked.
    QTest::newRow("31 in a 30-day month") << "Jo" << 24 << false << QList<QDateTime>{} << true;
}

void TestClockWindow::setTwiceApplies()
{
    QFETCH(QString, item);
    QFETCH(int, ups);
    QFETCH(bool, refused);
    QFETCH(QList<QDateTime>, settings);
    QFETCH(bool, warned);
    accessories->clock.refuseSettings(refused);
    select(item);
    window->Button2->click();
    QVERIFY(window->EditMode());
    QVERIFY(!window->Timer1->isActive());
    for (int i = 0; i < ups; ++i)
        up();
    accessories->clock.set(Start.addSecs(7));
    window->Button2->click();

    QCOMPARE(accessories->clock.settings(), settings);
    QCOMPARE(accessories->boxes.shown().size(), warned ? 1 : 0);
    if (warned) {
        QCOMPARE(accessories->boxes.shown().first().icon, MessageIcon::Warning);
        QCOMPARE(accessories->boxes.lastText(), QStringLiteral("L'horloge du système n'a pas pu être réglée."));
    }
    // Running again from the clock's time, new or unchanged, at the next tick.
    QVERIFY(!window->EditMode());
    QVERIFY(window->Timer1->isActive());
    window->Timer1Timer();
    QCOMPARE(time(), accessories->clock.now().time().toString(QStringLiteral("HH:mm:ss")));
}

void TestClockWindow::setOnceThenCloseAppliesNothing()
{
    select(QStringLiteral("Mo"));
    window->Button2->click();
    up();
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
    select(QStringLiteral("Jo"));
    window->SpinButton1->setFocus();
    QTest::keyClick(window->SpinButton1, Qt::Key_Up);
    QCOMPARE(date(), QStringLiteral("08/11/2026"));
    window->Timer1Timer();
    QCOMPARE(date(), QStringLiteral("07/11/2026"));
    QVERIFY(accessories->clock.settings().isEmpty());
}

void TestClockWindow::fieldThatIsNotANumber()
{
    select(QStringLiteral("Hr"));
    window->Label1->setText(QStringLiteral("9:05:30"));
    up();
    QCOMPARE(accessories->boxes.lastText(), QStringLiteral("'9:' n'est pas une valeur entière correcte."));
    QCOMPARE(accessories->boxes.shown().first().icon, MessageIcon::Stop);
    QCOMPARE(time(), QStringLiteral("9:05:30"));
    // A failed apply still lets the display follow the clock again.
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
    auto *target = window->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QTEST(!window->isVisible(), "closes");
}

QTEST_MAIN(TestClockWindow)
#include "tst_clockwindow.moc"
