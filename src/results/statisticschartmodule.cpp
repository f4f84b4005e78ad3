#include "results/statisticschartmodule.h"

#include "platform/apperror.h"
#include "platform/programmodule.h"
#include "platform/programparts.h"

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
    try {
        return &ProgramModule(QStringLiteral(NELO_STATISTICS_CHART_FILE), tr("Le graphique"), m_path)
                    .load<StatisticsChartMaker>();
    } catch (const AppError &error) {
        *why = error.message();
        return nullptr;
    }
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
