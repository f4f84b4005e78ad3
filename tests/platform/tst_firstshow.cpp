#include "platform/deferredicon.h"

#include <QDialog>
#include <QToolButton>
#include <QtTest>

class TestFirstShow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void iconMadeWhenTheButtonShows_data()
    {
        QTest::addColumn<bool>("windowShown");
        QTest::addColumn<bool>("givenBefore");
        QTest::addColumn<int>("made");
        // Showing the main window polishes the windows it owns: a hidden one still makes none.
        QTest::newRow("owner shown, window hidden") << false << false << 0;
        QTest::newRow("window shown, and again") << true << false << 1;
        QTest::newRow("an icon given before is kept") << true << true << 0;
    }

    void iconMadeWhenTheButtonShows()
    {
        QFETCH(bool, windowShown);
        QFETCH(bool, givenBefore);
        QFETCH(int, made);
        QWidget owner;
        auto *window = new QDialog(&owner);
        auto *button = new QToolButton(window);
        int making = 0;
        QPixmap drawn(16, 16);
        drawn.fill(Qt::red);
        setIconWhenShown(button, [&making, drawn] {
            ++making;
            return QIcon(drawn);
        });
        if (givenBefore)
            button->setIcon(QIcon(drawn));
        owner.show();
        for (int shown = 0; windowShown && shown < 2; ++shown) {
            window->show();
            window->hide();
        }
        QCOMPARE(making, made);
        QCOMPARE(button->icon().isNull(), !givenBefore && made == 0);
    }
};

QTEST_MAIN(TestFirstShow)
#include "tst_firstshow.moc"
