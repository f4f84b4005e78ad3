#include "../runner/runnertestdata.h"
#include "../scriptedservices.h"
#include "document/memorysheet.h"
#include "document/picturelocation.h"
#include "document/questionstore.h"
#include "pictures/imageframe.h"
#include "picturetestdata.h"
#include "printing/papertest.h"
#include "runner/qcm.h"

#include <QtTest>

namespace {

// A sheet that notes which files it was asked to show.
struct RecordingSheet : MemorySheet
{
    QStringList loaded;
    void loadPicture(const QString &path) override { loaded << path; }
};

const QString StoredOnAnotherComputer = QStringLiteral("C:\\Quiz\\chat.bmp");

} // namespace

// A questionnaire copied with its pictures to a USB key or another computer names them by paths
// that lead nowhere here: each is looked for by its file name in the questionnaire's folder.
class TestPictureLocation : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_startFolder;

    QString quizFolder() const { return m_dir.filePath(QStringLiteral("quiz")); }

    // Two questions, the first showing the picture by the path it had where it was written.
    static QStringList questionnaire()
    {
        QStringList lines = RunnerTestData::questionnaire(2);
        lines[2] = QStringLiteral("PICTURE ") + StoredOnAnotherComputer;
        return lines;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("quiz")));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("ailleurs")));
        writeTestFile(m_dir, QStringLiteral("quiz/chat.bmp"), bmpOfSize(30, 20, qRgb(200, 0, 0)));
        writeTestFile(m_dir, QStringLiteral("quiz/CHIEN.BMP"), bmpOfSize(30, 20, qRgb(0, 200, 0)));
        writeTestFile(m_dir, QStringLiteral("ailleurs/local.bmp"), bmpOfSize(30, 20, qRgb(0, 0, 200)));
        m_startFolder = QDir::currentPath();
        QDir::setCurrent(m_dir.filePath(QStringLiteral("ailleurs")));
    }
    void cleanupTestCase()
    {
        QDir::setCurrent(m_startFolder);
    }

    void resolve_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("hasFolder");
        QTest::addColumn<QString>("found"); // under the test folder; empty: the stored path itself
        QTest::newRow("stored path leads to the file") << m_dir.filePath(QStringLiteral("quiz/chat.bmp")) << true
                                                      << "quiz/chat.bmp";
        QTest::newRow("bare name in the current folder") << "local.bmp" << true << "";
        QTest::newRow("bare name only in the questionnaire's folder") << "chat.bmp" << true << "quiz/chat.bmp";
        QTest::newRow("Windows path") << StoredOnAnotherComputer << true << "quiz/chat.bmp";
        QTest::newRow("Linux path") << "/home/prof/images/chat.bmp" << true << "quiz/chat.bmp";
        QTest::newRow("drive and file name") << "A:chat.bmp" << true << "quiz/chat.bmp";
        QTest::newRow("letter case as Windows ignores it") << "C:\\QUIZ\\Chien.bmp" << true << "quiz/CHIEN.BMP";
        QTest::newRow("not in the questionnaire's folder either") << "C:\\Quiz\\absent.bmp" << true << "";
        QTest::newRow("questionnaire without a file") << StoredOnAnotherComputer << false << "";
        QTest::newRow("path without a file name") << "C:\\Quiz\\" << true << "";
        QTest::newRow("no picture") << "" << true << "";
    }
    void resolve()
    {
        QFETCH(QString, stored);
        QFETCH(bool, hasFolder);
        QFETCH(QString, found);
        const QString resolved = PictureLocation::resolve(stored, hasFolder ? quizFolder() : QString());
        QCOMPARE(resolved, found.isEmpty() ? stored : m_dir.filePath(found));
    }

    void sheetShowsItAndKeepsTheStoredLine()
    {
        const QString file = m_dir.filePath(QStringLiteral("quiz/quiz.qcm"));
        writeTestFile(m_dir, QStringLiteral("quiz/quiz.qcm"), questionnaire().join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
        RecordingSheet sheet;
        ScriptedMessageBoxes boxes;
        QuestionStore store(sheet, boxes);
        store.Charge(file);
        QCOMPARE(sheet.loaded, QStringList{m_dir.filePath(QStringLiteral("quiz/chat.bmp"))});
        QCOMPARE(store.CurrentPicture(), StoredOnAnotherComputer);
        store.Suivant();
        store.Precedent();
        QVERIFY(store.document().contains(QStringLiteral("PICTURE ") + StoredOnAnotherComputer));
        QVERIFY(!store.DocumentModified());
        // A new questionnaire has no folder of its own.
        store.Nouveau();
        QCOMPARE(store.questionnaireFolder(), QString());
    }

    void runnerShowsIt()
    {
        ScriptedServices services;
        TQcm runner(services.services);
        runner.Init(questionnaire(), quizFolder());
        runner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&runner));
        QCOMPARE(QSize(runner.Image1->picture().width(), runner.Image1->picture().height()), QSize(30, 20));
    }

    void paperTestPrintsIt_data()
    {
        QTest::addColumn<bool>("hasFolder");
        QTest::addColumn<QSizeF>("pictureSize");
        QTest::newRow("looked for in the questionnaire's folder") << true << QSizeF(30, 20);
        QTest::newRow("questionnaire without a file") << false << QSizeF();
    }
    void paperTestPrintsIt()
    {
        QFETCH(bool, hasFolder);
        QFETCH(QSizeF, pictureSize);
        PictureRegistry registry(testDrawingConversion());
        const PaperTest test(QStringLiteral("quiz"), questionnaire(), registry, hasFolder ? quizFolder() : QString());
        QCOMPARE(test.questions().front().pictureSize, pictureSize);
    }
};

QTEST_MAIN(TestPictureLocation)
#include "tst_picturelocation.moc"
