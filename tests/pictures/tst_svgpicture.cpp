#include "picturetestdata.h"
#include "pictures/pictureholder.h"
#include "pictures/pictureregistry.h"
#include "pictures/svgoutsidereferences.h"
#include "pictures/webpictures.h"
#include "platform/apperror.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray SvgOpen = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                           "width='40' height='20'>";
const QByteArray RedRectangle = "<rect id='r' width='40' height='20' fill='red'/>";

QByteArray svgWith(const QByteArray &inside)
{
    return SvgOpen + RedRectangle + inside + "</svg>";
}

QByteArray pngBytes()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

QByteArray embedded(const QByteArray &mimeType, const QByteArray &bytes)
{
    return "data:" + mimeType + ";base64," + bytes.toBase64();
}

// Whoever stays stuck opening the FIFO for reading is freed after the grace time: opening it for
// writing succeeds only while a reader waits at the other end, and closing it hands that reader
// an end of file. A regression then fails the test instead of hanging it.
class FifoRescuer
{
public:
    FifoRescuer(const QString &fifo, std::chrono::milliseconds grace)
        : m_fifo(QFile::encodeName(fifo)), m_thread([this, grace] { watch(grace); })
    {
    }
    ~FifoRescuer()
    {
        m_done = true;
        m_thread.join();
    }
    bool rescued() const { return m_rescued; }

private:
    void watch(std::chrono::milliseconds grace)
    {
        const auto deadline = std::chrono::steady_clock::now() + grace;
        while (!m_done) {
            if (std::chrono::steady_clock::now() >= deadline) {
                const int fd = ::open(m_fifo.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    m_rescued = true;
                    ::close(fd);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    QByteArray m_fifo;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_rescued{false};
    std::thread m_thread;
};

} // namespace

class TestSvgPicture : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static QString loadFailure(const QByteArray &svg)
    {
        SvgPicture picture(testDrawingConversion());
        try {
            picture.loadFromData(svg);
        } catch (const AppError &error) {
            return error.message();
        }
        return QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
    }

    void outsideReferencesAreDropped_data()
    {
        QTest::addColumn<QByteArray>("svg");
        QTest::addColumn<QByteArray>("reference");
        QTest::addColumn<bool>("kept");
        const QByteArray png = embedded("image/png", pngBytes());
        const QByteArray innerSvg = embedded("image/svg+xml", svgWith("<image xlink:href='/tmp/tube' width='4' height='4'/>"));
        const auto image = [](const QByteArray &attribute) { return svgWith("<image " + attribute + " width='4' height='4'/>"); };
        QTest::newRow("image naming a file") << image("xlink:href='chat.png'") << QByteArray("chat.png") << false;
        QTest::newRow("plain href") << image("href='/tmp/chat.png'") << QByteArray("/tmp/chat.png") << false;
        QTest::newRow("another prefix") << image("l:href='/tmp/chat.png' xmlns:l='http://www.w3.org/1999/xlink'")
                                        << QByteArray("/tmp/chat.png") << false;
        // To Qt's renderer an image's "#id" is a file name too.
        QTest::newRow("image naming an element") << image("xlink:href='#r'") << QByteArray("#r") << false;
        QTest::newRow("DATA in capitals is a file name") << image("xlink:href='DATA:x'") << QByteArray("DATA:x") << false;
        QTest::newRow("data without base64") << image("xlink:href='data:image/png,abc'") << QByteArray("data:") << false;
        QTest::newRow("embedded svg with its own references") << image("xlink:href='" + innerSvg + "'") << innerSvg << false;
        QTest::newRow("use of another file") << svgWith("<use xlink:href='autre.svg#r'/>") << QByteArray("autre.svg") << false;
        QTest::newRow("link to a web page") << svgWith("<a xlink:href='http://exemple.fr/'><circle r='2'/></a>")
                                            << QByteArray("exemple.fr") << false;
        QTest::newRow("reference spelt through an entity")
            << QByteArray("<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY chemin '/tmp/tube'>]>")
                   + image("xlink:href='&chemin;'")
            << QByteArray("/tmp/tube") << false;
        QTest::newRow("embedded png") << image("xlink:href='" + png + "'") << png << true;
        QTest::newRow("use of an element") << svgWith("<use xlink:href='#r'/>") << QByteArray("#r") << true;
    }
    void outsideReferencesAreDropped()
    {
        QFETCH(QByteArray, svg);
        QFETCH(QByteArray, reference);
        QFETCH(bool, kept);
        const std::optional<QByteArray> own = svgWithoutOutsideReferences(svg);
        QVERIFY(own);
        QCOMPARE(own->contains(reference), kept);
        // The rest of the drawing is still there and still draws.
        QVERIFY(own->contains("fill=\"red\"") || own->contains("fill='red'"));
        QSvgRenderer renderer(*own);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.defaultSize(), QSize(40, 20));
    }

    void drawingWithoutOutsideReferencesIsKeptAsItIs()
    {
        const QByteArray svg = "<?xml version='1.0' encoding='UTF-8'?>\n<!-- plan -->\n"
                               + svgWith("<use xlink:href='#r'/><text>é &amp; à</text>") + "\n<!-- fin -->\n";
        const std::optional<QByteArray> own = svgWithoutOutsideReferences(svg);
        QVERIFY(own);
        QCOMPARE(*own, svg);
    }

    void notWellFormed_data()
    {
        QTest::addColumn<QByteArray>("svg");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("pas un dessin");
        QTest::newRow("root never closed") << SvgOpen + RedRectangle;
        QTest::newRow("broken after an outside reference") << svgWith("<image xlink:href='/tmp/tube'/><g>");
        QTest::newRow("compressed") << QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8);
    }
    void notWellFormed()
    {
        QFETCH(QByteArray, svg);
        QVERIFY(!svgWithoutOutsideReferences(svg));
        QCOMPARE(loadFailure(svg), QStringLiteral("Image SVG incorrecte"));
    }

    // A FIFO named by an <image> blocked the window for good: Qt's renderer opened it while
    // parsing. Loading now ends at once, without anybody opening the FIFO.
    void fifoIsNeverOpened_data()
    {
        QTest::addColumn<QByteArray>("svg");
        const QByteArray fifo = QFile::encodeName(m_dir.filePath(QStringLiteral("tube")));
        QTest::newRow("full path") << svgWith("<image xlink:href='" + fifo + "' width='4' height='4'/>");
        QTest::newRow("inside an embedded svg")
            << svgWith("<image width='4' height='4' xlink:href='"
                       + embedded("image/svg+xml", svgWith("<image xlink:href='" + fifo + "' width='4' height='4'/>"))
                       + "'/>");
        QTest::newRow("through an entity") << "<!DOCTYPE svg [<!ENTITY f '" + fifo + "'>]>"
                                                  + svgWith("<image xlink:href='&f;' width='4' height='4'/>");
    }
    void fifoIsNeverOpened()
    {
        QFETCH(QByteArray, svg);
        const QString fifo = m_dir.filePath(QStringLiteral("tube"));
        if (!QFileInfo::exists(fifo))
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        PictureRegistry registry(testDrawingConversion());
        registerWebFormats(registry);
        PictureHolder holder(registry);
        const QString path = writeTestFile(m_dir, QStringLiteral("plan.svg"), svg);
        const FifoRescuer rescuer(fifo, std::chrono::seconds(3));
        holder.loadFromFile(path);
        QVERIFY2(!rescuer.rescued(), "the FIFO was opened");
        QCOMPARE(QSize(holder.width(), holder.height()), QSize(40, 20));
        QImage canvas(40, 20, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        holder.picture()->draw(painter, QRectF(canvas.rect()));
        painter.end();
        QCOMPARE(QColor(canvas.pixel(30, 15)), QColor(Qt::red));
    }

    // Drawing an SVG file holds the window no longer than drawing a metafile does.
    void tooSlowToDrawIsRefused()
    {
        QByteArray shapes;
        for (int i = 0; i < 300000; ++i)
            shapes += "<rect x='" + QByteArray::number(i % 37) + "' y='" + QByteArray::number(i % 17) + "' width='3' height='2'/>";
        const QString failure = loadFailure(svgWith(shapes));
        QVERIFY2(failure.startsWith(QStringLiteral("Impossible d'afficher l'image SVG : ")), qPrintable(failure));
    }
};

QTEST_MAIN(TestSvgPicture)
#include "tst_svgpicture.moc"
