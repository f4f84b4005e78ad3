#include "document/qcmtext.h"
#include "pictures/pictureregistry.h"
#include "printing/paperlayout.h"
#include "printing/papertest.h"
#include "pdfreader.h"

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

namespace {

// A4's printable area in points with 15 mm margins.
const QSizeF A4Area(595.3 - 2 * 42.5, 841.9 - 2 * 42.5);

std::vector<PaperQuestion> questions(int count, const QSizeF &picture, int freeTextLines = 2)
{
    std::vector<PaperQuestion> list;
    for (int i = 0; i < count; ++i) {
        PaperQuestion question;
        question.title = QStringLiteral("Question numéro %1, dont le titre est assez long pour passer parfois à la ligne "
                                         "quand la page est étroite")
                             .arg(i + 1);
        question.pictureSize = (i % 3 == 0) ? picture : QSizeF();
        for (int line = 0; line < freeTextLines; ++line)
            question.freeText << QStringLiteral("Ligne %1 du texte libre de la question %2.").arg(line + 1).arg(i + 1);
        for (int a = 0; a < QcmFormat::AnswerCount; ++a)
            question.answers[size_t(a)] = a == 2 && i % 2 ? QString() : QStringLiteral("Réponse %1").arg(a + 1);
        question.solution = (i % 5) + 1;
        list.push_back(std::move(question));
    }
    return list;
}

} // namespace

class TestPaperLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void questionsNeverSplit_data();
    void questionsNeverSplit();
    void questionTallerThanAPage();
    void capitalesAsPdf_data();
    void capitalesAsPdf();
    void correctionsOnlyOnTheKey_data();
    void correctionsOnlyOnTheKey();
    void severalRightAnswers_data();
    void severalRightAnswers();
};

void TestPaperLayout::questionsNeverSplit_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QSizeF>("picture");
    QTest::addColumn<bool>("answerKey");
    const std::pair<const char *, QSizeF> pictures[] = {
        {"no picture", QSizeF()}, {"wide picture", QSizeF(1600, 400)}, {"tall picture", QSizeF(200, 3000)},
        {"tiny picture", QSizeF(16, 16)}};
    for (int count : {1, 12, 200}) {
        for (const auto &[name, size] : pictures) {
            QTest::addRow("%d questions, %s", count, name) << count << size << false;
            QTest::addRow("%d questions, %s, answer key", count, name) << count << size << true;
        }
    }
}

void TestPaperLayout::questionsNeverSplit()
{
    QFETCH(int, count);
    QFETCH(QSizeF, picture);
    QFETCH(bool, answerKey);
    const PaperLayout layout = PaperLayout::layOut("Quiz", questions(count, picture), A4Area, answerKey);

    std::map<int, int> pageOfQuestion;
    std::map<int, int> keyLines;
    QStringList footers;
    int lastQuestionPage = 0;
    for (const PaperItem &item : layout.items) {
        QVERIFY(item.page >= 0 && item.page < layout.pageCount);
        QVERIFY2(QRectF(QPointF(0, 0), A4Area).contains(item.rect), qPrintable(item.text));
        if (item.kind == PaperItem::Footer) {
            footers << item.text;
        } else if (item.kind == PaperItem::KeyLine) {
            keyLines[item.question] = item.page;
            QVERIFY(item.page > lastQuestionPage);
        } else if (item.question >= 0) {
            const auto found = pageOfQuestion.emplace(item.question, item.page);
            QCOMPARE(found.first->second, item.page);
            // In order: no question before an earlier one's page.
            QVERIFY(item.page >= lastQuestionPage);
            lastQuestionPage = item.page;
        }
        if (item.kind == PaperItem::Picture) {
            QVERIFY(item.rect.width() <= A4Area.width() / 3 + 0.01);
            QVERIFY(item.rect.height() <= A4Area.height() / 3);
            QVERIFY(qAbs(item.rect.width() / item.rect.height() - picture.width() / picture.height()) < 0.01);
        }
    }
    QCOMPARE(int(pageOfQuestion.size()), count);
    QCOMPARE(int(keyLines.size()), answerKey ? count : 0);
    QCOMPARE(footers.size(), layout.pageCount);
    QCOMPARE(footers.first(), QStringLiteral("Page 1 / %1").arg(layout.pageCount));
    QCOMPARE(footers.last(), QStringLiteral("Page %1 / %1").arg(layout.pageCount));
    // Pages are used, not one question to a page.
    QVERIFY(layout.pageCount <= count / 2 + 1 + (answerKey ? 1 : 0));
}

void TestPaperLayout::questionTallerThanAPage()
{
    // 150 lines of free text cannot stand on one page: the question goes on over the next,
    // and nothing is drawn below the footer's line.
    std::vector<PaperQuestion> list = questions(3, QSizeF(), 0);
    for (int line = 0; line < 150; ++line)
        list[1].freeText << QStringLiteral("Ligne %1").arg(line + 1);
    const PaperLayout layout = PaperLayout::layOut("Quiz", list, A4Area, false);
    QVERIFY(layout.pageCount >= 3);
    int freeTextLines = 0;
    for (const PaperItem &item : layout.items) {
        if (item.kind != PaperItem::Footer)
            QVERIFY(item.rect.bottom() <= A4Area.height() - 14);
        if (item.kind == PaperItem::FreeText)
            ++freeTextLines;
        // The long question starts on a page of its own.
        if (item.kind == PaperItem::QuestionTitle && item.question == 1)
            QVERIFY(item.page == 1 && item.rect.top() == 0);
    }
    QCOMPARE(freeTextLines, 150);
}

void TestPaperLayout::capitalesAsPdf_data()
{
    QTest::addColumn<bool>("answerKey");
    QTest::newRow("questions only") << false;
    QTest::newRow("with the answer key") << true;
}

void TestPaperLayout::capitalesAsPdf()
{
    QFETCH(bool, answerKey);
    if (!PdfReader::available())
        QSKIP("poppler-utils is not installed");
    const QString examples = QStringLiteral(NELO_EXAMPLES);
    QFile file(examples + "/capitales.qcm");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(examples); // the questions name their pictures by bare file name
    PictureRegistry registry;
    PaperTest test("capitales", QcmText::decodeLines(file.readAll()), registry);
    QDir::setCurrent(previous);
    QVERIFY(!test.questions().front().pictureSize.isEmpty());

    QTemporaryDir dir;
    const QString pdf = dir.filePath("capitales.pdf");
    int pageCount = 0;
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pageCount = test.print(writer, answerKey).pageCount;
    }
    const QString info = PdfReader::info(pdf);
    QCOMPARE(PdfReader::pageCount(pdf), pageCount);
    QVERIFY2(info.contains(QRegularExpression("Page size:.*\\(A4\\)")), qPrintable(info));
    const QString text = PdfReader::text(pdf);
    for (const QString &expected : {QString("Nom :"), QString("Prénom :"), QString("Classe :"), QString("Date :"),
                                    QString("1. Quelle est la capitale de la France ?"), QString("2) Paris"),
                                    QString("Paris est traversée par la Seine."),
                                    QString("12. "), QString("Page %1 / %1").arg(pageCount)})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    QCOMPARE(text.contains("Corrigé"), answerKey);
}

void TestPaperLayout::correctionsOnlyOnTheKey_data()
{
    QTest::addColumn<bool>("answerKey");
    QTest::newRow("pupils' copies") << false;
    QTest::newRow("with the answer key") << true;
}

void TestPaperLayout::correctionsOnlyOnTheKey()
{
    // The statement is printed with the question; the correction never on the pupils' pages.
    QFETCH(bool, answerKey);
    if (!PdfReader::available())
        QSKIP("poppler-utils is not installed");
    const QStringList document{QcmFormat::openingTag(0), "TITLE Capitale", "PICTURE ", "REP1 Lyon", "REP2 Paris",
                               "REP3 ", "REP4 ", "REP5 ", "REPONSE 2", "Une ville sur la Seine.", "Correction :",
                               "Paris est la capitale depuis 987.", QcmFormat::closingTag(0)};
    PictureRegistry registry;
    PaperTest test("corrections", document, registry);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("corrections.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        test.print(writer, answerKey);
    }
    const QString text = PdfReader::text(pdf);
    QVERIFY(text.contains("Une ville sur la Seine."));
    QVERIFY(!text.contains("Correction :"));
    QCOMPARE(text.contains("Paris est la capitale depuis 987."), answerKey);
    if (answerKey)
        QVERIFY(text.indexOf("Corrigé") < text.indexOf("Paris est la capitale depuis 987."));
}

// The paper test reads a question's right answers as a class does: its heading says several are
// possible, and only the key says which.
void TestPaperLayout::severalRightAnswers_data()
{
    QTest::addColumn<QString>("choices"); // the correction's line; "REPONSE 2"
    QTest::addColumn<QStringList>("printed"); // the heading, the key's line
    QTest::newRow("trois") << "bonnes reponses : 1 et 2; 4" << QStringList{"1. Pairs (plusieurs réponses possibles)", "1) 1, 2, 4"};
    QTest::newRow("une réponse sans texte") << "Bonnes réponses : 2, 5" << QStringList{"1. Pairs", "1) 2"};
}

void TestPaperLayout::severalRightAnswers()
{
    QFETCH(QString, choices);
    QFETCH(QStringList, printed);
    PictureRegistry registry;
    PaperTest test("pairs", {QcmFormat::openingTag(0), "TITLE Pairs", "PICTURE ", "REP1 2", "REP2 4", "REP3 7", "REP4 10",
                             "REP5 ", "REPONSE 2", "Correction :", choices, QcmFormat::closingTag(0)}, registry);
    QStringList texts;
    for (const PaperItem &item : PaperLayout::layOut("pairs", test.questions(), A4Area, true).items) {
        if ((item.kind == PaperItem::QuestionTitle && item.page == 0) || (item.kind == PaperItem::KeyLine && item.text.startsWith("1) ")))
            texts << item.text;
    }
    QCOMPARE(texts, printed);
}

QTEST_MAIN(TestPaperLayout)
#include "tst_paperlayout.moc"
