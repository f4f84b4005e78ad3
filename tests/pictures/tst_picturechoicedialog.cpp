#include "picturetestdata.h"
#include "pictures/jpegpicture.h"
#include "pictures/picturechoicedialog.h"
#include "pictures/picturefilter.h"
#include "pictures/picturepreview.h"
#include "pictures/picturepreviewpane.h"
#include "pictures/pictureregistry.h"
#include "pictures/previewwindow.h"
#include "pictures/gifpicture.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

class TestPictureChoiceDialog : public QObject
{
    Q_OBJECT

private:
    PictureRegistry m_registry{testDrawingConversion()};
    QString m_startFolder;

    // The patterns of the first ("Tout") file type, as the dialog applies them.
    static bool offeredByTout(const QString &fileName)
    {
        const QString tout = qtPictureFilter(pictureOpenFilter()).split(QStringLiteral(";;")).first();
        const qsizetype open = tout.lastIndexOf(QLatin1Char('('));
        const QStringList patterns = tout.mid(open + 1, tout.size() - open - 2).split(QLatin1Char(' '));
        for (const QString &pattern : patterns) {
            if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern)).match(fileName).hasMatch())
                return true;
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        registerJpegFormats(m_registry, 24);
        registerGifFormat(m_registry);
        m_startFolder = QDir::currentPath();
    }
    void cleanup()
    {
        QDir::setCurrent(m_startFolder);
    }

    void filterIsTheProgramsList()
    {
        // The first type reads as it always did, yet shows every picture the program reads.
        QCOMPARE(pictureOpenFilter(),
                 QStringLiteral("Tout (*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.gif;*.pcx)|"
                                "*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.jpeg;*.gif;*.pcx;*.png;*.svg;*.webp|"
                                "Bitmaps (*.bmp)|*.bmp|Icônes (*.ico)|*.ico|MétaFichiers améliorés (*.emf)|*.emf|"
                                "MetaFichiers (*.wmf)|*.wmf|Compressés Jpeg (*.jpg;*.jpeg)|*.jpg;*.jpeg|Gif (*.gif)|*.gif|"
                                "Pcx (*.pcx)|*.pcx|Png (*.png)|*.png|Svg (*.svg)|*.svg|WebP (*.webp)|*.webp"));
    }

    void dialogShowsTheCaptionsAsWritten()
    {
        PictureChoiceDialog dialog(m_registry);
        auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        QStringList captions;
        for (int i = 0; i < types->count(); ++i)
            captions << types->itemText(i);
        QCOMPARE(captions, QStringList({QStringLiteral("Tout (*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.gif;*.pcx)"),
                                        QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("Icônes (*.ico)"),
                                        QStringLiteral("MétaFichiers améliorés (*.emf)"),
                                        QStringLiteral("MetaFichiers (*.wmf)"), QStringLiteral("Compressés Jpeg (*.jpg;*.jpeg)"),
                                        QStringLiteral("Gif (*.gif)"), QStringLiteral("Pcx (*.pcx)"),
                                        QStringLiteral("Png (*.png)"), QStringLiteral("Svg (*.svg)"),
                                        QStringLiteral("WebP (*.webp)")}));
        QCOMPARE(types->currentIndex(), 0);
    }

    void patterns_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("offered");
        QTest::newRow("CHAT.JPG") << "CHAT.JPG" << true;
        QTest::newRow("chat.jpg") << "chat.jpg" << true;
        QTest::newRow("Chat.Gif") << "Chat.Gif" << true;
        QTest::newRow("PLAN.BMP") << "PLAN.BMP" << true;
        QTest::newRow("logo.Wmf") << "logo.Wmf" << true;
        QTest::newRow("dessin.EMF") << "dessin.EMF" << true;
        QTest::newRow("icone.ico") << "icone.ico" << true;
        QTest::newRow("SCAN.PCX") << "SCAN.PCX" << true;
        QTest::newRow("jpeg listed with jpg") << "chat.JPEG" << true;
        QTest::newRow("png listed at the end") << "chat.png" << true;
        QTest::newRow("svg") << "plan.Svg" << true;
        QTest::newRow("webp") << "photo.webp" << true;
        QTest::newRow("tiff is not listed") << "chat.tif" << false;
        QTest::newRow("bmp inside the name") << "chat.bmp.txt" << false;
    }
    void patterns()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, offered);
        QCOMPARE(offeredByTout(fileName), offered);
    }

    void preview_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("bitmap") << samplePath(QStringLiteral("bitmap.bmp")) << " (40x30)" << true;
        QTest::newRow("jpeg") << samplePath(QStringLiteral("colour.jpg")) << " (64x48)" << true;
        QTest::newRow("metafile") << samplePath(QStringLiteral("drawing.emf")) << " (192x96)" << true;
        QTest::newRow("damaged jpeg") << samplePath(QStringLiteral("damaged.jpg")) << "Image :" << false;
        QTest::newRow("bitmap named gif") << samplePath(QStringLiteral("bitmap-renamed.gif")) << "Image :" << false;
        QTest::newRow("unknown extension") << samplePath(QStringLiteral("make_samples.py")) << "Image :" << false;
        QTest::newRow("missing file") << samplePath(QStringLiteral("absent.bmp")) << "Image :" << false;
        QTest::newRow("folder") << QStringLiteral(NELO_TEST_DATA) << "Image :" << false;
        QTest::newRow("nothing selected") << QString() << "Image :" << false;
    }
    void preview()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        PictureChoiceDialog dialog(m_registry);
        // A picture loaded first must go when the selection moves on.
        QMetaObject::invokeMethod(&dialog, "selectionChanged", Q_ARG(QString, samplePath(QStringLiteral("still.gif"))));
        QCOMPARE(dialog.captionLabel()->text(), QStringLiteral(" (24x16)"));
        QMetaObject::invokeMethod(&dialog, "selectionChanged", Q_ARG(QString, path));
        QCOMPARE(dialog.captionLabel()->text(), caption);
        QCOMPARE(dialog.previewButton()->isEnabled(), enabled);
        QCOMPARE(dialog.preview().hasPicture(), enabled);
    }

    void emptyPaneSaysVide()
    {
        PicturePreview preview(m_registry);
        PicturePreviewPane pane(preview);
        pane.resize(150, 150);
        QCOMPARE(PicturePreview::emptyText(), QStringLiteral("(vide)"));
        const QImage empty = pane.grab().toImage();
        preview.select(samplePath(QStringLiteral("bitmap.bmp")));
        const QImage shown = pane.grab().toImage();
        QVERIFY(empty != shown);
        // The 40x30 bitmap fits: centred at its own size.
        QCOMPARE(preview.paneRect(pane.size()), QRect(55, 60, 40, 30));
    }

    void previewWindow()
    {
        PicturePreview preview(m_registry);
        preview.select(samplePath(QStringLiteral("bitmap.bmp")));
        PreviewWindow window(*preview.holder().picture());
        QCOMPARE(window.windowTitle(), QStringLiteral("Prévisualiser"));
        QCOMPARE(window.size(), QSize(50, 40));
        QVERIFY(window.isModal());
        QVERIFY(window.windowFlags() & Qt::Tool);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.resize(200, 100);
        // Stretched over the whole client area.
        const QImage image = window.grab().toImage();
        const QImage bitmap(samplePath(QStringLiteral("bitmap.bmp")));
        QCOMPARE(image.pixel(199, 99), bitmap.pixel(39, 29));
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void confirmedChoiceReturnsThePathAndSetsTheFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(samplePath(QStringLiteral("colour.jpg")), dir.filePath(QStringLiteral("CHAT.JPG"))));
        const QString chosen = QFileInfo(dir.filePath(QStringLiteral("CHAT.JPG"))).absoluteFilePath();
        PictureFileDialogs dialogs(m_registry);
        bool seenDialog = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<PictureChoiceDialog *>(QApplication::activeModalWidget());
            seenDialog = dialog != nullptr;
            if (!dialog)
                return;
            dialog->setDirectory(dir.path());
            dialog->selectFile(chosen);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const QString answer = dialogs.openFile(pictureOpenFilter(), QString());
        QVERIFY(seenDialog);
        QCOMPARE(answer, chosen);
        QCOMPARE(QDir::currentPath(), QFileInfo(chosen).absolutePath());
    }

    void cancelledChoiceKeepsTheFolder()
    {
        PictureFileDialogs dialogs(m_registry);
        QTimer::singleShot(0, this, [] {
            if (QWidget *dialog = QApplication::activeModalWidget())
                qobject_cast<QDialog *>(dialog)->reject();
        });
        QCOMPARE(dialogs.openFile(pictureOpenFilter(), QString()), QString());
        QCOMPARE(QDir::currentPath(), m_startFolder);
    }
};

QTEST_MAIN(TestPictureChoiceDialog)
#include "tst_picturechoicedialog.moc"
