#include "marking/markedcorpus.h"

#include "app/markingcommandline.h"
#include "document/qcmfile.h"
#include "document/qcmtext.h"
#include "marking/copypagereader.h"
#include "results/resultsfile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

using namespace MarkedCorpus;

namespace {

struct Outcome
{
    int status = -1;
    QString out, errors;
};

Outcome run(const QStringList &arguments)
{
    Outcome outcome;
    QTextStream out(&outcome.out), errors(&outcome.errors);
    outcome.status = MarkingCommandLine::run(QStringList{QStringLiteral("nelo-qcm"), QStringLiteral("--corriger")} + arguments,
                                             out, errors);
    return outcome;
}

} // namespace

class TestMarkingCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void marksAndKeepsOnce();
    void doubtsLeftToTheTeacher();
    void keptCopiesAskNothing();
    void pageNotDecoded();
    void refusals_data();
    void refusals();
    void realProgram_data();
    void realProgram();

private:
    QTemporaryDir m_dir;
    QString m_quiz;
    std::shared_ptr<const ClassQuestionnaire> m_questionnaire;
    PictureRegistry m_pictures;
    QString m_pdf;
    std::vector<std::vector<CopyPage>> m_pages;
    std::vector<PrintedCopy> m_copies = {{1, QStringLiteral("ROUX Inès"), 21}, {2, QStringLiteral("SIMON Noé"), 22},
                                         {3, QStringLiteral("PETIT Max"), 23}};

    // Copy `copy` scanned with the box of each question's answer `answer` (in places printed,
    // from 1) blackened, and the one after it too when `twice`; saved as `file`.
    QString scan(int copy, int place, bool twice, const QString &file);
};

void TestMarkingCommandLine::initTestCase()
{
    const QStringList lines = questionnaireLines(6, false);
    m_quiz = m_dir.filePath(QStringLiteral("quiz.qcm"));
    QcmFile::write(m_quiz, QcmText::encodeLines(lines));
    m_questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(lines));
    PaperCopies copies(QStringLiteral("quiz"), m_questionnaire, m_pictures);
    m_pdf = m_dir.filePath(QStringLiteral("copies.pdf"));
    m_pages = print(copies, m_copies, CopyLayout::BoxesBeside, m_pdf);
    QCOMPARE(m_pages[0].size(), size_t(1));
}

QString TestMarkingCommandLine::scan(int copy, int place, bool twice, const QString &file)
{
    QImage image = ScanFile(m_pdf).page(copy, 150).convertToFormat(QImage::Format_RGB32);
    QRandomGenerator random(1);
    int last = -1, shown = 0;
    for (const PaperItem &item : m_pages[size_t(copy)][0].items) {
        if (item.kind != PaperItem::CheckBox)
            continue;
        shown = item.question == last ? shown + 1 : 1;
        last = item.question;
        if (shown == place || (twice && item.question == 0 && shown == place + 1))
            drawMark(image, QRectF(item.rect.topLeft() * 150 / 72, item.rect.size() * 150 / 72), Mark::Filled, random);
    }
    const QString path = m_dir.filePath(file);
    image.save(path);
    return path;
}

void TestMarkingCommandLine::marksAndKeepsOnce()
{
    const QStringList scans = {scan(0, 1, false, QStringLiteral("roux.png")), scan(1, 2, false, QStringLiteral("simon.jpg"))};
    const QString results = ResultsFile::pathFor(m_dir.path(), m_quiz);
    const Outcome first = run(QStringList{m_quiz} + scans);
    QCOMPARE(first.status, MarkingCommandLine::Done);
    QVERIFY2(first.out.contains(QStringLiteral("2 pages lues, 2 copies.")), qPrintable(first.out));
    QVERIFY2(first.out.contains(QStringLiteral("2 copies ajoutées aux résultats : quiz-resultats.csv.")), qPrintable(first.out));
    QCOMPARE(first.errors, QString());
    ResultsSheet sheet = ResultsFile::read(results);
    QCOMPARE(sheet.runs.size(), size_t(2));
    QCOMPARE(sheet.runs[0][ResultsFile::NameColumn], QStringLiteral("ROUX Inès"));
    QCOMPARE(sheet.runs[0][ResultsFile::WayColumn], QStringLiteral("papier"));
    QCOMPARE(sheet.runs[1][ResultsFile::CopyColumn], QStringLiteral("2"));
    // Every question answered with its first answer: right where the key says 1.
    int rightWithFirst = 0;
    for (const ClassQuestion &question : m_questionnaire->questions())
        rightWithFirst += question.rightAnswer == 1;
    QCOMPARE(sheet.runs[0][ResultsFile::RightColumn], QString::number(rightWithFirst));

    const Outcome again = run(QStringList{m_quiz} + scans);
    QCOMPARE(again.status, MarkingCommandLine::Done);
    QVERIFY(again.out.contains(QStringLiteral("Copie n° 1 : déjà dans les résultats, pas ajoutée une seconde fois.")));
    QCOMPARE(ResultsFile::read(results).runs.size(), size_t(2));
    QFile::remove(results);
}

void TestMarkingCommandLine::doubtsLeftToTheTeacher()
{
    const QString twice = scan(2, 1, true, QStringLiteral("petit.png"));
    const Outcome outcome = run({m_quiz, twice});
    QCOMPARE(outcome.status, MarkingCommandLine::TeacherNeeded);
    QVERIFY2(outcome.out.contains(QStringLiteral("Copie n° 3 : pas gardée (1 question à trancher).")), qPrintable(outcome.out));
    QVERIFY2(outcome.out.contains(QStringLiteral("À trancher :\n  Copie n° 3 (PETIT Max), question 1 : cases 1 et 2 noircies\n")),
             qPrintable(outcome.out));
    QVERIFY(outcome.out.contains(QStringLiteral("Fichier > Corriger des copies scannées...")));
    QVERIFY(!QFileInfo::exists(ResultsFile::pathFor(m_dir.path(), m_quiz)));
}

// Once the results hold a copy (settled in the window, or read clean), its doubtful scan read
// again asks nothing.
void TestMarkingCommandLine::keptCopiesAskNothing()
{
    const QString results = ResultsFile::pathFor(m_dir.path(), m_quiz);
    QCOMPARE(run({m_quiz, scan(2, 1, false, QStringLiteral("petit-net.png"))}).status, MarkingCommandLine::Done);
    const Outcome again = run({m_quiz, scan(2, 1, true, QStringLiteral("petit-double.png"))});
    QCOMPARE(again.status, MarkingCommandLine::Done);
    QVERIFY2(again.out.contains(QStringLiteral("Copie n° 3 : déjà dans les résultats")), qPrintable(again.out));
    QVERIFY2(!again.out.contains(QStringLiteral("À trancher")), qPrintable(again.out));
    QFile::remove(results);
}

// A page that cannot be decoded is named with its file and page, and the exit status says so.
void TestMarkingCommandLine::pageNotDecoded()
{
    QImage broken(40000, 2, QImage::Format_Grayscale8);
    broken.fill(Qt::white);
    const QImage good(scan(0, 1, false, QStringLiteral("roux-page.png")));
    const QString tiff = m_dir.filePath(QStringLiteral("pile.tif"));
    QVERIFY(writeTiff(tiff, {good, broken}, true, 150));
    const Outcome outcome = run({m_quiz, tiff});
    QCOMPARE(outcome.status, MarkingCommandLine::TeacherNeeded);
    QVERIFY2(outcome.out.startsWith(QStringLiteral("1 page lue sur 2, 1 non lue ; 1 copie.\n")), qPrintable(outcome.out));
    QVERIFY2(outcome.out.contains(QStringLiteral("pile.tif, page 2 : l'image de la page ne peut pas être décodée")),
             qPrintable(outcome.out));
    QFile::remove(ResultsFile::pathFor(m_dir.path(), m_quiz));
}

void TestMarkingCommandLine::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("rien") << QStringList() << "Nommez le questionnaire puis au moins un fichier de copies scannées.";
    QTest::newRow("scan introuvable") << QStringList{QStringLiteral("QUIZ"), QStringLiteral("absent.pdf")}
                                      << "Le fichier « absent.pdf » est introuvable.";
    QTest::newRow("scan qui n'est pas une image") << QStringList{QStringLiteral("QUIZ"), QStringLiteral("QUIZ")}
                                                  << "Le fichier « quiz.qcm » n'est ni un PDF ni une image (PNG, JPEG, TIFF).";
}

void TestMarkingCommandLine::refusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    for (QString &argument : arguments)
        argument.replace(QStringLiteral("QUIZ"), m_quiz);
    const Outcome outcome = run(arguments);
    QCOMPARE(outcome.status, MarkingCommandLine::Failed);
    QVERIFY2(outcome.errors.startsWith(error), qPrintable(outcome.errors));
}

// The program itself reads scans with the module beside it, and says so in French when the
// module is missing rather than failing to start.
void TestMarkingCommandLine::realProgram_data()
{
    QTest::addColumn<bool>("moduleBeside");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("module à côté du programme") << true << int(MarkingCommandLine::Done)
                                               << "1 copie ajoutée aux résultats : quiz-resultats.csv.";
    QTest::newRow("module absent") << false << int(MarkingCommandLine::Failed)
                                   << "La lecture des copies scannées n'est pas disponible : le module nelo-scan-reading.so "
                                      "est introuvable à côté du programme.";
}

void TestMarkingCommandLine::realProgram()
{
    QFETCH(bool, moduleBeside);
    QFETCH(int, status);
    QFETCH(QString, said);
    QString program = QStringLiteral(NELO_PROGRAM);
    const QTemporaryDir alone;
    if (!moduleBeside) {
        program = alone.filePath(QStringLiteral("nelo-qcm"));
        QVERIFY(QFile::copy(QStringLiteral(NELO_PROGRAM), program));
    }
    QProcess process;
    process.start(program, {QStringLiteral("--corriger"), m_quiz, scan(0, 1, false, QStringLiteral("seule.png"))});
    QVERIFY(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    QCOMPARE(process.exitCode(), status);
    QVERIFY2(out.contains(said), qPrintable(out));
    QFile::remove(ResultsFile::pathFor(m_dir.path(), m_quiz));
}

QTEST_MAIN(TestMarkingCommandLine)
#include "tst_markingcommandline.moc"
