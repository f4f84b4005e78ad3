#include "document/picturepaths.h"

#include <QtTest>

class TestPicturePaths : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void convertLine_data();
    void convertLine();
    void directoryPrefix_data();
    void directoryPrefix();
    void wholeDocument();
};

void TestPicturePaths::convertLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("absolute");
    const QString qcm = QStringLiteral("/home/prof/qcm");
    QTest::newRow("full Windows path") << "PICTURE C:\\IMAGES\\CHAT.BMP" << qcm << "PICTURE CHAT.BMP"
                                       << "PICTURE /home/prof/qcm/CHAT.BMP";
    QTest::newRow("drive colon separates") << "PICTURE A:CHAT.BMP" << qcm << "PICTURE CHAT.BMP"
                                           << "PICTURE /home/prof/qcm/CHAT.BMP";
    QTest::newRow("slash separates") << "PICTURE images/chat.bmp" << qcm << "PICTURE chat.bmp"
                                     << "PICTURE /home/prof/qcm/chat.bmp";
    QTest::newRow("Linux full path") << "PICTURE /media/cle/chat.bmp" << qcm << "PICTURE chat.bmp"
                                     << "PICTURE /home/prof/qcm/chat.bmp";
    QTest::newRow("no picture") << "PICTURE " << qcm << "PICTURE " << "PICTURE ";
    QTest::newRow("root chosen: one slash") << "PICTURE C:\\IMAGES\\CHAT.BMP" << "/" << "PICTURE CHAT.BMP"
                                            << "PICTURE /CHAT.BMP";
    QTest::newRow("folder name ending in a backslash still gets the slash")
        << "PICTURE C:\\IMAGES\\CHAT.BMP" << "/home/prof/qcm\\" << "PICTURE CHAT.BMP"
        << "PICTURE /home/prof/qcm\\/CHAT.BMP";
    QTest::newRow("file name beginning with SOUND") << "PICTURE C:\\SONS\\SOUNDS.BMP" << qcm << "PICTURE SOUNDS.BMP"
                                                    << "PICTURE /home/prof/qcm/SOUNDS.BMP";
    QTest::newRow("sound line") << "SOUND C:\\SONS\\CLOCHE.WAV" << qcm << "SOUND CLOCHE.WAV"
                                << "SOUND /home/prof/qcm/CLOCHE.WAV";
    QTest::newRow("lower-case keyword") << "picture chat.bmp" << qcm << "picture chat.bmp" << "picture chat.bmp";
    QTest::newRow("shorter than the keyword") << "PICTUR" << qcm << "PICTUR" << "PICTUR";
    QTest::newRow("keyword alone") << "SOUND" << qcm << "SOUND " << "SOUND ";
    QTest::newRow("path ending in a separator") << "PICTURE C:\\IMAGES\\" << qcm << "PICTURE " << "PICTURE ";
    QTest::newRow("free text beginning with the keyword") << "PICTURE du jour: chat.bmp" << qcm << "PICTURE  chat.bmp"
                                                         << "PICTURE /home/prof/qcm/ chat.bmp";
    QTest::newRow("a word that only begins like the keyword")
        << "PICTURES du musée" << qcm << "PICTURES du musée" << "PICTURES du musée";
    const QString deep = QStringLiteral("C:\\") + QString(300, QLatin1Char('d')) + QStringLiteral("\\CHAT.BMP");
    QTest::newRow("path over 255 characters keeps its file name")
        << "PICTURE " + deep << qcm << "PICTURE CHAT.BMP" << "PICTURE /home/prof/qcm/CHAT.BMP";
}

void TestPicturePaths::convertLine()
{
    QFETCH(QString, line);
    QFETCH(QString, directory);
    QFETCH(QString, relative);
    QFETCH(QString, absolute);
    QCOMPARE(PicturePaths::relativeLine(line), relative);
    QCOMPARE(PicturePaths::absoluteLine(line, PicturePaths::directoryPrefix(directory)), absolute);
}

void TestPicturePaths::directoryPrefix_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("slash appended") << "/home/prof" << "/home/prof/";
    QTest::newRow("root unchanged") << "/" << "/";
    QTest::newRow("blanks and controls trimmed") << " \t/home/prof \r\n" << "/home/prof/";
    QTest::newRow("nothing chosen") << "  " << "";
}

void TestPicturePaths::directoryPrefix()
{
    QFETCH(QString, directory);
    QFETCH(QString, prefix);
    QCOMPARE(PicturePaths::directoryPrefix(directory), prefix);
}

void TestPicturePaths::wholeDocument()
{
    const QStringList before{"<BLOC0000>", "TITLE PICTURE C:\\X.BMP", "PICTURE C:\\A\\chat.bmp", "REP1 a",
                             "SOUND x/y.wav", "</BLOC0000>"};
    QStringList lines = before;
    QVERIFY(PicturePaths::makeRelative(lines));
    QCOMPARE(lines, (QStringList{"<BLOC0000>", "TITLE PICTURE C:\\X.BMP", "PICTURE chat.bmp", "REP1 a", "SOUND y.wav",
                                 "</BLOC0000>"}));
    QVERIFY(!PicturePaths::makeRelative(lines)); // already bare names
    QVERIFY(PicturePaths::makeAbsolute(lines, QStringLiteral("/q/")));
    QCOMPARE(lines.at(2), QStringLiteral("PICTURE /q/chat.bmp"));
    QCOMPARE(lines.at(4), QStringLiteral("SOUND /q/y.wav"));
    QStringList empty;
    QVERIFY(!PicturePaths::makeRelative(empty));
}

QTEST_GUILESS_MAIN(TestPicturePaths)
#include "tst_picturepaths.moc"
