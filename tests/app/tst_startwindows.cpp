#include "app/aboutbox.h"
#include "app/desktopservices.h"
#include "app/splash.h"
#include "app/startup.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

class TestStartWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splashLooksAsDesigned();
    void splashTexts_data();
    void splashTexts();
    void aboutBox_data();
    void aboutBox();
    void aboutBoxClosesWithOkAndEscape_data();
    void aboutBoxClosesWithOkAndEscape();
    void commandLine_data();
    void commandLine();
    void commandLineAnswersInFrench_data();
    void commandLineAnswersInFrench();
    void qtSpeaksFrench_data();
    void qtSpeaksFrench();
    void missingQtTranslationsAreNoError();
    void programReadsEveryPictureKind_data();
    void programReadsEveryPictureKind();
    void startMapsNoChartLibraries();
    void startLoadsNoImagePlugin();
};

void TestStartWindows::startLoadsNoImagePlugin()
{
#if defined(Q_OS_LINUX) && defined(__GLIBC__)
    // The loader names every library the program opens, to its main window shown and beyond.
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(NELO_PROGRAM), {QStringLiteral("--quit-when-shown")});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    const QByteArray opened = program.readAllStandardError();
    QVERIFY2(opened.contains("/platforms/"), opened.right(2000).constData());
    QVERIFY2(!opened.contains("/imageformats/"), opened.right(2000).constData());
#else
    QSKIP("the libraries opened are listed by glibc's loader only");
#endif
}

void TestStartWindows::startMapsNoChartLibraries()
{
#if defined(Q_OS_LINUX) && defined(__GLIBC__)
    // The dynamic loader lists what it maps for the program and stops before main().
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_TRACE_LOADED_OBJECTS"), QStringLiteral("1"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(NELO_PROGRAM), QStringList());
    QVERIFY(program.waitForFinished(30000));
    const QByteArray mapped = program.readAllStandardOutput();
    QVERIFY2(mapped.contains("libQt6Widgets"), mapped.constData());
    QVERIFY2(!mapped.contains("libQt6Charts"), mapped.constData());
    QVERIFY2(!mapped.contains("libQt6OpenGL"), mapped.constData());
#else
    QSKIP("the libraries mapped at start are listed by glibc's loader only");
#endif
}

void TestStartWindows::programReadsEveryPictureKind_data()
{
    QTest::addColumn<QString>("extension");
    for (const char *extension : {"bmp", "ico", "wmf", "emf", "jpg", "jpeg", "gif", "pcx"})
        QTest::newRow(extension) << QString::fromLatin1(extension);
}

void TestStartWindows::programReadsEveryPictureKind()
{
    QFETCH(QString, extension);
    DesktopServices services(24);
    QVERIFY(services.pictures.find(extension));
    QVERIFY(services.pictures.find(extension.toUpper()));
}

void TestStartWindows::splashLooksAsDesigned()
{
    TSplash splash;
    QCOMPARE(splash.size(), QSize(318, 221));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    const QImage image = splash.grab().toImage();
    QCOMPARE(QColor(image.pixel(3, 3)), QColor(255, 255, 0));      // yellow ground
    QCOMPARE(QColor(image.pixel(160, 30)), QColor(128, 128, 0));    // olive panel
    auto *picture = splash.findChild<QLabel *>(QStringLiteral("Image1"));
    QVERIFY(picture);
    QCOMPARE(picture->size(), QSize(89, 113));
    QVERIFY(!picture->pixmap().isNull());
    QVERIFY(picture->x() < 318 / 2);
}

void TestStartWindows::splashTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixels");
    QTest::newRow("product") << "ProductName" << "Nelo Qcm" << 23;
    QTest::newRow("version") << "Version" << "Version 2.0" << 15;
}

void TestStartWindows::splashTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, pixels);
    TSplash splash;
    auto *label = splash.findChild<QLabel *>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QVERIFY(label->font().bold());
    QCOMPARE(label->font().pixelSize(), pixels);
    QVERIFY(label->x() > 318 / 3);
    // Nothing cut: the text fits its label.
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(text) <= label->width());
}

void TestStartWindows::aboutBox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("product") << "ProductName" << "Nelo Qcm";
    QTest::newRow("version") << "Version" << "Version 2.0";
    QTest::newRow("comments") << "Comments" << "Générateur de questionnaires à choix multiples.";
}

void TestStartWindows::aboutBox()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    TAboutBox box;
    QCOMPARE(box.windowTitle(), QStringLiteral("A propos"));
    QCOMPARE(box.size(), QSize(329, 218));
    auto *label = box.findChild<QLabel *>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->font().bold(), name == QLatin1String("ProductName"));
    auto *icon = box.findChild<QLabel *>(QStringLiteral("ProgramIcon"));
    QVERIFY(icon);
    box.show();
    QVERIFY(!icon->pixmap().isNull());
    QCOMPARE(icon->pixmap().deviceIndependentSize(), QSizeF(64, 64));
    QCOMPARE(box.OKButton->text(), QStringLiteral("OK"));
    QVERIFY(box.OKButton->isDefault());
}

void TestStartWindows::aboutBoxClosesWithOkAndEscape_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter presses OK") << int(Qt::Key_Return);
    QTest::newRow("Escape closes too") << int(Qt::Key_Escape);
}

void TestStartWindows::aboutBoxClosesWithOkAndEscape()
{
    QFETCH(int, key);
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key(key));
    QVERIFY(!box.isVisible());
}

void TestStartWindows::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("questionnaire");
    QTest::addColumn<bool>("quitWhenShown");
    QTest::newRow("nothing") << QStringList{"nelo-qcm"} << "" << false;
    QTest::newRow("a questionnaire") << QStringList{"nelo-qcm", "capitales.qcm"} << "capitales.qcm" << false;
    QTest::newRow("measurement") << QStringList{"nelo-qcm", "--quit-when-shown"} << "" << true;
    QTest::newRow("a name like an option, after --") << QStringList{"nelo-qcm", "--", "-v.qcm"} << "-v.qcm" << false;
}

void TestStartWindows::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, questionnaire);
    QFETCH(bool, quitWhenShown);
    const StartupOptions options = parseCommandLine(arguments);
    QCOMPARE(int(options.action), int(StartupOptions::Action::Run));
    QCOMPARE(options.questionnaire, questionnaire);
    QCOMPARE(options.quitWhenShown, quitWhenShown);
}

void TestStartWindows::commandLineAnswersInFrench_data()
{
    using Action = StartupOptions::Action;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("exitCode");
    const QString usage = QStringLiteral("Utilisation : nelo-qcm [options] [questionnaire]\n");
    QTest::newRow("--help") << QStringList{"/usr/bin/nelo-qcm", "--help"} << int(Action::ShowHelp) << usage << 0;
    QTest::newRow("-h beside a questionnaire") << QStringList{"nelo-qcm", "a.qcm", "-h"} << int(Action::ShowHelp) << usage << 0;
    QTest::newRow("help before an unknown option") << QStringList{"nelo-qcm", "-platform", "offscreen", "--help"}
                                                   << int(Action::ShowHelp) << usage << 0;
    QTest::newRow("--version") << QStringList{"nelo-qcm", "--version"} << int(Action::ShowVersion) << "Nelo Qcm 2.0.0\n" << 0;
    QTest::newRow("-v") << QStringList{"nelo-qcm", "-v"} << int(Action::ShowVersion) << "Nelo Qcm 2.0.0\n" << 0;
    QTest::newRow("unknown option") << QStringList{"nelo-qcm", "--ouvrir"} << int(Action::Refuse)
                                    << QStringLiteral("nelo-qcm : option inconnue « --ouvrir ».\n"
                                                      "Pour en savoir plus : nelo-qcm --help\n") << 1;
    QTest::newRow("two questionnaires") << QStringList{"nelo-qcm", "a.qcm", "b.qcm"} << int(Action::Refuse)
                                        << QStringLiteral("nelo-qcm : argument en trop « b.qcm ».\n"
                                                          "Pour en savoir plus : nelo-qcm --help\n") << 1;
}

void TestStartWindows::commandLineAnswersInFrench()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, text);
    QFETCH(int, exitCode);
    const StartupOptions options = parseCommandLine(arguments);
    QCOMPARE(int(options.action), action);
    if (action == int(StartupOptions::Action::ShowHelp))
        QVERIFY2(options.text.startsWith(text), qPrintable(options.text));
    else
        QCOMPARE(options.text, text);
    QCOMPARE(options.exitCode, exitCode);
}

void TestStartWindows::qtSpeaksFrench_data()
{
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("english");
    QTest::newRow("edit field menu") << QByteArray("QLineEdit") << QByteArray("&Undo");
    QTest::newRow("file dialog column") << QByteArray("QFileSystemModel") << QByteArray("Name");
    QTest::newRow("file dialog accept button") << QByteArray("QFileDialog") << QByteArray("&Open");
}

void TestStartWindows::qtSpeaksFrench()
{
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, english);
    QTranslator translator;
    if (!loadQtFrenchTranslations(translator))
        QSKIP("Qt's French translations (qt6-translations-l10n) are not installed");
    const QString french = translator.translate(context.constData(), english.constData());
    QVERIFY2(!french.isEmpty() && french != QString::fromLatin1(english), qPrintable(french));
    qDebug() << french;
}

void TestStartWindows::missingQtTranslationsAreNoError()
{
    QTemporaryDir empty;
    QTranslator translator;
    QVERIFY(!loadQtFrenchTranslations(translator, empty.path()));
    QVERIFY(translator.isEmpty());
}

QTEST_MAIN(TestStartWindows)
#include "tst_startwindows.moc"
