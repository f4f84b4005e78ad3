#include "platform/deferredicon.h"
#include "platform/firstshow.h"

#include <QDialog>
#include <QLabel>
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

    void sizedWhenTheWindowShows_data()
    {
        QTest::addColumn<bool>("windowShown");
        QTest::addColumn<QString>("laterText");
        QTest::newRow("window hidden: not measured") << false << QString();
        QTest::newRow("window shown: fits its text") << true << QString();
        QTest::newRow("text changed before the showing: fits the new one")
            << true << QStringLiteral("Un texte bien plus long que le premier, sur une seule ligne");
    }

    void sizedWhenTheWindowShows()
    {
        QFETCH(bool, windowShown);
        QFETCH(QString, laterText);
        QDialog window;
        auto *label = new QLabel(QStringLiteral("Chemin absolu"), &window);
        const QSize unsized = label->size();
        adjustSizeWhenShown(label);
        if (!laterText.isEmpty())
            label->setText(laterText);
        if (windowShown)
            window.show();
        QCOMPARE(label->size(), windowShown ? label->sizeHint() : unsized);
    }
};

QTEST_MAIN(TestFirstShow)
#include "tst_firstshow.moc"
