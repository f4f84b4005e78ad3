#include "runner/statisticschartmodule.h"

#include <QDir>
#include <QFile>
#include <QGraphicsObject>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

// The shared libraries this process has mapped, as the dynamic loader lists them.
bool mapped(const QString &library)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library.toLatin1());
}

QList<StatisticsChartBar> bars(int count)
{
    QList<StatisticsChartBar> made;
    for (int q = 1; q <= count; ++q)
        made.append({QStringLiteral("%1. Question").arg(q), 50, QStringLiteral("50 %")});
    return made;
}

// The labels of the chart's question axis, the one axis with categories, whichever kind it is.
// Read through Qt's properties: this test does not link Qt Charts, so that it can see the module
// bring it.
QStringList questionLabels(QWidget *chart)
{
    const auto *view = qobject_cast<QGraphicsView *>(chart);
    if (!view || !view->scene())
        return {QStringLiteral("(not a chart view)")};
    for (QGraphicsItem *item : view->scene()->items()) {
        QGraphicsObject *drawn = item->toGraphicsObject();
        if (!drawn)
            continue;
        for (QObject *object : drawn->findChildren<QObject *>()) {
            for (const char *property : {"categories", "categoriesLabels"}) {
                const QVariant labels = object->property(property);
                if (labels.isValid())
                    return labels.toStringList();
            }
        }
    }
    return {QStringLiteral("(no question axis)")};
}

} // namespace

class TestStatisticsChart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // First: nothing before it may have loaded the module.
    void chartsAreMappedOnlyWithTheFirstChart();
    void questionAxis_data();
    void questionAxis();
    void noModuleNoChart_data();
    void noModuleNoChart();
    void foundBesideTheProgramThenInstalled_data();
    void foundBesideTheProgramThenInstalled();
};

void TestStatisticsChart::chartsAreMappedOnlyWithTheFirstChart()
{
    if (!QFile::exists(QStringLiteral("/proc/self/maps")))
        QSKIP("no /proc/self/maps to read the mapped libraries from");
    const QString charts = QStringLiteral("libQt6Charts");
    QVERIFY(!mapped(charts));
    QWidget window;
    QString why;
    QWidget *chart = StatisticsChartModule(QStringLiteral(NELO_STATISTICS_CHART)).makeChart(bars(3), &window, &why);
    QVERIFY2(chart, qPrintable(why));
    QVERIFY(mapped(charts));
    QCOMPARE(chart->parentWidget(), &window);
    QVERIFY(qobject_cast<QGraphicsView *>(chart));
    QCOMPARE(chart->accessibleName(), QStringLiteral("Part de bonnes réponses par question"));
}

void TestStatisticsChart::questionAxis_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<QStringList>("labels");
    const auto numbers = [](int step, int last) {
        QStringList list;
        for (int n = step; n <= last; n += step)
            list << QString::number(n);
        return list;
    };
    QTest::newRow("no question") << 0 << QStringList();
    QTest::newRow("one") << 1 << QStringList{"1"};
    QTest::newRow("25: every number still") << 25 << numbers(1, 25);
    QTest::newRow("26: every second") << 26 << numbers(2, 26);
    QTest::newRow("60: every fifth") << 60 << numbers(5, 60);
    QTest::newRow("1000: every fiftieth") << 1000 << numbers(50, 1000);
}

void TestStatisticsChart::questionAxis()
{
    QFETCH(int, questions);
    QFETCH(QStringList, labels);
    QWidget window;
    QString why;
    QWidget *chart = StatisticsChartModule(QStringLiteral(NELO_STATISTICS_CHART)).makeChart(bars(questions), &window, &why);
    QVERIFY2(chart, qPrintable(why));
    QCOMPARE(questionLabels(chart), labels);
}

void TestStatisticsChart::noModuleNoChart_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not found") << QString() << "introuvable";
    QTest::newRow("not a module") << "nelo-statistics-chart.so" << "ne peut pas être chargé";
}

void TestStatisticsChart::noModuleNoChart()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QString path;
    if (!file.isEmpty()) {
        path = folder.filePath(file);
        QFile notAModule(path);
        QVERIFY(notAModule.open(QIODevice::WriteOnly));
        notAModule.write("Ceci n'est pas un module.\n");
    }
    QWidget window;
    QString why;
    QCOMPARE(StatisticsChartModule(path).makeChart(bars(2), &window, &why), nullptr);
    QVERIFY2(why.startsWith(QStringLiteral("Le graphique n'est pas disponible")) && why.contains(reason),
             qPrintable(why));
}

void TestStatisticsChart::foundBesideTheProgramThenInstalled_data()
{
    // The folders the install rules put the program and the module in, under one prefix.
    const QString installed = QStringLiteral(NELO_INSTALLED_MODULES "/") + QFileInfo(QStringLiteral(NELO_STATISTICS_CHART)).fileName();
    const QString beside = QStringLiteral(NELO_INSTALLED_PROGRAM "/") + QFileInfo(QStringLiteral(NELO_STATISTICS_CHART)).fileName();
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("found");
    QTest::newRow("build tree") << QStringList{beside} << beside;
    QTest::newRow("installed") << QStringList{installed} << installed;
    QTest::newRow("both: beside first") << QStringList{beside, installed} << beside;
    QTest::newRow("a folder of that name is no module") << QStringList{beside + QStringLiteral("/")} << QString();
    QTest::newRow("neither") << QStringList() << QString();
}

void TestStatisticsChart::foundBesideTheProgramThenInstalled()
{
    QFETCH(QStringList, files);
    QFETCH(QString, found);
    QTemporaryDir prefix;
    const QDir root(prefix.path());
    QVERIFY(root.mkpath(QStringLiteral(NELO_INSTALLED_PROGRAM)));
    for (const QString &name : std::as_const(files)) {
        if (name.endsWith(QLatin1Char('/'))) {
            QVERIFY(root.mkpath(name));
            continue;
        }
        QVERIFY(root.mkpath(QFileInfo(name).path()));
        QFile file(root.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString located = StatisticsChartModule::locate(root.filePath(QStringLiteral(NELO_INSTALLED_PROGRAM)));
    QCOMPARE(located, found.isEmpty() ? QString() : QDir::cleanPath(root.filePath(found)));
}

QTEST_MAIN(TestStatisticsChart)
#include "tst_statisticschart.moc"
