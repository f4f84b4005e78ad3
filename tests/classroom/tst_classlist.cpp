#include "classroom/classlist.h"
#include "platform/apperror.h"

#include <QTemporaryDir>
#include <QtTest>

class TestClassList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reading_data();
    void reading();
    void keptByName();
};

void TestClassList::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");

    const QStringList two{QStringLiteral("DUPONT Marie"), QStringLiteral("LEFÈVRE Éloïse")};
    QTest::newRow("one pupil a line, UTF-8")
        << QByteArray("DUPONT Marie\r\nLEF\xc3\x88VRE \xc3\x89lo\xc3\xafse\r\n\r\n") << two;
    QTest::newRow("one pupil a line, Windows-1252") << QByteArray("DUPONT Marie\nLEF\xc8VRE \xc9lo\xefse\n") << two;
    QTest::newRow("byte-order mark and header")
        << QByteArray("\xef\xbb\xbfNom;Pr\xc3\xa9nom\nDUPONT;Marie\nLEF\xc3\x88VRE;\xc3\x89lo\xc3\xafse\n") << two;
    QTest::newRow("columns without header") << QByteArray("DUPONT;Marie\nLEF\xc8VRE;\xc9lo\xefse\n") << two;
    QTest::newRow("class column first, header in capitals")
        << QByteArray("CLASSE;NOM;PRENOM\n4e B;DUPONT;Marie\n4e B;LEF\xc8VRE;\xc9lo\xefse\n") << two;
    QTest::newRow("first name before surname")
        << QByteArray("Pr\xe9nom;Nom;Classe\nMarie;DUPONT;4B\n\xc9lo\xefse;LEF\xc8VRE;4B\n") << two;
    QTest::newRow("quoted fields, commas")
        << QByteArray("\"Nom\",\"Pr\xe9nom\"\n\"DUPONT\",\"Marie\"\n\"LEF\xc8VRE\",\"\xc9lo\xefse\"\n") << two;
    QTest::newRow("tabulations, spaces and a doubled pupil")
        << QByteArray("  DUPONT \t Marie \nLEF\xc8VRE\t\xc9lo\xefse\nDUPONT\tMarie\n") << two;
    QTest::newRow("one column named \xc3\x89l\xc3\xa8ve")
        << QByteArray("\xc9l\xe8ve;Classe\nDUPONT Marie;4e B\nLEF\xc8VRE \xc9lo\xefse;4e B\n") << two;
    QTest::newRow("empty file") << QByteArray() << QStringList();
}

void TestClassList::reading()
{
    QFETCH(QByteArray, bytes);
    QTEST(ClassListReader::read(bytes), "names");
}

void TestClassList::keptByName()
{
    QTemporaryDir dir;
    ClassListStore store(dir.filePath(QStringLiteral("classes")));
    QCOMPARE(store.classNames(), QStringList());
    store.save(QStringLiteral("4e B"), {QStringLiteral("DUPONT Marie"), QStringLiteral("  "), QStringLiteral("MARTIN  Léo")});
    store.save(QStringLiteral("10e A"), {QStringLiteral("X Y")});
    store.save(QStringLiteral("2nde 3"), {QStringLiteral("Z Z")});
    store.save(QStringLiteral("../a/b"), {QStringLiteral("W W")});
    QCOMPARE(store.classNames().mid(1, 3), (QStringList{QStringLiteral("2nde 3"), QStringLiteral("4e B"), QStringLiteral("10e A")}));
    QCOMPARE(store.pupils(QStringLiteral("../a/b")), QStringList{QStringLiteral("W W")});
    QCOMPARE(store.pupils(QStringLiteral("4e B")), (QStringList{QStringLiteral("DUPONT Marie"), QStringLiteral("MARTIN Léo")}));
    // A name with a slash or dots stays a file inside the folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    store.remove(QStringLiteral("4e B"));
    QCOMPARE(store.pupils(QStringLiteral("4e B")), QStringList());
    QCOMPARE(store.classNames().size(), 3);
    QVERIFY_THROWS_EXCEPTION(AppError, store.save(QStringLiteral("  "), {}));
}

QTEST_GUILESS_MAIN(TestClassList)
#include "tst_classlist.moc"
