#include "picturetestdata.h"
#include "pictures/metafileconverter.h"
#include "pictures/metafileconverterprocess.h"
#include "pictures/metafilepicture.h"
#include "platform/apperror.h"

#include <QtEndian>
#include <QMimeData>
#include <QPainter>
#include <QtTest>

namespace {

QByteArray patched32(QByteArray bytes, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
    return bytes;
}

QByteArray patched16(QByteArray bytes, int offset, qint16 value)
{
    qToLittleEndian<qint16>(value, bytes.data() + offset);
    return bytes;
}

// A placeable WMF, two inches by one, of count small red rectangles.
QByteArray wmfOfRectangles(int count)
{
    constexpr quint16 SetWindowOrg = 0x020B, SetWindowExt = 0x020C, CreateBrush = 0x02FC;
    constexpr quint16 SelectObject = 0x012D, Rectangle = 0x041B;
    constexpr qint16 Width = 2880, Height = 1440;
    QByteArray records;
    QDataStream out(&records, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const auto record = [&out](quint16 function, std::initializer_list<qint16> words) {
        out << quint32(3 + words.size()) << function;
        for (qint16 word : words)
            out << word;
    };
    record(SetWindowOrg, {0, 0});
    record(SetWindowExt, {Height, Width});
    out << quint32(7) << CreateBrush << quint16(0) << quint32(0x0000FF) << quint16(0);
    record(SelectObject, {0});
    for (int i = 0; i < count; ++i) {
        const auto x = qint16(i * 7 % (Width - 20));
        const auto y = qint16(i * 13 % (Height - 20));
        record(Rectangle, {qint16(y + 60), qint16(x + 60), y, x});
    }
    record(0, {}); // end of file
    QByteArray file;
    QDataStream header(&file, QIODevice::WriteOnly);
    header.setByteOrder(QDataStream::LittleEndian);
    header << quint32(0x9AC6CDD7) << quint16(0) << qint16(0) << qint16(0) << Width << Height
           << quint16(1440) << quint32(0);
    quint16 checksum = 0;
    for (int i = 0; i < file.size(); i += 2)
        checksum ^= qFromLittleEndian<quint16>(file.constData() + i);
    header << checksum;
    header << quint16(1) << quint16(9) << quint16(0x0300) << quint32((18 + records.size()) / 2)
           << quint16(1) << quint32(7) << quint16(0);
    return file + records;
}

// A small shell script standing in for the helper.
QString fakeHelper(const QTemporaryDir &dir, const QString &name, const QByteArray &body)
{
    const QString path = dir.filePath(name);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly) || script.write("#!/bin/sh\n" + body + "\n") < 0)
        qFatal("cannot write %s", qPrintable(path));
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return path;
}

enum class Conversion { Helper, InProcess };

DrawingConversion conversion(Conversion where)
{
    if (where == Conversion::Helper)
        return testDrawingConversion();
    return [](DrawingSource, const QByteArray &metafile, QByteArray &svg) { return convertMetafileToSvg(metafile, svg); };
}

QImage rendered(MetafilePicture &picture)
{
    QImage canvas(picture.width(), picture.height(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    picture.draw(painter, QRectF(0, 0, picture.width(), picture.height()));
    painter.end();
    return canvas;
}

} // namespace

Q_DECLARE_METATYPE(Conversion)

class TestMetafilePicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        QTest::addColumn<QSize>("size");
        const QByteArray wmf = sampleBytes(QStringLiteral("drawing.wmf"));
        const QByteArray emf = sampleBytes(QStringLiteral("drawing.emf"));
        QTest::newRow("placeable wmf") << wmf << int(MetafileError::None) << QSize(192, 96);
        QTest::newRow("emf") << emf << int(MetafileError::None) << QSize(192, 96);
        QTest::newRow("empty") << QByteArray() << int(MetafileError::NotAMetafile) << QSize();
        QTest::newRow("bitmap") << sampleBytes(QStringLiteral("bitmap.bmp")) << int(MetafileError::NotAMetafile) << QSize();
        QTest::newRow("wmf without placeable header") << wmf.mid(22) << int(MetafileError::NotAMetafile) << QSize();
        QTest::newRow("wmf cut in its header") << wmf.left(30) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("wmf with zero units per inch") << patched16(wmf, 14, 0) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("wmf of zero width") << patched16(wmf, 10, 0) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("wmf with reversed box") << patched16(patched16(wmf, 6, 2880), 10, 0)
                                               << int(MetafileError::None) << QSize(192, 96);
        QTest::newRow("emf cut in its header") << emf.left(60) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("emf wrong signature") << patched32(emf, 40, 0x12345678) << int(MetafileError::NotAMetafile) << QSize();
        QTest::newRow("emf empty frame takes the bounds") << patched32(emf, 32, 0) << int(MetafileError::None) << QSize(192, 96);
        QTest::newRow("emf of huge frame") << patched32(emf, 32, 0x7fffffff) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("emf with nothing usable")
            << patched32(patched32(emf, 32, 0), 16, -5) << int(MetafileError::BadHeader) << QSize();
    }
    void header()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QFETCH(QSize, size);
        MetafileHeader header;
        QCOMPARE(int(readMetafileHeader(bytes, header)), error);
        if (error == int(MetafileError::None))
            QCOMPARE(header.size, size);
    }

    void drawsItsVectors_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<Conversion>("where");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("wmf in the helper") << "drawing.wmf" << Conversion::Helper << QColor(Qt::red);
        QTest::newRow("wmf in process") << "drawing.wmf" << Conversion::InProcess << QColor(Qt::red);
        QTest::newRow("emf in the helper") << "drawing.emf" << Conversion::Helper << QColor(Qt::green);
        QTest::newRow("emf in process") << "drawing.emf" << Conversion::InProcess << QColor(Qt::green);
    }
    void drawsItsVectors()
    {
        QFETCH(QString, sample);
        QFETCH(Conversion, where);
        QFETCH(QColor, fill);
        MetafilePicture picture(conversion(where));
        picture.loadFromData(sampleBytes(sample));
        QCOMPARE(QSize(picture.width(), picture.height()), QSize(192, 96));
        const QImage canvas = rendered(picture);
        // The brush fills the rectangle and the ellipse; the corners stay white.
        QCOMPARE(QColor(canvas.pixel(96, 48)), fill);
        QCOMPARE(QColor(canvas.pixel(0, 0)), QColor(Qt::white));
    }

    void helperGivesTheSameDrawing()
    {
        for (const QString &sample : {QStringLiteral("drawing.wmf"), QStringLiteral("drawing.emf")}) {
            QByteArray inHelper;
            QByteArray inProcess;
            QCOMPARE(int(conversion(Conversion::Helper)(DrawingSource::Metafile, sampleBytes(sample), inHelper)),
                     int(MetafileError::None));
            QCOMPARE(int(convertMetafileToSvg(sampleBytes(sample), inProcess)), int(MetafileError::None));
            QCOMPARE(inHelper, inProcess);
        }
    }

    void drawsScaledToTheTarget()
    {
        MetafilePicture picture(testDrawingConversion());
        picture.loadFromData(sampleBytes(QStringLiteral("drawing.wmf")));
        QImage canvas(96, 48, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(0, 0, 96, 48));
        painter.end();
        QCOMPARE(QColor(canvas.pixel(48, 24)), QColor(Qt::red));
        QCOMPARE(QColor(canvas.pixel(1, 1)), QColor(Qt::white));
    }

    void refusedContent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray wmf = sampleBytes(QStringLiteral("drawing.wmf"));
        QTest::newRow("bitmap") << sampleBytes(QStringLiteral("bitmap.bmp"));
        QTest::newRow("text") << QByteArray("pas une image");
        QTest::newRow("wmf header only") << wmf.left(22);
        QTest::newRow("emf with reversed bounds") << patched32(patched32(sampleBytes(QStringLiteral("drawing.emf")), 32, 0), 16, -5);
    }
    void refusedContent()
    {
        QFETCH(QByteArray, bytes);
        MetafilePicture picture(testDrawingConversion());
        try {
            picture.loadFromData(bytes);
            QFAIL("loaded");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), QStringLiteral("MetaFichier incorrect"));
        }
    }

    void refusedRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray emf = sampleBytes(QStringLiteral("drawing.emf"));
        QTest::newRow("record larger than the file") << patched32(emf, 88 + 4, 0x7ffffff0);
        QTest::newRow("record of zero size") << patched32(emf, 88 + 4, 0);
        QTest::newRow("record size not a multiple of 4") << patched32(emf, 88 + 4, 26);
        QTest::newRow("cut in the middle of a record") << emf.left(100);
        QTest::newRow("no end-of-file record") << emf.left(emf.size() - 20);
        QTest::newRow("second header record") << patched32(emf, 88, 1);
    }
    void refusedRecords()
    {
        QFETCH(QByteArray, bytes);
        QByteArray svg;
        QCOMPARE(int(convertMetafileToSvg(bytes, svg)), int(MetafileError::BadRecords));
        QVERIFY(svg.isEmpty());
    }

    void bytesAfterTheEndOfFileRecordAreIgnored()
    {
        const QByteArray emf = sampleBytes(QStringLiteral("drawing.emf"));
        QByteArray clean;
        QByteArray padded;
        QCOMPARE(int(convertMetafileToSvg(emf, clean)), int(MetafileError::None));
        // A header claiming a much larger file, and bytes that are no record at all.
        const QByteArray longer = patched32(emf, 48, 0x7ffffff0) + QByteArray(64, '\xff');
        QCOMPARE(int(convertMetafileToSvg(longer, padded)), int(MetafileError::None));
        QCOMPARE(padded, clean);
    }

    void descriptionIsNeverRead()
    {
        // Found by fuzzing: a header naming a description without a length made libemf2svg read
        // past the end of the file. The description is dropped, the drawing itself is fine.
        MetafilePicture picture(conversion(Conversion::InProcess));
        picture.loadFromData(sampleBytes(QStringLiteral("crashes/emf-description-beyond-file.emf")));
        QCOMPARE(QSize(picture.width(), picture.height()), QSize(192, 96));
        QVERIFY(QColor(rendered(picture).pixel(96, 48)) != QColor(Qt::white)); // its fill is drawn
    }

    // Both froze the window or stopped the fuzzer: a file whose header asks libwmf for a block of
    // two gigabytes, and one of 300,000 shapes that took eleven seconds to draw.
    void refusedWithinBounds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Conversion>("where");
        QTest::addColumn<QList<int>>("errors");
        constexpr int MaxRecordOffset = 22 + 12;
        const QByteArray hugeRecord = patched32(sampleBytes(QStringLiteral("drawing.wmf")), MaxRecordOffset, 1 << 30);
        const QList<int> refused{int(MetafileError::ConversionFailed)};
        QTest::newRow("record of 2 GiB announced, in process") << hugeRecord << Conversion::InProcess << refused;
        QTest::newRow("record of 2 GiB announced, in the helper") << hugeRecord << Conversion::Helper << refused;
        // Over its processor time the helper is ended; a little under, its trial drawing refuses.
        QTest::newRow("300,000 rectangles") << wmfOfRectangles(300000) << Conversion::Helper
                                            << QList<int>{int(MetafileError::TimeLimit), int(MetafileError::TooComplex)};
    }
    void refusedWithinBounds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Conversion, where);
        QFETCH(QList<int>, errors);
        QByteArray svg;
        const int error = int(conversion(where)(DrawingSource::Metafile, bytes, svg));
        QVERIFY2(errors.contains(error), qPrintable(QString::number(error)));
        QVERIFY(svg.isEmpty());
        MetafilePicture picture(conversion(where));
        QVERIFY_THROWS_EXCEPTION(AppError, picture.loadFromData(bytes));
    }

    void manyShapesStillDraw()
    {
#ifdef NELO_SANITIZED_BUILD
        QSKIP("the converter's time limits are set for optimised builds; a sanitizer build is several times slower");
#endif
        MetafilePicture picture(testDrawingConversion());
        picture.loadFromData(wmfOfRectangles(2000));
        const QImage canvas = rendered(picture);
        int drawn = 0;
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x)
                drawn += canvas.pixel(x, y) != QColor(Qt::white).rgb() ? 1 : 0;
        }
        QVERIFY2(drawn > canvas.width() * canvas.height() / 10, qPrintable(QString::number(drawn)));
    }

    // Whatever goes wrong with the helper fails that picture only, within its time.
    void helperFaultsFailThePicture_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("wallTimeMs");
        QTest::addColumn<int>("error");
        const int died = int(MetafileError::ConverterDied);
        QTest::newRow("missing") << QByteArray() << 500 << int(MetafileError::ConverterMissing);
        QTest::newRow("never answers") << QByteArray("exec sleep 30") << 500 << int(MetafileError::TimeLimit);
        QTest::newRow("reports its processor time used up") << QByteArray("cat >/dev/null; exit 7") << 5000
                                                              << int(MetafileError::TimeLimit);
        QTest::newRow("reports its memory used up") << QByteArray("cat >/dev/null; exit 8") << 5000
                                                     << int(MetafileError::MemoryLimit);
        // The program's own verdict, never the helper's.
        QTest::newRow("exits with the missing code") << QByteArray("cat >/dev/null; exit 9") << 5000 << died;
        QTest::newRow("crashes") << QByteArray("kill -SEGV $$") << 5000 << died;
        // Its output is cut off once too large for a picture, however long it would go on.
        QTest::newRow("floods its output") << QByteArray("exec cat /dev/zero") << 60000 << int(MetafileError::TooComplex);
        QTest::newRow("exits with a code not its own") << QByteArray("exit 77") << 5000 << died;
        QTest::newRow("succeeds silently") << QByteArray("cat >/dev/null") << 5000 << int(MetafileError::ConversionFailed);
        QTest::newRow("reports a refusal") << QByteArray("cat >/dev/null; exit 3") << 5000 << int(MetafileError::BadRecords);
    }
    void helperFaultsFailThePicture()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, wallTimeMs);
        QFETCH(int, error);
        QTemporaryDir dir;
        const QString program = script.isEmpty() ? dir.filePath(QStringLiteral("absent"))
                                                 : fakeHelper(dir, QStringLiteral("helper"), script);
        const MetafileConverterProcess helper(program, std::chrono::milliseconds(wallTimeMs));
        QByteArray svg;
        QCOMPARE(int(helper.convert(DrawingSource::Metafile, sampleBytes(QStringLiteral("drawing.wmf")), svg)), error);
        QVERIFY(svg.isEmpty());
    }

    // Every failure read "MetaFichier incorrect", even a good file whose helper was missing:
    // only a file the conversion refused says so now, the other causes are named.
    void failureNamesItsCause_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        const QString damaged = QStringLiteral("MetaFichier incorrect");
        const QString cannot = QStringLiteral("Impossible d'afficher le métafichier : ");
        QTest::newRow("refused records") << int(MetafileError::BadRecords) << damaged;
        QTest::newRow("refused by the library") << int(MetafileError::ConversionFailed) << damaged;
        QTest::newRow("helper missing")
            << int(MetafileError::ConverterMissing)
            << cannot + "le programme qui prépare les dessins (nelo-metafile-converter) est introuvable ; réinstallez Nelo Qcm";
        QTest::newRow("processor time used up")
            << int(MetafileError::TimeLimit)
            << cannot + "sa préparation a dépassé le temps permis (dessin trop complexe ou fichier endommagé).";
        QTest::newRow("memory used up")
            << int(MetafileError::MemoryLimit)
            << cannot + "sa préparation demandait plus de mémoire que permis (dessin trop complexe ou fichier endommagé).";
        QTest::newRow("too many shapes")
            << int(MetafileError::TooComplex)
            << cannot + "son dessin est trop volumineux ou trop complexe pour être tracé sans bloquer la fenêtre";
        QTest::newRow("helper crashed")
            << int(MetafileError::ConverterDied)
            << cannot + "le programme qui prépare les dessins (nelo-metafile-converter) s'est arrêté anormalement";
    }
    void failureNamesItsCause()
    {
        QFETCH(int, error);
        QFETCH(QString, message);
        MetafilePicture picture([error](DrawingSource, const QByteArray &, QByteArray &) { return MetafileError(error); });
        try {
            picture.loadFromData(sampleBytes(QStringLiteral("drawing.wmf")));
            QFAIL("loaded");
        } catch (const AppError &failure) {
            QCOMPARE(failure.message(), message);
        }
    }

    void helperIsFoundBesideTheProgramThenInLibexec_data()
    {
        QTest::addColumn<QStringList>("executables");
        QTest::addColumn<QStringList>("plainFiles");
        QTest::addColumn<QString>("found");
        const QString beside = QStringLiteral("bin/nelo-metafile-converter");
        const QString installed = QStringLiteral("libexec/nelo-qcm/nelo-metafile-converter");
        QTest::newRow("build tree") << QStringList{beside} << QStringList() << beside;
        QTest::newRow("installed") << QStringList{installed} << QStringList() << installed;
        QTest::newRow("both: beside first") << QStringList{beside, installed} << QStringList() << beside;
        QTest::newRow("not executable") << QStringList() << QStringList{beside} << QString();
        QTest::newRow("neither") << QStringList() << QStringList() << QString();
    }
    void helperIsFoundBesideTheProgramThenInLibexec()
    {
        QFETCH(QStringList, executables);
        QFETCH(QStringList, plainFiles);
        QFETCH(QString, found);
        QTemporaryDir prefix;
        QDir(prefix.path()).mkpath(QStringLiteral("bin"));
        for (const QString &name : executables + plainFiles) {
            QDir(prefix.path()).mkpath(QFileInfo(name).path());
            QFile file(prefix.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (executables.contains(name))
                file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        }
        const QString located = MetafileConverterProcess::locate(prefix.filePath(QStringLiteral("bin")));
        QCOMPARE(located.isEmpty() ? QString() : QFileInfo(located).canonicalFilePath(),
                 found.isEmpty() ? QString() : QFileInfo(prefix.filePath(found)).canonicalFilePath());
    }

    void clipboardHoldsVectorsAndBitmap()
    {
        MetafilePicture picture(testDrawingConversion());
        picture.loadFromData(sampleBytes(QStringLiteral("drawing.emf")));
        std::unique_ptr<QMimeData> data(picture.toMimeData());
        QVERIFY(data->hasFormat(QStringLiteral("image/svg+xml")));
        QCOMPARE(data->data(QStringLiteral("image/svg+xml")), picture.svg());
        const QImage image = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(image.size(), QSize(192, 96));
        QCOMPARE(QColor(image.pixel(96, 48)), QColor(Qt::green));
    }
};

QTEST_MAIN(TestMetafilePicture)
#include "tst_metafilepicture.moc"
