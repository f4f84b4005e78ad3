#include "platform/qtprogress.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QThread>
#include <QtTest>

// The real progress dialog, driven as a long task drives it.
class TestQtProgress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Nelo Qcm")); }
    void shortTaskShowsNothing();
    void longTaskShowsAndStops();
};

namespace {

QProgressDialog *shownDialog(const QWidget &window)
{
    QProgressDialog *dialog = window.findChild<QProgressDialog *>();
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

} // namespace

void TestQtProgress::shortTaskShowsNothing()
{
    QWidget window;
    window.show();
    QtProgress progress(&window);
    progress.begin(QStringLiteral("Lecture des questions…"), 100);
    for (int done = 0; done <= 100; ++done) {
        QVERIFY(progress.advance(done));
        QVERIFY(!shownDialog(window));
    }
    progress.end();
    QVERIFY(!window.findChild<QProgressDialog *>());
}

void TestQtProgress::longTaskShowsAndStops()
{
    QWidget window;
    window.show();
    QtProgress progress(&window);
    progress.begin(QStringLiteral("Lecture des questions…"), 1000);
    QProgressDialog *dialog = nullptr;
    // A task that goes slowly shows its dialog once it has lasted, and lets the user stop it.
    for (int done = 0; done < 1000 && !dialog; ++done) {
        QVERIFY(progress.advance(done));
        QThread::msleep(10);
        dialog = shownDialog(window);
    }
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Nelo Qcm"));
    QCOMPARE(dialog->labelText(), QStringLiteral("Lecture des questions…"));
    QCOMPARE(QApplication::activeModalWidget(), dialog);
    QAbstractButton *cancel = dialog->findChild<QAbstractButton *>();
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QStringLiteral("Annuler"));
    cancel->click();
    QVERIFY(!progress.advance(999));
    progress.end();
    QVERIFY(!window.findChild<QProgressDialog *>());
}

QTEST_MAIN(TestQtProgress)
#include "tst_qtprogress.moc"
