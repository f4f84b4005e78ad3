#include "document/qcmformat.h"
#include "pictures/jpegpicture.h"
#include "pictures/pictureregistry.h"
#include "platform/apperror.h"
#include "printing/papertest.h"
#include "printing/printedpicture.h"
#include "pdfreader.h"
#include "pictures/picturetestdata.h"

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A questionnaire of `pictures.size()` questions, question i showing pictures[i] (may be empty).
QStringList questionnaire(const QStringList &pictures)
{
    QStringList lines;
    for (int i = 0; i < pictures.size(); ++i) {
        lines << QcmFormat::openingTag(i) << QStringLiteral("TITLE Question %1").arg(i + 1)
              << QStringLiteral("PICTURE ") + pictures.at(i);
        for (int a = 1; a <= QcmFormat::AnswerCount; ++a)
            lines << QStringLiteral("REP%1 Réponse %1").arg(a);
        lines << QStringLiteral("REPONSE 1") << QcmFormat::closingTag(i);
    }
    return lines;
}

// A photograph-like picture (so that a JPEG of it is not trivially small).
QImage photo(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x & 255, y & 255, (x ^ y) & 255));
    return image;
}

// Prints to an A4 PDF at the print preview's resolution; returns its path.
QString printToPdf(PaperTest &test, const QTemporaryDir &dir)
{
    const QString pdf = dir.filePath(QStringLiteral("test.pdf"));
    QPdfWriter writer(pdf);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(1200);
    test.print(writer, false);
    return pdf;
}

// The sizes of the bitmaps embedded in a PDF, as poppler's pdfimages lists them.
QList<QSize> embeddedImages(const QString &pdf)
{
    QList<QSize> sizes;
    const QStringList lines = PdfReader::output(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split('\n');
    for (const QString &line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(' ');
        if (fields.size() > 4 && fields.at(2) == QLatin1String("image"))
            sizes << QSize(fields.at(3).toInt(), fields.at(4).toInt());
    }
    return sizes;
}

PictureRegistry registryWithJpeg()
{
    PictureRegistry registry(testDrawingConversion());
    registerJpegFormats(registry, 24);
    return registry;
}

} // namespace

class TestPaperTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void jpegDecodedToCover_data();
    void jpegDecodedToCover();
    void picturesDecodedAtPrintedSize_data();
    void picturesDecodedAtPrintedSize();
    void picturesThatCannotBeDrawn_data();
    void picturesThatCannotBeDrawn();
    void warningNamesTenAtMost();
};

void TestPaperTest::jpegDecodedToCover_data()
{
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QSize>("decoded");
    // colour.jpg is 64 x 48: libjpeg scales by eighths of it.
    QTest::newRow("its own size") << QSize(64, 48) << QSize(64, 48);
    QTest::newRow("half") << QSize(32, 24) << QSize(32, 24);
    QTest::newRow("just over a half takes five eighths") << QSize(33, 10) << QSize(40, 30);
    QTest::newRow("height decides") << QSize(8, 30) << QSize(40, 30);
    QTest::newRow("an eighth at least") << QSize(1, 1) << QSize(8, 6);
    QTest::newRow("never enlarged") << QSize(640, 480) << QSize(64, 48);
    QTest::newRow("no size: whole") << QSize() << QSize(64, 48);
}

void TestPaperTest::jpegDecodedToCover()
{
    QFETCH(QSize, wanted);
    QFETCH(QSize, decoded);
    // A 256-colour screen quantises what it shows, never what is printed.
    JpegPicture picture(8);
    picture.loadFromData(sampleBytes(QStringLiteral("colour.jpg")));
    const QImage image = picture.decodedToCover(wanted);
    QCOMPARE(image.size(), decoded);
    QCOMPARE(image.format(), QImage::Format_RGB888);
    QVERIFY(picture.image().isNull()); // nothing kept
}

void TestPaperTest::picturesDecodedAtPrintedSize_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("embedded");
    // On A4 with 15 mm margins a picture is at most a third of the printable width (169.7
    // points), 707 dots at 300 per inch. libjpeg gives the eighth that covers it; other
    // bitmaps come at that size.
    QTest::newRow("large JPEG") << "photo.jpg" << QSize(2400, 1800) << QSize(900, 675);
    QTest::newRow("large bitmap") << "photo.bmp" << QSize(2400, 1800) << QSize(707, 531);
    QTest::newRow("small bitmap kept as it is") << "petite.bmp" << QSize(64, 48) << QSize(64, 48);
}

void TestPaperTest::picturesDecodedAtPrintedSize()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QSize, embedded);
    if (!PdfReader::available() || QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(photo(size).save(path));
    const PictureRegistry registry = registryWithJpeg();
    PaperTest test(QStringLiteral("Photos"), questionnaire({path, QString()}), registry);
    QCOMPARE(test.questions().front().pictureSize, QSizeF(size));

    const QList<QSize> images = embeddedImages(printToPdf(test, dir));
    QCOMPARE(images, QList<QSize>{embedded});
    QVERIFY(test.pictureProblems().empty());
}

void TestPaperTest::picturesThatCannotBeDrawn_data()
{
    QTest::addColumn<QString>("sample");      // copied into the folder, empty: nothing there
    QTest::addColumn<QString>("name");        // as question 2 names it
    QTest::addColumn<bool>("removedAfterReading");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("foundOnReading");
    QTest::newRow("missing file") << QString() << "absente.jpg" << false << "Ne peut ouvrir le fichier" << true;
    QTest::newRow("unknown kind") << "colour.jpg" << "photo.xyz" << false
                                  << "Extension de fichier graphique inconnue (.xyz)" << true;
    QTest::newRow("JPEG spoilt after its header") << "damaged.jpg" << "abimee.jpg" << false << "Erreur JPEG #" << false;
    QTest::newRow("removed once read") << "colour.jpg" << "partie.jpg" << true << "Ne peut ouvrir le fichier" << false;
}

void TestPaperTest::picturesThatCannotBeDrawn()
{
    QFETCH(QString, sample);
    QFETCH(QString, name);
    QFETCH(bool, removedAfterReading);
    QFETCH(QString, reason);
    QFETCH(bool, foundOnReading);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (!sample.isEmpty())
        QVERIFY(QFile::copy(samplePath(sample), path));
    const QString good = dir.filePath(QStringLiteral("bonne.jpg"));
    QVERIFY(QFile::copy(samplePath(QStringLiteral("colour.jpg")), good));
    const PictureRegistry registry = registryWithJpeg();
    PaperTest test(QStringLiteral("Quiz"), questionnaire({good, path, QString()}), registry);

    QCOMPARE(test.untoldPictureProblems().isEmpty(), !foundOnReading);
    if (removedAfterReading)
        QVERIFY(QFile::remove(path));
    const QString pdf = printToPdf(test, dir);
    const QString warning = test.untoldPictureProblems();
    QCOMPARE(warning.isEmpty(), foundOnReading);
    QVERIFY(test.untoldPictureProblems().isEmpty()); // told once

    QCOMPARE(int(test.pictureProblems().size()), 1);
    const PictureProblem &problem = test.pictureProblems().front();
    QCOMPARE(problem.question, 1);
    QCOMPARE(problem.picture, path);
    QVERIFY2(problem.reason.contains(reason), qPrintable(problem.reason));
    if (!PdfReader::available())
        QSKIP("poppler-utils is not installed");
    const QString text = PdfReader::text(pdf).simplified();
    QVERIFY2(text.contains(QStringLiteral("Image non imprimable : ") + name), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("bonne.jpg")));
}

void TestPaperTest::warningNamesTenAtMost()
{
    QStringList pictures;
    for (int i = 0; i < 12; ++i)
        pictures << QStringLiteral("/nulle/part/image%1.bmp").arg(i + 1);
    const PictureRegistry registry = registryWithJpeg();
    PaperTest test(QStringLiteral("Quiz"), questionnaire(pictures), registry);
    const QStringList lines = test.untoldPictureProblems().split('\n');
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines.front(), QStringLiteral("12 images ne peuvent pas être imprimées ; leur nom est écrit à leur place :"));
    QVERIFY(lines.at(1).startsWith(QStringLiteral("Question 1 : /nulle/part/image1.bmp (Ne peut ouvrir le fichier")));
    QCOMPARE(lines.back(), QStringLiteral("et 2 autres."));
}

QTEST_MAIN(TestPaperTest)
#include "tst_papertest.moc"
