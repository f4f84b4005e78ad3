#include "results/statisticschartmodule.h"

#include <QFile>
#include <QGraphicsObject>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QTemporaryDir>
#include <QtTest>

// This test does not link Qt Charts, so that it sees the module bring it; the chart is read
// through Qt's properties.
namespace {

QWidget *chartOf(int questions, QWidget *parent, QString *why)
{
    QList<StatisticsChartBar> bars;
    for (int q = 1; q <= questions; ++q)
        bars.append({QStringLiteral("%1. Question").arg(q), 50, QStringLiteral("50 %")});
    return StatisticsChartModule(QStringLiteral(NELO_STATISTICS_CHART)).makeChart(bars, parent, why);
}

// The labels of the question or marks axis, the one axis with categories, whichever kind it is.
QStringList questionLabels(QWidget *chart)
{
    const auto *view = qobject_cast<QGraphicsView *>(chart);
    for (QGraphicsItem *item : view ? view->scene()->items() : QList<QGraphicsItem *>()) {
        for (QObject *object : item->toGraphicsObject() ? item->toGraphicsObject()->findChildren<QObject *>() : QList<QObject *>()) {
            for (const char *property : {"categories", "categoriesLabels"}) {
                if (const QVariant labels = object->property(property); labels.isValid())
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
    void chartsAreMappedOnlyWithTheFirstChart()
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        if (!maps.open(QIODevice::ReadOnly))
            QSKIP("no /proc/self/maps to read the mapped libraries from");
        QVERIFY(!maps.readAll().contains("libQt6Charts"));
        QWidget window;
        QString why;
        QWidget *chart = chartOf(3, &window, &why);
        QVERIFY2(chart, qPrintable(why));
        maps.seek(0);
        QVERIFY(maps.readAll().contains("libQt6Charts"));
        QCOMPARE(chart->parentWidget(), &window);
        QCOMPARE(chart->accessibleName(), QStringLiteral("Part de bonnes réponses par question"));
        // Installed, the module is found in the program's private folder, executable or not.
        QTemporaryDir prefix;
        const QString installed = prefix.filePath(QStringLiteral(NELO_INSTALLED_MODULE));
        QVERIFY(QDir().mkpath(QFileInfo(installed).path()) && QDir().mkpath(prefix.filePath(QStringLiteral(NELO_INSTALLED_PROGRAM))));
        QVERIFY(QFile::copy(QStringLiteral(NELO_STATISTICS_CHART), installed));
        QFile(installed).setPermissions(QFileDevice::ReadOwner);
        QCOMPARE(StatisticsChartModule::locate(prefix.filePath(QStringLiteral(NELO_INSTALLED_PROGRAM))), QDir::cleanPath(installed));
    }

    void questionAxis_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("no question") << 0 << QStringList();
        QTest::newRow("25: every number still") << 25 << QStringList{"1", "2", "3"};
        QTest::newRow("26: every second") << 26 << QStringList{"2", "4", "6"};
        QTest::newRow("1000: every fiftieth") << 1000 << QStringList{"50", "100", "150"};
    }

    void questionAxis()
    {
        QFETCH(int, questions);
        QFETCH(QStringList, labels);
        QWidget window;
        QString why;
        QWidget *chart = chartOf(questions, &window, &why);
        QVERIFY2(chart, qPrintable(why));
        const QStringList shown = questionLabels(chart);
        QCOMPARE(shown.mid(0, 3), labels);
        QCOMPARE(shown.isEmpty() ? 0 : shown.constLast().toInt(), questions);
    }

    // The marks read as a ruler: whole bounds, a few of them, the full mark last when it falls
    // on a step.
    void marksAxis_data()
    {
        QTest::addColumn<int>("scale");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("out of 20") << 20 << QStringList{"0", "5", "10", "15", "20"};
        QTest::newRow("out of 7") << 7 << QStringList{"0", "2", "4", "6"};
        QTest::newRow("out of 1") << 1 << QStringList{"0", "1"};
        QTest::newRow("out of 100, twenty bins") << 100 << QStringList{"0", "25", "50", "75", "100"};
    }

    void marksAxis()
    {
        QFETCH(int, scale);
        QFETCH(QStringList, labels);
        const int bins = std::min(scale, 20);
        StatisticsChartMarks marks{{}, QString::number(scale), QStringLiteral("Note sur %1").arg(scale)};
        for (int bin = 0; bin < bins; ++bin)
            marks.bins.append({QString::number(bin * scale / bins), double(bin % 3), QStringLiteral("...")});
        QWidget window;
        QString why;
        QWidget *chart = StatisticsChartModule(QStringLiteral(NELO_STATISTICS_CHART)).makeMarksChart(marks, &window, &why);
        QVERIFY2(chart, qPrintable(why));
        QCOMPARE(questionLabels(chart), labels);
        QCOMPARE(chart->accessibleName(), QStringLiteral("Répartition des notes"));
    }

    void noModuleNoChart_data()
    {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not found") << false << "introuvable";
        QTest::newRow("not a module") << true << "ne peut pas être chargé";
    }

    void noModuleNoChart()
    {
        QFETCH(bool, fileThere);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("nelo-statistics-chart.so"));
        QFile notAModule(path);
        QVERIFY(!fileThere || (notAModule.open(QIODevice::WriteOnly) && notAModule.write("Pas un module.\n") > 0));
        notAModule.close();
        QWidget window;
        QString why;
        QCOMPARE(StatisticsChartModule(fileThere ? path : QString()).makeChart({}, &window, &why), nullptr);
        QVERIFY2(why.startsWith(QStringLiteral("Le graphique n'est pas disponible")) && why.contains(reason), qPrintable(why));
    }
};

QTEST_MAIN(TestStatisticsChart)
#include "tst_statisticschart.moc"
