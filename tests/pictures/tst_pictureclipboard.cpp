#include "picturetestdata.h"
#include "pictures/gifpicture.h"
#include "pictures/jpegpicture.h"
#include "pictures/pictureholder.h"
#include "pictures/pictureregistry.h"
#include "platform/apperror.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QtTest>

// A kind with no clipboard form of its own, as the PCX kind is: a red square.
class NoClipboardFormPicture : public Picture
{
public:
    explicit NoClipboardFormPicture(int side) : m_side(side) {}
    void loadFromData(const QByteArray &) override {}
    int width() const override { return m_side; }
    int height() const override { return m_side; }
    void setSize(int, int) override {}
    void draw(QPainter &painter, const QRectF &target) override { painter.fillRect(target, Qt::red); }
    QMimeData *toMimeData() override { return nullptr; }

private:
    int m_side;
};

// Copy to clipboard: the clipboard is emptied, then each kind puts itself on it.
class TestPictureClipboard : public QObject
{
    Q_OBJECT

private:
    PictureRegistry m_registry{testDrawingConversion()};

    static QClipboard &clipboard() { return *QGuiApplication::clipboard(); }

    QString copy(const QString &sample)
    {
        clipboard().setText(QStringLiteral("avant"));
        PictureHolder holder(m_registry);
        if (!sample.isEmpty())
            holder.loadFromFile(samplePath(sample));
        try {
            holder.copyToClipboard(clipboard());
        } catch (const AppError &error) {
            return error.message();
        }
        return QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        registerJpegFormats(m_registry, 24);
        registerGifFormat(m_registry);
    }

    void bitmapKinds_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QSize>("size");
        QTest::newRow("bitmap") << "bitmap.bmp" << QSize(40, 30);
        QTest::newRow("jpeg, decoded for the copy") << "colour.jpg" << QSize(64, 48);
        QTest::newRow("gif") << "still.gif" << QSize(24, 16);
        QTest::newRow("wmf") << "drawing.wmf" << QSize(192, 96);
    }
    void bitmapKinds()
    {
        QFETCH(QString, sample);
        QFETCH(QSize, size);
        QCOMPARE(copy(sample), QString());
        const QMimeData *data = clipboard().mimeData();
        QVERIFY(data);
        QVERIFY(!data->hasText());
        QCOMPARE(clipboard().image().size(), size);
    }

    void gifAlsoPutsItsBytes()
    {
        QCOMPARE(copy(QStringLiteral("animated.gif")), QString());
        QCOMPARE(clipboard().mimeData()->data(QString::fromLatin1(GifMimeType)),
                 sampleBytes(QStringLiteral("animated.gif")));
    }

    void metafilePutsItsVectors()
    {
        QCOMPARE(copy(QStringLiteral("drawing.emf")), QString());
        QVERIFY(clipboard().mimeData()->hasFormat(QStringLiteral("image/svg+xml")));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("message");
        QTest::newRow("icon") << "icon.ico" << "Le Presse-papiers ne supporte pas les icônes";
        QTest::newRow("damaged jpeg") << "damaged.jpg" << "Erreur JPEG #";
    }
    void failures()
    {
        QFETCH(QString, sample);
        QFETCH(QString, message);
        QVERIFY(copy(sample).startsWith(message));
        // The clipboard was emptied before the picture refused.
        const QMimeData *data = clipboard().mimeData();
        QVERIFY(!data || data->formats().isEmpty());
    }

    void kindWithoutClipboardFormPutsItsBitmap()
    {
        clipboard().setText(QStringLiteral("avant"));
        PictureHolder holder(m_registry);
        holder.setPicture(std::make_unique<NoClipboardFormPicture>(12));
        holder.copyToClipboard(clipboard());
        QVERIFY(!clipboard().mimeData()->hasText());
        const QImage image = clipboard().image();
        QCOMPARE(image.size(), QSize(12, 12));
        QCOMPARE(QColor(image.pixel(6, 6)), QColor(Qt::red));
    }

    void emptyPictureWithoutClipboardFormLeavesItEmpty()
    {
        // An undecodable PCX file loads as an empty picture: there is nothing to put.
        clipboard().setText(QStringLiteral("avant"));
        PictureHolder holder(m_registry);
        holder.setPicture(std::make_unique<NoClipboardFormPicture>(0));
        holder.copyToClipboard(clipboard());
        const QMimeData *data = clipboard().mimeData();
        QVERIFY(!data || data->formats().isEmpty());
    }

    void emptyHolderEmptiesTheClipboard()
    {
        QCOMPARE(copy(QString()), QString());
        const QMimeData *data = clipboard().mimeData();
        QVERIFY(!data || data->formats().isEmpty());
    }
};

QTEST_MAIN(TestPictureClipboard)
#include "tst_pictureclipboard.moc"
