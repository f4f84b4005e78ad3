#include "fakesheet.h"

#include "document/qcmformat.h"
#include "document/titlesearch.h"
#include "platform/scriptedmessageboxes.h"

#include <QtTest>

namespace {

QStringList questionnaire(const QStringList &titles)
{
    QStringList lines;
    for (int n = 0; n < int(titles.size()); ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE ") + titles.at(n) << QStringLiteral("PICTURE ");
        for (int a = 1; a <= 5; ++a)
            lines << QStringLiteral("REP%1 réponse cachée").arg(a);
        lines << QStringLiteral("REPONSE 1") << QStringLiteral("texte caché") << QcmFormat::closingTag(n);
    }
    return lines;
}

struct Workspace
{
    FakeSheet sheet;
    ScriptedMessageBoxes boxes;
    QuestionStore store{sheet, boxes};
    TitleSearch search{store, boxes};

    explicit Workspace(const QStringList &titles)
    {
        sheet.store = &store;
        store.ChargeLignes(questionnaire(titles), QStringLiteral("test.qcm"));
    }
    QStringList titles() const
    {
        QStringList result;
        for (int n = 0; n < store.QuestionCount(); ++n)
            result << store.document().at(QcmFormat::findBlock(store.document(), n) + 1);
        return result;
    }
};

const QString NotFound = QStringLiteral("Chaîne non trouvée");

} // namespace

class TestTitleSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matches_data();
    void matches();
    void replaced_data();
    void replaced();
    void searchScan_data();
    void searchScan();
    void typedTitleIsSearchedAndKept();
    void replaceScan_data();
    void replaceScan();
};

void TestTitleSearch::matches_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::newRow("ciel finds CIEL") << "TITLE LE CIEL" << "ciel" << true;
    QTest::newRow("été does not find ÉTÉ") << "TITLE EN ÉTÉ" << "été" << false;
    QTest::newRow("été finds été") << "TITLE en été" << "été" << true;
    QTest::newRow("the keyword is searched") << "TITLE Soleil" << "tit" << true;
    QTest::newRow("empty text finds nothing") << "TITLE Soleil" << "" << false;
}

void TestTitleSearch::matches()
{
    QFETCH(QString, line);
    QFETCH(QString, text);
    QFETCH(bool, found);
    QCOMPARE(TitleText::matches(line, TitleText::capitals(text)), found);
}

void TestTitleSearch::replaced_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("after");
    QTest::newRow("every occurrence, as typed") << "TITLE Ciel bleu, CIEL gris" << "ciel" << "Mer" << "TITLE Mer bleu, Mer gris";
    QTest::newRow("the keyword is never touched") << "TITLE titre" << "tit" << "X" << "TITLE Xre";
    QTest::newRow("match across the keyword") << "TITLE Ciel" << "e c" << "X" << "TITLE Ciel";
    QTest::newRow("accented capitals differ") << "TITLE ÉTÉ été" << "été" << "hiver" << "TITLE ÉTÉ hiver";
    QTest::newRow("replacement holding the text") << "TITLE aa" << "a" << "aa" << "TITLE aaaa";
    QTest::newRow("empty replacement") << "TITLE un deux" << " deux" << "" << "TITLE un";
}

void TestTitleSearch::replaced()
{
    QFETCH(QString, line);
    QFETCH(QString, text);
    QFETCH(QString, replacement);
    QFETCH(QString, after);
    QCOMPARE(TitleText::replaced(line, TitleText::capitals(text), replacement), after);
}

void TestTitleSearch::searchScan_data()
{
    // Steps: "find:<text>" (the find dialog answered with <text>) or "next" (F3). After each
    // step: the question shown and whether "Chaîne non trouvée" was said.
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<QList<bool>>("notFound");
    const QStringList twoAndFive{"un", "Le ciel", "trois", "quatre", "CIEL gris", "six"};
    QTest::newRow("matches in 2 and 5, then the end")
        << twoAndFive << QStringList{"find:ciel", "next", "next", "next"} << QList<int>{1, 4, 4, 4}
        << QList<bool>{false, false, true, true};
    QTest::newRow("tit matches the first question") << twoAndFive << QStringList{"find:tit", "next"} << QList<int>{0, 1}
                                                    << QList<bool>{false, false};
    QTest::newRow("answers and free text are not searched")
        << twoAndFive << QStringList{"find:cachée"} << QList<int>{0} << QList<bool>{true};
    QTest::newRow("F3 before any search") << twoAndFive << QStringList{"next"} << QList<int>{0} << QList<bool>{true};
    QTest::newRow("cancelled find: no scan, then F3 finds nothing")
        << twoAndFive << QStringList{"find:ciel", "find:", "next"} << QList<int>{1, 1, 1}
        << QList<bool>{false, false, true};
    QTest::newRow("a new search starts again from question 1")
        << twoAndFive << QStringList{"find:ciel", "next", "find:ciel"} << QList<int>{1, 4, 1}
        << QList<bool>{false, false, false};
}

void TestTitleSearch::searchScan()
{
    QFETCH(QStringList, titles);
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, shown);
    QFETCH(QList<bool>, notFound);
    Workspace w(titles);
    for (int i = 0; i < int(steps.size()); ++i) {
        const int boxesBefore = int(w.boxes.shown().size());
        if (steps.at(i).startsWith(QLatin1String("find:")))
            w.search.Chercher(steps.at(i).mid(5));
        else
            w.search.Continuer();
        QCOMPARE(w.store.CurrentQuestion(), shown.at(i));
        QCOMPARE(w.sheet.label, QStringLiteral("Question %1").arg(shown.at(i) + 1));
        QCOMPARE(int(w.boxes.shown().size()) > boxesBefore, notFound.at(i));
        if (notFound.at(i))
            QCOMPARE(w.boxes.lastText(), NotFound);
    }
    QVERIFY(!w.store.DocumentModified());
}

void TestTitleSearch::typedTitleIsSearchedAndKept()
{
    Workspace w({"un", "deux", "trois"});
    w.store.AllerA(2);
    w.sheet.type(QStringLiteral("nouveau titre"));
    w.search.Chercher(QStringLiteral("nouveau"));
    QCOMPARE(w.store.CurrentQuestion(), 2);
    QCOMPARE(w.sheet.shown.title, QStringLiteral("nouveau titre"));
    QCOMPARE(w.boxes.shown().size(), 0);
}

void TestTitleSearch::replaceScan_data()
{
    QTest::addColumn<QList<MessageAnswer>>("answers");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("modified");
    // Matches in questions 1, 3 and 4 (indices 0, 2, 3).
    using A = MessageAnswer;
    QTest::newRow("No then Cancel: nothing replaced")
        << QList<A>{A::No, A::Cancel} << QStringList{"TITLE Ciel", "TITLE deux", "TITLE ciel bleu", "TITLE le CIEL"} << 2
        << false;
    QTest::newRow("Yes to all") << QList<A>{A::Yes, A::Yes, A::Yes}
                                << QStringList{"TITLE Mer", "TITLE deux", "TITLE Mer bleu", "TITLE le Mer"} << 4 << true;
    QTest::newRow("Yes, No, Yes") << QList<A>{A::Yes, A::No, A::Yes}
                                  << QStringList{"TITLE Mer", "TITLE deux", "TITLE ciel bleu", "TITLE le Mer"} << 4
                                  << true;
    QTest::newRow("Yes then Cancel keeps the first") << QList<A>{A::Yes, A::Cancel}
                                                     << QStringList{"TITLE Mer", "TITLE deux", "TITLE ciel bleu",
                                                                    "TITLE le CIEL"}
                                                     << 2 << true;
}

void TestTitleSearch::replaceScan()
{
    QFETCH(QList<MessageAnswer>, answers);
    QFETCH(QStringList, titles);
    QFETCH(int, position);
    QFETCH(bool, modified);
    Workspace w({"Ciel", "deux", "ciel bleu", "le CIEL"});
    w.store.AllerA(3);
    for (MessageAnswer answer : answers)
        w.boxes.script(answer);
    w.search.Remplacer(QStringLiteral("ciel"), QStringLiteral("Mer"));
    QCOMPARE(w.boxes.shown().size(), answers.size());
    // Each box names the question it would change, by its number and its title as it stands.
    const QStringList concerned{"Question 1 : Ciel", "Question 3 : ciel bleu", "Question 4 : le CIEL"};
    for (int i = 0; i < int(w.boxes.shown().size()); ++i) {
        const auto &box = w.boxes.shown().at(i);
        QCOMPARE(box.text, QStringLiteral("Remplacer ?"));
        QCOMPARE(box.informativeText, concerned.at(i));
        QCOMPARE(box.icon, MessageIcon::Warning);
        QCOMPARE(box.buttons, MessageButtons::YesNoCancel);
    }
    QCOMPARE(w.titles(), titles);
    QCOMPARE(w.search.SearchPosition(), position);
    QCOMPARE(w.store.DocumentModified(), modified);
    // The sheet stays on the question it showed, with its title as it now stands.
    QCOMPARE(w.store.CurrentQuestion(), 3);
    QCOMPARE(w.sheet.shown.title, titles.at(3).mid(6));
    QCOMPARE(w.search.ReplaceText(), QStringLiteral("Mer"));
    // F3 then searches (no more replacing) from where the pass stopped.
    if (position < 4) {
        w.search.Continuer();
        QCOMPARE(w.store.CurrentQuestion(), position);
        QCOMPARE(w.boxes.shown().size(), answers.size());
    }
    QCOMPARE(w.boxes.unexpected(), 0);
}

QTEST_GUILESS_MAIN(TestTitleSearch)
#include "tst_titlesearch.moc"
