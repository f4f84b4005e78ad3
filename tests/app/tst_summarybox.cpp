#include "document/exchange/questionexchange.h"
#include "platform/detailsmessagebox.h"
#include "platform/qtmessageboxes.h"
#include "whenshown.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

// The summary box of an import or an export, as the teacher sees it: whatever the number of
// questions left out, it fits the screen and its OK button can be reached.
class TestSummaryBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Nelo Qcm")); }
    void fitsTheScreen_data();
    void fitsTheScreen();
};

void TestSummaryBox::fitsTheScreen_data()
{
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("listed"); // lines in the list
    QTest::newRow("a few") << 3 << 3;
    QTest::newRow("200, a box once taller than the screen") << 200 << 200;
    QTest::newRow("100,000, once a long freeze") << 100000 << 1001;
}

void TestSummaryBox::fitsTheScreen()
{
    QFETCH(int, skipped);
    QFETCH(int, listed);
    QuestionExchange::Report report;
    report.done = 2;
    for (int i = 1; i <= skipped; ++i)
        report.skipped.append(SkippedQuestion{i, QStringLiteral("Combien de pattes a une araignée ?"),
                                              QStringLiteral("question vrai/faux")});
    const QuestionExchange::Summary summary = QuestionExchange::importSummary(report);

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    bool seen = false;
    QRect frame;
    QRect okButton;
    int lines = 0;
    QString caption;
    QString text;
    whenModal<DetailsMessageBox>([&](DetailsMessageBox *box) {
        seen = true;
        frame = box->frameGeometry();
        caption = box->windowTitle();
        text = box->findChild<QLabel *>(QStringLiteral("Label1"))->text();
        lines = box->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->blockCount();
        auto *ok = box->findChild<QPushButton *>(QStringLiteral("OKBtn"));
        okButton = QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size());
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    QtMessageBoxes boxes;
    boxes.showDetails(MessageIcon::Information, summary.text, summary.details);

    QVERIFY(seen);
    QCOMPARE(caption, QStringLiteral("Nelo Qcm"));
    QCOMPARE(text, QStringLiteral("2 questions importées ; %1 ignorées").arg(skipped));
    QCOMPARE(lines, listed);
    QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("%1x%2").arg(frame.width()).arg(frame.height())));
    QVERIFY(screen.contains(okButton));
}

QTEST_MAIN(TestSummaryBox)
#include "tst_summarybox.moc"
