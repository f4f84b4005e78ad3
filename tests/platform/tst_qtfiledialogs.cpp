#include "platform/qtfiledialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The real dialogs, answered from a timer as soon as they are shown.
class TestQtFileDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openDialog_data();
    void openDialog();
};

void TestQtFileDialogs::openDialog_data()
{
    QTest::addColumn<bool>("saving");
    QTest::addColumn<bool>("confirm");
    QTest::newRow("open, confirmed") << false << true;
    QTest::newRow("open, cancelled") << false << false;
    QTest::newRow("save, confirmed") << true << true;
}

void TestQtFileDialogs::openDialog()
{
    QFETCH(bool, saving);
    QFETCH(bool, confirm);
    const QString start = QDir::currentPath();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("cours")));
    const QString chosen = QDir(dir.filePath(QStringLiteral("cours"))).filePath(QStringLiteral("quiz.qcm"));
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QStringList filters;
    QString acceptText;
    QString rejectText;
    bool overwriteQuestion = true;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        filters = dialog->nameFilters();
        acceptText = dialog->labelText(QFileDialog::Accept);
        rejectText = dialog->labelText(QFileDialog::Reject);
        overwriteQuestion = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        if (!confirm) {
            dialog->reject();
            return;
        }
        dialog->setDirectory(QFileInfo(chosen).absolutePath());
        dialog->selectFile(QFileInfo(chosen).fileName());
        static_cast<QDialog *>(dialog)->accept();
    });
    QtFileDialogs dialogs;
    const QString filter = QStringLiteral("Questionnaire (*.qcm)|*.qcm");
    const QString answer = saving ? dialogs.saveFile(filter, QStringLiteral("*.qcm"))
                                  : dialogs.openFile(filter, QStringLiteral("*.qcm"));
    const QString now = QDir::current().canonicalPath();
    QDir::setCurrent(start);

    QCOMPARE(filters, QStringList{QStringLiteral("Questionnaire (*.qcm)")});
    QCOMPARE(acceptText, saving ? QStringLiteral("&Enregistrer") : QStringLiteral("&Ouvrir"));
    QCOMPARE(rejectText, QStringLiteral("Annuler"));
    QVERIFY(!overwriteQuestion);
    QCOMPARE(QFileInfo(answer).canonicalFilePath(), confirm ? QFileInfo(chosen).canonicalFilePath() : QString());
    const bool moved = now == QDir(dir.filePath(QStringLiteral("cours"))).canonicalPath();
    QCOMPARE(moved, confirm && !saving);
}

QTEST_MAIN(TestQtFileDialogs)
#include "tst_qtfiledialogs.moc"
