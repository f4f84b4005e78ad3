#include "runner/statisticschartmodule.h"

#include "platform/programparts.h"

#include <QDir>
#include <QPluginLoader>

StatisticsChartModule::StatisticsChartModule(QString path) : m_path(std::move(path))
{
}

QString StatisticsChartModule::locate()
{
    return QCoreApplication::instance() ? locate(QCoreApplication::applicationDirPath()) : QString();
}

QString StatisticsChartModule::locate(const QString &programFolder)
{
    return locateProgramPart(programFolder, QStringLiteral(NELO_STATISTICS_CHART_FILE), ProgramPart::Module);
}

const StatisticsChartMaker *StatisticsChartModule::maker(QString *why) const
{
    if (m_path.isEmpty()) {
        *why = tr("Le graphique n'est pas disponible : le module %1 est introuvable à côté du programme.")
                   .arg(QStringLiteral(NELO_STATISTICS_CHART_FILE));
        return nullptr;
    }
    // Loading the same file again gives the instance already loaded; it is never unloaded, so the
    // charts made stay valid until the end.
    QPluginLoader loader(m_path);
    const auto *maker = qobject_cast<StatisticsChartMaker *>(loader.instance());
    if (!maker) {
        // Qt's reason is English: the person is told which file, the log keeps nothing.
        *why = tr("Le graphique n'est pas disponible : le module %1 ne peut pas être chargé.")
                   .arg(QDir::toNativeSeparators(m_path));
    }
    return maker;
}

QWidget *StatisticsChartModule::makeChart(const QList<StatisticsChartBar> &bars, QWidget *parent, QString *why) const
{
    const StatisticsChartMaker *charts = maker(why);
    return charts ? charts->makeChart(bars, parent) : nullptr;
}

QWidget *StatisticsChartModule::makeMarksChart(const StatisticsChartMarks &marks, QWidget *parent, QString *why) const
{
    const StatisticsChartMaker *charts = maker(why);
    return charts ? charts->makeMarksChart(marks, parent) : nullptr;
}
