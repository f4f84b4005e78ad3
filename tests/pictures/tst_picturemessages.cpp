#include "picturetestdata.h"
#include "pictures/gifpicture.h"
#include "pictures/jpegpicture.h"
#include "pictures/pcx/pcx.h"
#include "pictures/pictureholder.h"
#include "pictures/pictureregistry.h"
#include "pictures/webpictures.h"
#include "platform/apperror.h"

#include <QDirIterator>
#include <QMimeData>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

// Whatever a broken picture makes the program say is French: every sample under tests/data is
// loaded as it is, cut short, and under every registered extension, and each failure's words
// are checked against the English ones readers used to show ("Invalid GIF signature").
class TestPictureMessages : public QObject
{
    Q_OBJECT

private:
    PictureRegistry m_registry{testDrawingConversion()};
    QTemporaryDir m_dir;

    // The failure of loading `bytes` as `name`, then of drawing and copying what loaded.
    QString failureOf(const QString &name, const QByteArray &bytes)
    {
        const QString path = writeTestFile(m_dir, name, bytes);
        PictureHolder holder(m_registry);
        try {
            holder.loadFromFile(path);
            if (holder.picture()->needsPreparation())
                holder.picture()->prepare();
            std::unique_ptr<QMimeData> copied(holder.picture()->toMimeData());
        } catch (const AppError &error) {
            // The folder's own name is no word of the program's.
            return QString(error.message()).replace(m_dir.path(), QStringLiteral("…"));
        }
        return QString();
    }

    static QStringList englishWordsIn(const QString &message)
    {
        static const QStringList English{"invalid", "error", "file", "signature", "unknown",
                                         "failed", "unsupported", "cannot", "corrupt"};
        QStringList found;
        for (const QString &word : message.toLower().split(QRegularExpression(QStringLiteral("\\W+")), Qt::SkipEmptyParts)) {
            if (English.contains(word))
                found << word;
        }
        return found;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        registerJpegFormats(m_registry, 24);
        registerGifFormat(m_registry);
        registerPcx(m_registry);
        registerWebFormats(m_registry);
    }

    void brokenSamplesSpeakFrench_data()
    {
        QTest::addColumn<QString>("sample");
        QDirIterator samples(QStringLiteral(NELO_TEST_DATA), QDir::Files, QDirIterator::Subdirectories);
        while (samples.hasNext()) {
            const QString path = samples.next();
            if (!path.endsWith(QLatin1String(".py")))
                QTest::newRow(qPrintable(QDir(QStringLiteral(NELO_TEST_DATA)).relativeFilePath(path))) << path;
        }
    }
    void brokenSamplesSpeakFrench()
    {
        QFETCH(QString, sample);
        QFile file(sample);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QString ownExtension = pictureExtension(sample);
        QStringList extensions{ownExtension, QStringLiteral("inconnue")};
        for (const PictureRegistry::Entry &entry : m_registry.entries())
            extensions << entry.extension;
        int failures = 0;
        for (const QString &extension : extensions) {
            for (const QByteArray &variant : {bytes, bytes.left(bytes.size() / 2), bytes.left(16), QByteArray()}) {
                const QString message = failureOf(QStringLiteral("image.") + extension, variant);
                if (message.isEmpty())
                    continue;
                ++failures;
                const QStringList english = englishWordsIn(message);
                QVERIFY2(english.isEmpty(), qPrintable(QStringLiteral("%1 as .%2: « %3 »").arg(sample, extension, message)));
            }
        }
        QVERIFY(failures > 0);
    }
};

QTEST_MAIN(TestPictureMessages)
#include "tst_picturemessages.moc"
