#include "pictures/gifpicture.h"
#include "pictures/jpegpicture.h"
#include "pictures/pictureregistry.h"
#include "platform/apperror.h"

#include <QtTest>

// A stand-in for the PCX module's own picture kind: the registry only needs a factory.
class FakePcxPicture : public Picture
{
public:
    void loadFromData(const QByteArray &) override {}
    int width() const override { return 0; }
    int height() const override { return 0; }
    void setSize(int, int) override {}
    void draw(QPainter &, const QRectF &) override {}
    QMimeData *toMimeData() override { return nullptr; }
};

class TestPictureRegistry : public QObject
{
    Q_OBJECT

private:
    static void registerAll(PictureRegistry &registry)
    {
        registerJpegFormats(registry, 24);
        registerGifFormat(registry);
        registry.registerFormat(QStringLiteral("PCX"), QStringLiteral("PCX"), PictureKind::Pcx,
                                [] { return std::unique_ptr<Picture>(new FakePcxPicture); });
    }

private Q_SLOTS:
    void extension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("extension");
        QTest::newRow("windows path, upper case") << "C:\\IMAGES\\CHAT.JPG" << "JPG";
        QTest::newRow("mixed case") << "chat.Jpg" << "Jpg";
        QTest::newRow("four letters") << "chat.jpeg" << "jpeg";
        QTest::newRow("unregistered") << "chat.jpe" << "jpe";
        QTest::newRow("no dot") << "chat" << "";
        QTest::newRow("dot in a windows folder") << "C:\\MES.IMAGES\\CHAT" << "";
        QTest::newRow("dot in a linux folder") << "/home/prof/mes.images/chat" << "";
        QTest::newRow("colon after the dot") << "a.b:chat" << "";
        QTest::newRow("last dot decides") << "/home/prof/chat.tar.gif" << "gif";
        QTest::newRow("dot at the end") << "chat." << "";
        QTest::newRow("dot only") << ".gif" << "gif";
        QTest::newRow("empty path") << "" << "";
    }
    void extension()
    {
        QFETCH(QString, path);
        QFETCH(QString, extension);
        QCOMPARE(pictureExtension(path), extension);
    }

    void entriesInRegistrationOrder()
    {
        PictureRegistry registry;
        registerAll(registry);
        QStringList seen;
        for (const PictureRegistry::Entry &entry : registry.entries())
            seen << entry.extension + QLatin1Char('=') + entry.description;
        QCOMPARE(seen, QStringList({QStringLiteral("wmf=MetaFichiers"),
                                    QStringLiteral("emf=MétaFichiers améliorés"),
                                    QStringLiteral("ico=Icônes"), QStringLiteral("bmp=Bitmaps"),
                                    QStringLiteral("jpeg=JPEG Image File"),
                                    QStringLiteral("jpg=JPEG Image File"),
                                    QStringLiteral("gif=GIF Image"), QStringLiteral("pcx=PCX")}));
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("kind");
        QTest::newRow("wmf") << "wmf" << int(PictureKind::Metafile);
        QTest::newRow("EMF upper case") << "EMF" << int(PictureKind::Metafile);
        QTest::newRow("ico") << "ico" << int(PictureKind::Icon);
        QTest::newRow("Bmp mixed case") << "Bmp" << int(PictureKind::Bitmap);
        QTest::newRow("jpeg") << "jpeg" << int(PictureKind::Jpeg);
        QTest::newRow("JPG") << "JPG" << int(PictureKind::Jpeg);
        QTest::newRow("gif") << "gif" << int(PictureKind::Gif);
        QTest::newRow("pcx from PCX") << "pcx" << int(PictureKind::Pcx);
    }
    void lookup()
    {
        QFETCH(QString, extension);
        QFETCH(int, kind);
        PictureRegistry registry;
        registerAll(registry);
        const PictureRegistry::Entry *entry = registry.find(extension);
        QVERIFY(entry);
        QCOMPARE(int(entry->kind), kind);
    }

    void unknownExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("jpe") << "chat.jpe" << "Extension de fichier graphique inconnue (.jpe)";
        QTest::newRow("no dot") << "chat" << "Extension de fichier graphique inconnue (.)";
        QTest::newRow("dot in folder") << "C:\\MES.IMAGES\\CHAT" << "Extension de fichier graphique inconnue (.)";
        QTest::newRow("png is not offered") << "photo.png" << "Extension de fichier graphique inconnue (.png)";
        QTest::newRow("case kept in message") << "CHAT.TIF" << "Extension de fichier graphique inconnue (.TIF)";
    }
    void unknownExtension()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        PictureRegistry registry;
        registerAll(registry);
        try {
            registry.createFor(path);
            QFAIL("no error");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), message);
        }
    }

    void pcxFailsHonestlyUntilRegistered()
    {
        PictureRegistry registry;
        registerJpegFormats(registry, 24);
        registerGifFormat(registry);
        QVERIFY_THROWS_EXCEPTION(AppError, registry.createFor(QStringLiteral("chat.pcx")));
    }

    void lastRegisteredEntryWins()
    {
        PictureRegistry registry;
        registerAll(registry);
        registry.registerFormat(QStringLiteral("BMP"), QStringLiteral("autre"), PictureKind::Gif,
                                [] { return std::unique_ptr<Picture>(new GifPicture); });
        QCOMPARE(int(registry.find(QStringLiteral("bmp"))->kind), int(PictureKind::Gif));
        QCOMPARE(registry.find(QStringLiteral("bmp"))->extension, QStringLiteral("bmp"));
        registry.unregisterKind(PictureKind::Gif);
        QCOMPARE(int(registry.find(QStringLiteral("bmp"))->kind), int(PictureKind::Bitmap));
        QVERIFY(!registry.find(QStringLiteral("gif")));
    }

    void unregisterRemovesEveryEntryOfTheKind()
    {
        PictureRegistry registry;
        registerAll(registry);
        registry.unregisterKind(PictureKind::Jpeg);
        QVERIFY(!registry.find(QStringLiteral("jpeg")));
        QVERIFY(!registry.find(QStringLiteral("jpg")));
        QCOMPARE(registry.entries().size(), size_t(6));
        registry.unregisterKind(PictureKind::Metafile);
        QCOMPARE(registry.entries().front().extension, QStringLiteral("ico"));
    }

    void factoryGivesTheRegisteredKind_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("className");
        QTest::newRow("wmf") << "a.wmf" << "MetafilePicture";
        QTest::newRow("emf") << "a.emf" << "MetafilePicture";
        QTest::newRow("ico") << "a.ico" << "IconPicture";
        QTest::newRow("bmp") << "a.bmp" << "BitmapPicture";
        QTest::newRow("jpeg") << "a.jpeg" << "JpegPicture";
        QTest::newRow("C:\\IMAGES\\CHAT.JPG") << "C:\\IMAGES\\CHAT.JPG" << "JpegPicture";
        QTest::newRow("gif") << "a.gif" << "GifPicture";
    }
    void factoryGivesTheRegisteredKind()
    {
        QFETCH(QString, path);
        QFETCH(QString, className);
        PictureRegistry registry;
        registerAll(registry);
        const std::unique_ptr<Picture> picture = registry.createFor(path);
        QCOMPARE(QString::fromLatin1(picture->metaObject()->className()), className);
        QVERIFY(picture->isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPictureRegistry)
#include "tst_pictureregistry.moc"
