#include "picturetestdata.h"
#include "pictures/gifpicture.h"
#include "pictures/jpegpicture.h"
#include "pictures/pictureregistry.h"
#include "pictures/webpictures.h"
#include "platform/apperror.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

class TestWebPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void registeredAfterTheFormerFormats();
    void load_data();
    void load();
};

void TestWebPictures::registeredAfterTheFormerFormats()
{
    PictureRegistry registry;
    registerJpegFormats(registry, 24);
    registerGifFormat(registry);
    registerWebFormats(registry);
    QStringList extensions;
    for (const PictureRegistry::Entry &entry : registry.entries())
        extensions.append(entry.extension);
    QCOMPARE(extensions, (QStringList{"wmf", "emf", "ico", "bmp", "jpeg", "jpg", "gif", "png", "svg", "webp"}));
    QCOMPARE(int(registry.find(QStringLiteral("PNG"))->kind), int(PictureKind::Png));
}

void TestWebPictures::load_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");     // empty when loading must fail
    QTest::addColumn<QString>("failure");

    QImage image(37, 11, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30, 128));
    const auto encoded = [&image](const char *format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    };
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='120' height='80'>"
                           "<rect width='120' height='80' fill='red'/></svg>";
    QTest::newRow("png") << "chat.PNG" << encoded("png") << QSize(37, 11) << QString();
    QTest::newRow("webp") << "chat.webp" << encoded("webp") << QSize(37, 11) << QString();
    QTest::newRow("svg") << "plan.svg" << svg << QSize(120, 80) << QString();
    QTest::newRow("png bytes named webp") << "chat.webp" << encoded("png") << QSize() << "Image WebP incorrecte";
    QTest::newRow("bmp bytes named png") << "chat.png" << encoded("bmp") << QSize() << "Image PNG incorrecte";
    QTest::newRow("truncated png") << "chat.png" << encoded("png").left(40) << QSize() << "Image PNG incorrecte";
    QTest::newRow("not svg") << "plan.svg" << QByteArray("<html/>") << QSize() << "Image SVG incorrecte";
    QTest::newRow("svg without size") << "plan.svg" << QByteArray("<svg xmlns='http://www.w3.org/2000/svg'/>")
                                      << QSize() << "Image SVG incorrecte";
}

void TestWebPictures::load()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(QString, failure);
    PictureRegistry registry(testDrawingConversion());
    registerWebFormats(registry);
    std::unique_ptr<Picture> picture = registry.createFor(name);
    try {
        picture->loadFromData(bytes);
        QVERIFY2(failure.isEmpty(), "the picture loaded");
        QCOMPARE(QSize(picture->width(), picture->height()), size);
        QImage canvas(20, 20, QImage::Format_ARGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        picture->draw(painter, QRectF(0, 0, 20, 20));
        painter.end();
        QVERIFY(canvas.pixel(10, 10) != qRgb(255, 255, 255));
    } catch (const AppError &error) {
        QCOMPARE(error.message(), failure);
    }
}

QTEST_MAIN(TestWebPictures)
#include "tst_webpictures.moc"
