#include "picturetestdata.h"
#include "pictures/gifpicture.h"
#include "pictures/jpegpicture.h"
#include "pictures/pictureholder.h"
#include "pictures/pictureregistry.h"
#include "platform/apperror.h"

#include <QtTest>

#include <cstdio>
#include <sys/stat.h>
#include <jpeglib.h>
#include <jerror.h>

// Load from file through the holder: the kind by extension alone, the failure texts, and a
// holder that keeps its picture when a load fails.
class TestPictureLoading : public QObject
{
    Q_OBJECT

private:
    PictureRegistry m_registry{testDrawingConversion()};
    QTemporaryDir m_dir;

    static QString loadFailure(PictureHolder &holder, const QString &path)
    {
        try {
            holder.loadFromFile(path);
        } catch (const AppError &error) {
            return error.message();
        }
        return QString();
    }

    static QString jpegError(int code) { return QStringLiteral("Erreur JPEG #%1").arg(code); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        registerJpegFormats(m_registry, 24);
        registerGifFormat(m_registry);
    }

    void loadsEachKind_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QSize>("size");
        QTest::newRow("bitmap") << "bitmap.bmp" << "BitmapPicture" << QSize(40, 30);
        QTest::newRow("icon") << "icon.ico" << "IconPicture" << QSize(32, 32);
        QTest::newRow("wmf") << "drawing.wmf" << "MetafilePicture" << QSize(192, 96);
        QTest::newRow("emf") << "drawing.emf" << "MetafilePicture" << QSize(192, 96);
        QTest::newRow("jpeg") << "colour.jpg" << "JpegPicture" << QSize(64, 48);
        QTest::newRow("grey jpeg") << "grey.jpg" << "JpegPicture" << QSize(64, 48);
        QTest::newRow("progressive jpeg") << "progressive.jpg" << "JpegPicture" << QSize(64, 48);
        QTest::newRow("damaged jpeg loads") << "damaged.jpg" << "JpegPicture" << QSize(64, 48);
        QTest::newRow("gif") << "still.gif" << "GifPicture" << QSize(24, 16);
        QTest::newRow("animated gif") << "animated.gif" << "GifPicture" << QSize(20, 10);
    }
    void loadsEachKind()
    {
        QFETCH(QString, sample);
        QFETCH(QString, className);
        QFETCH(QSize, size);
        PictureHolder holder(m_registry);
        QSignalSpy changes(&holder, &PictureHolder::changed);
        holder.loadFromFile(samplePath(sample));
        QVERIFY(holder.picture());
        QCOMPARE(QString::fromLatin1(holder.picture()->metaObject()->className()), className);
        QCOMPARE(QSize(holder.width(), holder.height()), size);
        QVERIFY(!holder.isEmpty());
        QCOMPARE(changes.count(), 1);
    }

    void jpegNamesLoadAsJpeg_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("CHAT.JPG") << "CHAT.JPG";
        QTest::newRow("chat.Jpg") << "chat.Jpg";
        QTest::newRow("chat.jpeg") << "chat.jpeg";
        QTest::newRow("chat.JPEG") << "chat.JPEG";
    }
    void jpegNamesLoadAsJpeg()
    {
        QFETCH(QString, name);
        const QString path = writeTestFile(m_dir, name, sampleBytes(QStringLiteral("colour.jpg")));
        PictureHolder holder(m_registry);
        holder.loadFromFile(path);
        QVERIFY(qobject_cast<JpegPicture *>(holder.picture()));
        QCOMPARE(holder.width(), 64);
    }

    void windowsPathIsOpenedAsJpeg()
    {
        // The JPEG kind was chosen: the failure is the open failure, not the extension one.
        PictureHolder holder(m_registry);
        QCOMPARE(loadFailure(holder, QStringLiteral("C:\\IMAGES\\CHAT.JPG")),
                 QStringLiteral("Ne peut ouvrir le fichier C:\\IMAGES\\CHAT.JPG"));
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QByteArray bmp = sampleBytes(QStringLiteral("bitmap.bmp"));
        const QByteArray jpeg = sampleBytes(QStringLiteral("colour.jpg"));
        const QString notGif = QStringLiteral("Image GIF incorrecte : ce fichier n'est pas au format GIF");
        const QString damagedGif = QStringLiteral("Image GIF incorrecte : données tronquées ou endommagées");
        QTest::newRow("jpe is unknown") << jpeg << "chat.jpe"
                                        << "Extension de fichier graphique inconnue (.jpe)";
        QTest::newRow("valid picture without extension")
            << bmp << "chat" << "Extension de fichier graphique inconnue (.)";
        QTest::newRow("dot only in folder name") << bmp << "mes.images/chat"
                                                 << "Extension de fichier graphique inconnue (.)";
        QTest::newRow("bitmap named gif") << bmp << "chat.gif" << notGif;
        QTest::newRow("jpeg named bmp") << jpeg << "chat.bmp" << "Image bitmap incorrecte";
        QTest::newRow("empty bmp") << QByteArray() << "vide.bmp" << "Image bitmap incorrecte";
        QTest::newRow("truncated bmp") << bmp.left(40) << "court.bmp" << "Image bitmap incorrecte";
        QTest::newRow("bitmap named ico") << bmp << "chat.ico" << "Image icône incorrecte";
        QTest::newRow("bitmap named wmf") << bmp << "chat.wmf" << "MetaFichier incorrect";
        QTest::newRow("bitmap named emf") << bmp << "chat.emf" << "MetaFichier incorrect";
        QTest::newRow("empty emf") << QByteArray() << "vide.emf" << "MetaFichier incorrect";
        QTest::newRow("bitmap named jpg") << bmp << "chat.jpg" << jpegError(JERR_NO_SOI);
        QTest::newRow("empty jpg") << QByteArray() << "vide.jpg" << jpegError(JERR_INPUT_EMPTY);
        QTest::newRow("jpeg cut in its header") << jpeg.left(100) << "court.jpg" << jpegError(JERR_NO_IMAGE);
        QTest::newRow("empty gif") << QByteArray() << "vide.gif" << notGif;
        QTest::newRow("gif version 88a") << QByteArray("GIF88a\x01\x00\x01\x00\x00\x00\x00", 13)
                                         << "version.gif" << "Version d'image GIF non prise en charge (seules GIF87a et GIF89a le sont).";
        QTest::newRow("gif cut in its screen descriptor") << QByteArray("GIF89a\x01\x00", 8)
                                                          << "court.gif" << damagedGif;
        QTest::newRow("gif without any image")
            << QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00\x3b", 14) << "rien.gif" << damagedGif;
    }
    void failures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QDir(m_dir.path()).mkpath(QStringLiteral("mes.images"));
        const QString path = writeTestFile(m_dir, name, content);
        PictureHolder holder(m_registry);
        QCOMPARE(loadFailure(holder, path), message);
        QVERIFY(!holder.picture());
    }

    void missingFile()
    {
        PictureHolder holder(m_registry);
        const QString path = m_dir.filePath(QStringLiteral("absent.bmp"));
        QCOMPARE(loadFailure(holder, path), QStringLiteral("Ne peut ouvrir le fichier ") + path);
    }

    void folderNamedLikeAPicture()
    {
        PictureHolder holder(m_registry);
        QDir(m_dir.path()).mkpath(QStringLiteral("dossier.bmp"));
        const QString path = m_dir.filePath(QStringLiteral("dossier.bmp"));
        QCOMPARE(loadFailure(holder, path), QStringLiteral("Ne peut ouvrir le fichier ") + path);
    }

    // A FIFO blocked the window for ever and /dev/zero ate memory until it failed: whatever is
    // not a regular file, once links are followed, fails at once like a missing file.
    void onlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("linkTarget");
        QTest::newRow("fifo") << "tube.bmp" << "";
        QTest::newRow("link to a fifo") << "vers-tube.bmp" << "tube.bmp";
        QTest::newRow("link to /dev/zero") << "zero.bmp" << "/dev/zero";
        QTest::newRow("link to a folder") << "dossier-lien.jpg" << "/tmp";
        QTest::newRow("dangling link") << "perdu.gif" << "nulle-part.gif";
    }
    void onlyRegularFilesAreRead()
    {
        QFETCH(QString, name);
        QFETCH(QString, linkTarget);
        const QString fifo = m_dir.filePath(QStringLiteral("tube.bmp"));
        if (!QFileInfo::exists(fifo))
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString path = m_dir.filePath(name);
        if (!linkTarget.isEmpty() && !QFileInfo(path).isSymLink())
            QVERIFY(QFile::link(linkTarget, path));
        PictureHolder holder(m_registry);
        QCOMPARE(loadFailure(holder, path), QStringLiteral("Ne peut ouvrir le fichier ") + path);
        QVERIFY(!holder.picture());
    }

    // Read whole, a file of several gigabytes would take the memory before any decoder could
    // refuse it. The file is sparse: it costs no disk.
    void hugeFileIsRefusedBeforeReading()
    {
        const QString path = m_dir.filePath(QStringLiteral("enorme.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(300) * 1024 * 1024));
        file.close();
        PictureHolder holder(m_registry);
        QCOMPARE(loadFailure(holder, path),
                 QStringLiteral("Le fichier %1 est trop volumineux pour une image (plus de 256 Mo).").arg(path));
    }

    void linkToAPictureIsFollowed()
    {
        const QString path = m_dir.filePath(QStringLiteral("raccourci.bmp"));
        QVERIFY(QFile::link(samplePath(QStringLiteral("bitmap.bmp")), path));
        PictureHolder holder(m_registry);
        holder.loadFromFile(path);
        QCOMPARE(QSize(holder.width(), holder.height()), QSize(40, 30));
    }

    void holderKeepsItsPictureWhenALoadFails()
    {
        PictureHolder holder(m_registry);
        holder.loadFromFile(samplePath(QStringLiteral("bitmap.bmp")));
        Picture *before = holder.picture();
        QSignalSpy changes(&holder, &PictureHolder::changed);
        QVERIFY(!loadFailure(holder, samplePath(QStringLiteral("bitmap-renamed.gif"))).isEmpty());
        QVERIFY(!loadFailure(holder, samplePath(QStringLiteral("nulle-part.bmp"))).isEmpty());
        QVERIFY(!loadFailure(holder, QStringLiteral("chat.jpe")).isEmpty());
        QCOMPARE(holder.picture(), before);
        QCOMPARE(QSize(holder.width(), holder.height()), QSize(40, 30));
        QCOMPARE(changes.count(), 0);
    }

    void sizeCannotBeSet_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("message");
        QTest::newRow("icon") << "icon.ico" << "Ne peut modifier la taille d'une icône";
        QTest::newRow("jpeg") << "colour.jpg" << "Ne peut modifier la taille d'une image JPEG";
    }
    void sizeCannotBeSet()
    {
        QFETCH(QString, sample);
        QFETCH(QString, message);
        PictureHolder holder(m_registry);
        holder.loadFromFile(samplePath(sample));
        const QSize before(holder.width(), holder.height());
        try {
            holder.picture()->setSize(10, 10);
            QFAIL("size changed");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), message);
        }
        QCOMPARE(QSize(holder.width(), holder.height()), before);
    }

    void clearGivesAnEmptyPicture()
    {
        PictureHolder holder(m_registry);
        holder.loadFromFile(samplePath(QStringLiteral("still.gif")));
        QSignalSpy changes(&holder, &PictureHolder::changed);
        holder.clear();
        QVERIFY(holder.isEmpty());
        QCOMPARE(holder.width(), 0);
        QCOMPARE(holder.height(), 0);
        QCOMPARE(changes.count(), 1);
    }
};

QTEST_MAIN(TestPictureLoading)
#include "tst_pictureloading.moc"
