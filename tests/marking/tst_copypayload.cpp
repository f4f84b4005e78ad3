#include "printing/copypayload.h"
#include "printing/qrsymbol.h"
#include "platform/apperror.h"

#include <QtTest>

Q_DECLARE_METATYPE(CopyPayload)

namespace {

CopyPayload beside()
{
    CopyPayload payload;
    payload.fingerprint = QStringLiteral("0123456789abcdef");
    payload.copy = 12;
    payload.page = 2;
    payload.pageCount = 3;
    payload.seed = 0xFFFFFFFFFFFFull;
    payload.firstBox = 31;
    payload.boxTops = {180, 196, 212, 841};
    return payload;
}

} // namespace

class TestCopyPayload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void tooLongForACode();
};

void TestCopyPayload::roundTrip_data()
{
    QTest::addColumn<CopyPayload>("payload");
    QTest::newRow("cases à côté") << beside();
    CopyPayload named = beside();
    named.page = 1;
    named.pupil = QStringLiteral("N'GUYEN-LÉVÊQUE Anaïs : 4e B");
    QTest::newRow("nom avec accents et deux-points") << named;
    CopyPayload sheet;
    sheet.layout = CopyLayout::AnswerSheet;
    sheet.fingerprint = QStringLiteral("ffffffffffffffff");
    sheet.copy = CopyPayload::MaxCopy;
    sheet.page = 2;
    sheet.pageCount = 2;
    sheet.seed = ~quint64(0);
    QTest::newRow("feuille, valeurs extrêmes") << sheet;
    CopyPayload empty = beside();
    empty.boxTops.clear();
    QTest::newRow("page sans case") << empty;
}

void TestCopyPayload::roundTrip()
{
    QFETCH(CopyPayload, payload);
    const QByteArray text = payload.encode();
    const std::optional<CopyPayload> back = CopyPayload::decode(text);
    QVERIFY2(back.has_value(), text.constData());
    QCOMPARE(*back, payload);
    // Everything but the name in the characters a code packs tightest.
    const QByteArray coded = payload.pupil.isEmpty() ? text : text.left(text.size() - payload.pupil.toUtf8().size());
    for (char c : coded)
        QVERIFY2(QByteArray("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ:").contains(c), text.constData());
}

void TestCopyPayload::refused_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray good = beside().encode();
    QTest::newRow("vide") << QByteArray();
    QTest::newRow("autre programme") << QByteArray("https://example.org/");
    QTest::newRow("version inconnue") << QByteArray(good).replace(0, 3, "NQ2");
    QTest::newRow("mise en page inconnue") << QByteArray(good).replace(3, 1, "X");
    QTest::newRow("empreinte courte") << QByteArray("NQ1B:0123:C:2:3:1:V:");
    QTest::newRow("empreinte en minuscules") << QByteArray("NQ1B:0123456789abcdef:C:2:3:1:V:");
    QTest::newRow("champ manquant") << QByteArray("NQ1B:0123456789ABCDEF:C:2:3:1:V");
    QTest::newRow("copie 0") << QByteArray("NQ1B:0123456789ABCDEF:0:2:3:1:V:");
    QTest::newRow("page après la dernière") << QByteArray("NQ1B:0123456789ABCDEF:C:4:3:1:V:");
    QTest::newRow("page 0") << QByteArray("NQ1B:0123456789ABCDEF:C:0:3:1:V:");
    QTest::newRow("graine trop grande") << QByteArray("NQ1B:0123456789ABCDEF:C:2:3:3W5E11264SGSG:V:");
    QTest::newRow("chiffre interdit") << QByteArray("NQ1B:0123456789ABCDEF:C:2:3:1-:V:");
    QTest::newRow("haut de case incomplet") << QByteArray("NQ1B:0123456789ABCDEF:C:2:3:1:V:5K5");
    QTest::newRow("case sous la page") << QByteArray("NQ1B:0123456789ABCDEF:C:2:3:1:V:ZZ");
    QTest::newRow("feuille de trois pages") << QByteArray("NQ1F:0123456789ABCDEF:C:2:3:1:0:");
    QTest::newRow("feuille avec des cases") << QByteArray("NQ1F:0123456789ABCDEF:C:1:2:1:0:5K");
    QTest::newRow("nom vide") << QByteArray("NQ1B:0123456789ABCDEF:C:1:3:1:V::");
    QTest::newRow("nom qui n'est pas de l'UTF-8") << QByteArray("NQ1B:0123456789ABCDEF:C:1:3:1:V::L\xE9o");
}

void TestCopyPayload::refused()
{
    QFETCH(QByteArray, text);
    QVERIFY(!CopyPayload::decode(text).has_value());
}

void TestCopyPayload::tooLongForACode()
{
    QVERIFY(QrSymbol::encode(beside().encode()).width() >= 21);
    try {
        QrSymbol::encode(QByteArray(8000, 'A'));
        QFAIL("un texte trop long pour un code a été accepté");
    } catch (const AppError &error) {
        QVERIFY(error.message().startsWith(QStringLiteral("Code de page trop long")));
    }
}

QTEST_GUILESS_MAIN(TestCopyPayload)
#include "tst_copypayload.moc"
