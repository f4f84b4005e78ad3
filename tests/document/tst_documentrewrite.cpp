#include "fakesheet.h"

#include "document/qcmformat.h"
#include "platform/apperror.h"
#include "platform/scriptedmessageboxes.h"

#include <QtTest>

namespace {

QStringList questionnaire(int questions)
{
    QStringList lines;
    for (int n = 0; n < questions; ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE q%1").arg(n) << QStringLiteral("PICTURE ");
        for (int a = 1; a <= 5; ++a)
            lines << QStringLiteral("REP%1 r").arg(a);
        lines << QStringLiteral("REPONSE 1") << QcmFormat::closingTag(n) << QStringLiteral(" ");
    }
    return lines;
}

// Rewrites every title line to upper case; reports whether one changed.
bool upperTitles(QStringList &lines)
{
    bool changed = false;
    for (QString &line : lines) {
        if (line.startsWith(QLatin1String("TITLE ")) && line != line.toUpper()) {
            line = line.toUpper();
            changed = true;
        }
    }
    return changed;
}

struct Workspace
{
    FakeSheet sheet;
    ScriptedMessageBoxes boxes;
    QuestionStore store{sheet, boxes};

    explicit Workspace(int questions)
    {
        sheet.store = &store;
        store.ChargeLignes(questionnaire(questions), QStringLiteral("test.qcm"));
    }
};

} // namespace

class TestDocumentRewrite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rewrite_data();
    void rewrite();
    void failingEditLeavesTheDocument();
};

void TestDocumentRewrite::rewrite_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("questionAfter");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("title");
    QTest::newRow("change: modified, typed title rewritten too") << "upper" << -1 << true << 1 << 3 << "Q1 TAPÉ";
    QTest::newRow("no change: flag untouched, typing kept") << "none" << -1 << false << 1 << 3 << "q1 tapé";
    QTest::newRow("question after the edit") << "upper" << 2 << true << 2 << 3 << "Q2";
    QTest::newRow("question after beyond the end stays inside") << "none" << 7 << false << 2 << 3 << "q2";
    QTest::newRow("recounted after a block is dropped") << "drop last" << -1 << true << 1 << 2 << "q1 tapé";
}

void TestDocumentRewrite::rewrite()
{
    QFETCH(QString, edit);
    QFETCH(int, questionAfter);
    QFETCH(bool, modified);
    QFETCH(int, shown);
    QFETCH(int, count);
    QFETCH(QString, title);
    Workspace w(3);
    w.store.AllerA(1);
    // What is on the sheet reaches the edit; set without notifying the store, so that only the
    // edit can set the flag.
    w.sheet.shown.title = QStringLiteral("q1 tapé");

    w.store.rewriteDocument(
        [&](QStringList &lines) {
            if (edit == QLatin1String("upper"))
                return upperTitles(lines);
            if (edit == QLatin1String("drop last")) {
                const int open = QcmFormat::findBlock(lines, 2);
                lines.remove(open, QcmFormat::blockEnd(lines, open, 2) - open);
                return true;
            }
            return false;
        },
        questionAfter);
    QCOMPARE(w.store.DocumentModified(), modified);
    QCOMPARE(w.store.CurrentQuestion(), shown);
    QCOMPARE(w.store.QuestionCount(), count);
    QCOMPARE(w.sheet.shown.title, title);
    QCOMPARE(w.sheet.label, QStringLiteral("Question %1").arg(shown + 1));
    QVERIFY(!w.store.SheetModified());
}

void TestDocumentRewrite::failingEditLeavesTheDocument()
{
    Workspace w(2);
    w.store.AllerA(1);
    w.store.EcritFiche(); // the write-back the rewrite starts with
    const QStringList before = w.store.document();
    QVERIFY_THROWS_EXCEPTION(AppError, w.store.rewriteDocument([](QStringList &lines) -> bool {
        lines.clear();
        throw AppError(QStringLiteral("échec"));
    }));
    QCOMPARE(w.store.document(), before);
    QCOMPARE(w.store.QuestionCount(), 2);
    QVERIFY(!w.store.DocumentModified());
}

QTEST_GUILESS_MAIN(TestDocumentRewrite)
#include "tst_documentrewrite.moc"
