// The real print preview, driven from the keyboard alone.
#include "platform/printdialogs.h"
#include "platform/scriptedmessageboxes.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPagedPaintDevice>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "whenshown.h"

class TestPrintDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void previewPrintsWithTabAndEnter();
};

// From the page, Tab reaches "Imprimer" and Enter presses it: the print dialog comes. The test
// screen is narrow, as a scaled one is: the bar's end is out of sight.
void TestPrintDialogs::previewPrintsWithTabAndEnter()
{
    QTemporaryDir dir;
    PrintJob job;
    job.pdfFile = dir.filePath(QStringLiteral("essai.pdf"));
    QString reached;
    bool printAsked = false;
    whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *preview) {
        const auto closeAtEnd = qScopeGuard([preview] { preview->reject(); });
        QVERIFY(QTest::qWaitForWindowActive(preview));
        QWidget *start = QApplication::focusWidget();
        QVERIFY(start && preview->isAncestorOf(start));
        // The page's view first, then "Imprimer".
        for (int tab = 0; tab < 2 && !qobject_cast<QToolButton *>(QApplication::focusWidget()); ++tab)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto *button = qobject_cast<QToolButton *>(QApplication::focusWidget());
        QVERIFY(button && button->defaultAction());
        reached = button->defaultAction()->text();
        whenModal<QPrintDialog>([&](QPrintDialog *dialog) {
            printAsked = true;
            dialog->reject();
        });
        QTest::keyClick(button, Qt::Key_Return);
    });
    ScriptedMessageBoxes boxes;
    QtPrintDialogs dialogs(boxes);
    dialogs.preview(job, [](PrintTarget &target) { QPainter(&target.device()).drawText(100, 100, QStringLiteral("Page")); },
                    nullptr);
    QCOMPARE(reached, QCoreApplication::translate("QPrintPreviewDialog", "Print"));
    QVERIFY(printAsked);
}

QTEST_MAIN(TestPrintDialogs)
#include "tst_printdialogs.moc"
