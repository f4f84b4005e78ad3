#include "classroom/network/sessionnetworking.h"
#include "marking/scanreading.h"
#include "platform/apperror.h"
#include "platform/programmodule.h"
#include "platform/systemprinting.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

// The modules as the program loads them, from their files: every symbol bound, each doing its
// part, and a French message when one is missing or is not the part asked for.
namespace {

class NoRequests : public SessionRequests
{
public:
    void setHost(const QString &) override {}
    ApiResponse handle(const ApiRequest &) override { return {}; }
    qint64 journalSyncedLength() const override { return 0; }
    void requestJournalSync() override {}
    void reportFailure(const QString &) override {}
};

PrintedLandmarks a4Landmarks()
{
    PrintedLandmarks landmarks;
    landmarks.page = QSizeF(595, 842);
    landmarks.markSide = 14;
    landmarks.markCentres = {QPointF(35, 35), QPointF(560, 35), QPointF(560, 807), QPointF(35, 807)};
    landmarks.codeArea = QRectF(480, 20, 60, 60);
    return landmarks;
}

} // namespace

class TestProgramModules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scanReading();
    void sessionServer();
    void systemPrinting();
    void refused_data();
    void refused();
};

void TestProgramModules::scanReading()
{
    const ScanReading &reading = ProgramModule(QStringLiteral("nelo-scan-reading.so"), QStringLiteral("La lecture"),
                                               QStringLiteral(NELO_SCAN_READING_MODULE))
                                     .load<ScanReading>();
    QImage paper(595, 842, QImage::Format_RGB32);
    paper.fill(Qt::white);
    QCOMPARE(reading.find(paper, a4Landmarks())->state(), FoundPage::State::NoMarks);
    QCOMPARE(reading.find(QImage(), a4Landmarks())->state(), FoundPage::State::Blank);

    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("page.png"));
    QVERIFY(paper.save(picture));
    ScanReading::OpenProblem problem = ScanReading::OpenProblem::None;
    const std::unique_ptr<ScanPages> pages = reading.open(picture, &problem);
    QVERIFY(pages);
    QCOMPARE(pages->pageCount(), 1);
    QCOMPARE(pages->page(0, 200).size(), paper.size());

    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("pas une image") > 0);
    file.close();
    QVERIFY(!reading.open(text, &problem));
    QCOMPARE(problem, ScanReading::OpenProblem::NotPdfNorImage);
}

void TestProgramModules::systemPrinting()
{
    // Its dialogs are modal: here the module is only loaded, every symbol bound, as the program
    // loads it at its first print.
    ProgramModule(QStringLiteral("nelo-system-printing.so"), QStringLiteral("L'impression"),
                  QStringLiteral(NELO_SYSTEM_PRINTING_MODULE))
        .load<SystemPrinting>();
}

void TestProgramModules::sessionServer()
{
    const SessionNetworking &networking = ProgramModule(QStringLiteral("nelo-session-server.so"), QStringLiteral("La passation"),
                                                        QStringLiteral(NELO_SESSION_SERVER_MODULE))
                                              .load<SessionNetworking>();
    const std::vector<LocalAddress> addresses = networking.localAddresses();
    QVERIFY(!addresses.empty());
    QCOMPARE(addresses.back().address, QStringLiteral("127.0.0.1"));
    QVERIFY(addresses.back().isLoopback);

    NoRequests requests;
    const std::unique_ptr<SessionListener> server = networking.listener(requests, ServerLimits());
    QVERIFY(server->open(QStringLiteral("127.0.0.1"), 0) != 0);
    QVERIFY(server->isListening());
    server->close();
    QVERIFY(!server->isListening());
    QCOMPARE(server->open(QStringLiteral("pas une adresse"), 0), quint16(0));
    QCOMPARE(server->errorText(), QStringLiteral("L'adresse pas une adresse n'est pas (ou plus) celle de cet ordinateur."));
    QVERIFY(!server->portTaken());
}

void TestProgramModules::refused_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QTest::newRow("introuvable") << QString()
                                 << "La lecture des copies scannées n'est pas disponible : le module nelo-scan-reading.so "
                                    "est introuvable à côté du programme.";
    QTest::newRow("pas un module") << QStringLiteral(NELO_EXAMPLES "/capitales.qcm")
                                   << "La lecture des copies scannées n'est pas disponible : le module " NELO_EXAMPLES
                                      "/capitales.qcm ne peut pas être chargé. Réinstallez le programme.";
    QTest::newRow("un autre module") << QStringLiteral(NELO_SESSION_SERVER_MODULE)
                                     << "La lecture des copies scannées n'est pas disponible : le module " NELO_SESSION_SERVER_MODULE
                                        " ne peut pas être chargé. Réinstallez le programme.";
}

void TestProgramModules::refused()
{
    QFETCH(QString, path);
    QFETCH(QString, message);
    const ProgramModule module(QStringLiteral("nelo-scan-reading.so"), QStringLiteral("La lecture des copies scannées"), path);
    try {
        module.load<ScanReading>();
        QFAIL("a reader was loaded");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), message);
    }
}

QTEST_MAIN(TestProgramModules)
#include "tst_programmodules.moc"
