#include "platform/apperror.h"
#include "platform/errorguard.h"
#include "platform/scriptedmessageboxes.h"

#include <QtTest>

class TestErrorGuard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void period_data();
    void period();
    void guardShowsTheError();
};

void TestErrorGuard::period_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Disque plein" << "Disque plein.";
    QTest::newRow("digit") << "Erreur JPEG #42" << "Erreur JPEG #42.";
    QTest::newRow("period") << "Fin." << "Fin.";
    QTest::newRow("blank") << "Fin " << "Fin ";
    QTest::newRow("quote") << "Fichier 'a'" << "Fichier 'a'";
    QTest::newRow("closing parenthesis sorts before the period") << "(vide)" << "(vide)";
    QTest::newRow("accented letter") << QStringLiteral("Accès refusé") << QStringLiteral("Accès refusé.");
    QTest::newRow("empty") << "" << "";
}

void TestErrorGuard::period()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(standardErrorText(message), shown);
}

void TestErrorGuard::guardShowsTheError()
{
    ScriptedMessageBoxes boxes;
    bool after = false;
    QVERIFY(!runGuarded(boxes, [&] {
        throw AppError(QStringLiteral("Ne peut ouvrir le fichier x"));
        after = true;
    }));
    QVERIFY(!after);
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().icon, MessageIcon::Stop);
    QCOMPARE(boxes.lastText(), QStringLiteral("Ne peut ouvrir le fichier x."));
    QVERIFY(runGuarded(boxes, [] {}));
    QCOMPARE(boxes.shown().size(), 1);
}

QTEST_GUILESS_MAIN(TestErrorGuard)
#include "tst_errorguard.moc"
