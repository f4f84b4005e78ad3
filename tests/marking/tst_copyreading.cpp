#include "markedcorpus.h"

#include "marking/copypagereader.h"
#include "marking/scannedpage.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace MarkedCorpus;

class TestCopyReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void experiment();
};

void TestCopyReading::experiment()
{
    QTemporaryDir dir;
    const auto q = questionnaire(20, true);
    PictureRegistry pictures;
    PaperCopies copies(QStringLiteral("Essai"), q, pictures);
    const auto which = PaperCopies::numbered(1, [] { return quint64(12345); });
    const QString pdf = dir.filePath(QStringLiteral("c.pdf"));
    const auto pages = print(copies, which, CopyLayout::BoxesBeside, pdf);
    ScanFile scan(pdf);
    qDebug() << "pages" << scan.pageCount() << pages[0].size();
    QRandomGenerator random(7);
    for (double dpi : {150.0, 300.0}) {
        QImage image = scan.page(0, dpi).convertToFormat(QImage::Format_RGB32);
        int i = 0;
        for (const PaperItem &item : pages[0][0].items) {
            if (item.kind != PaperItem::CheckBox)
                continue;
            const QRectF px(item.rect.topLeft() * dpi / 72, item.rect.size() * dpi / 72);
            if (i % 7 < 6)
                drawMark(image, px, Mark(i % 7), random);
            ++i;
        }
        image.save(QStringLiteral("/tmp/m2/page%1.png").arg(dpi));
        for (double deg : {0.0, 3.0, 180.0}) {
            Spoiling how;
            how.degrees = deg;
            QImage spoilt = spoil(image, how, dpi, 1);
            QElapsedTimer t; t.start();
            ScannedPage page(spoilt);
            qDebug() << dpi << deg << "problem" << int(page.problem()) << "turns" << page.quarterTurns() << t.elapsed() << "ms";
            if (!page.readable()) { spoilt.save(QStringLiteral("/tmp/m2/bad%1-%2.png").arg(dpi).arg(deg)); continue; }
            const ReadPage read = CopyPageReader::read(page, *q, q->fingerprint());
            int b = 0;
            for (const ReadQuestion &question : read.questions)
                for (const ReadBox &box : question.boxes) {
                    if (deg == 0) qDebug() << b % 7 << box.measure.mean << box.measure.coverage << int(BoxDecision::state(box.measure));
                    ++b;
                }
        }
    }
}

QTEST_MAIN(TestCopyReading)
#include "tst_copyreading.moc"
