#include "platform/deferredicon.h"
#include "platform/screenfit.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

class TestFirstShow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void iconMadeWhenTheButtonShows_data();
    void iconMadeWhenTheButtonShows();
    void fitToScreen_data();
    void fitToScreen();
};

void TestFirstShow::iconMadeWhenTheButtonShows_data()
{
    QTest::addColumn<bool>("ownerShown");
    QTest::addColumn<bool>("windowShown");
    QTest::addColumn<bool>("givenBefore");
    QTest::addColumn<int>("made");
    QTest::newRow("nothing shown") << false << false << false << 0;
    // Showing the main window polishes the windows it owns: they still make no icon.
    QTest::newRow("owner shown, window hidden") << true << false << false << 0;
    QTest::newRow("window shown") << true << true << false << 1;
    QTest::newRow("an icon given before is kept") << true << true << true << 0;
}

void TestFirstShow::iconMadeWhenTheButtonShows()
{
    QFETCH(bool, ownerShown);
    QFETCH(bool, windowShown);
    QFETCH(bool, givenBefore);
    QFETCH(int, made);
    QWidget owner;
    auto *window = new QDialog(&owner);
    auto *button = new QToolButton(window);
    int making = 0;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    setIconWhenShown(button, [&making, red] {
        ++making;
        return QIcon(red);
    });
    if (givenBefore) {
        QPixmap blue(16, 16);
        blue.fill(Qt::blue);
        button->setIcon(QIcon(blue));
    }
    if (ownerShown)
        owner.show();
    if (windowShown) {
        window->show();
        window->hide();
        window->show();
    }
    QCOMPARE(making, made);
    QCOMPARE(button->icon().isNull(), !givenBefore && made == 0);
}

void TestFirstShow::fitToScreen_data()
{
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QSize>("size");
    QTest::newRow("smaller than the screen: as wanted") << QSize(300, 200) << QSize(300, 200);
    QTest::newRow("too wide") << QSize(room.width() * 2, 200) << QSize(room.width(), 200);
    QTest::newRow("too tall") << QSize(300, room.height() + 1) << QSize(300, room.height());
    QTest::newRow("both") << room.size() * 3 << room.size();
}

void TestFirstShow::fitToScreen()
{
    QFETCH(QSize, wanted);
    QFETCH(QSize, size);
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    QDialog window;
    ::fitToScreen(window, wanted);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Shown, its frame is known and stays on the screen with it.
    const QSize frame = window.frameGeometry().size() - window.size();
    QCOMPARE(window.size(), size.boundedTo(room.size() - frame));
    QVERIFY2(room.contains(window.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                   .arg(window.frameGeometry().x())
                                                                   .arg(window.frameGeometry().y())
                                                                   .arg(window.frameGeometry().width())
                                                                   .arg(window.frameGeometry().height())));
    QVERIFY(qAbs(window.frameGeometry().center().x() - room.center().x()) <= 1);
}

QTEST_MAIN(TestFirstShow)
#include "tst_firstshow.moc"
