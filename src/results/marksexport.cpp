#include "results/marksexport.h"

#include "classroom/classscore.h"
#include "document/qcmfile.h"
#include "platform/apperror.h"
#include "results/csvtext.h"

#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// Marks are kept to the hundredth at most: closer than this they are the same mark.
constexpr double SameMark = 0.005;

// A pupil's runs are found by name, whatever the spaces and letter case it was typed with.
QString pupilKey(const QString &name)
{
    return name.simplified().toCaseFolded();
}

// When the run began, in milliseconds, then its place in the file: what "the latest" sorts by.
// A date a spreadsheet mangled sorts before every readable one, and the file's order decides.
std::pair<qint64, size_t> momentOf(const ResultsStatistics::Pupil &pupil, size_t index)
{
    const QDate date = QDate::fromString(pupil.date.trimmed(), QStringLiteral("dd/MM/yyyy"));
    QTime time = QTime::fromString(pupil.time.trimmed(), QStringLiteral("HH:mm:ss"));
    if (!time.isValid())
        time = QTime::fromString(pupil.time.trimmed(), QStringLiteral("HH:mm"));
    if (!date.isValid())
        return {std::numeric_limits<qint64>::min(), index};
    return {QDateTime(date, time.isValid() ? time : QTime(0, 0)).toMSecsSinceEpoch(), index};
}

struct Candidate
{
    size_t index = 0;
    std::pair<qint64, size_t> moment;
    double mark = 0;
};

bool preferred(const Candidate &candidate, const Candidate &chosen, MarksExport::Choice choice)
{
    if (choice == MarksExport::Choice::Best && std::abs(candidate.mark - chosen.mark) > SameMark)
        return candidate.mark > chosen.mark;
    return candidate.moment > chosen.moment;
}

// Why nothing can be exported, from what every run was left out for.
AppError nothingToExport(const ResultsStatistics &statistics, const MarksExport::Table &table)
{
    if (statistics.pupils.empty())
        return AppError(MarksExport::tr("Le fichier de résultats ne contient aucune passation : il n'y a pas de note à "
                                        "exporter."));
    if (table.withoutName == int(statistics.pupils.size()))
        return AppError(MarksExport::tr("Aucune passation n'a de nom d'élève : il n'y a pas de note à exporter."));
    if (table.withoutMark == 0)
        return AppError(MarksExport::tr("Aucune passation n'est terminée : cochez « Compter les passations inachevées » "
                                        "pour exporter leurs notes."));
    return AppError(MarksExport::tr("Aucune note à exporter : aucune question du questionnaire n'a de bonne réponse."));
}

} // namespace

MarksExport::Table MarksExport::of(const ResultsStatistics &statistics, const Options &options)
{
    Table table;
    table.scale = statistics.scale;
    QHash<QString, Candidate> chosen;
    QHash<QString, QString> unfinished; // key -> name, of pupils with a run left out unfinished
    for (size_t i = 0; i < statistics.pupils.size(); ++i) {
        const ResultsStatistics::Pupil &pupil = statistics.pupils[i];
        const QString key = pupilKey(pupil.name);
        if (key.isEmpty()) {
            ++table.withoutName;
            continue;
        }
        if (!pupil.finished && !options.countUnfinished) {
            ++table.unfinishedLeftOut;
            unfinished.insert(key, pupil.name.simplified());
            continue;
        }
        const std::optional<double> mark = options.recompute ? pupil.currentMark : statistics.markOnScale(pupil);
        if (!mark) {
            ++table.withoutMark;
            continue;
        }
        const Candidate candidate{i, momentOf(pupil, i), *mark};
        const auto found = chosen.find(key);
        if (found == chosen.end())
            chosen.insert(key, candidate);
        else if (preferred(candidate, *found, options.choice))
            *found = candidate;
    }
    if (chosen.isEmpty())
        throw nothingToExport(statistics, table);

    table.rows.reserve(size_t(chosen.size()));
    for (const Candidate &candidate : std::as_const(chosen))
        table.rows.push_back({statistics.pupils[candidate.index].name.simplified(), candidate.mark});
    for (auto it = unfinished.cbegin(); it != unfinished.cend(); ++it) {
        if (!chosen.contains(it.key()))
            table.onlyUnfinished << it.value();
    }
    // As a French class list sorts: accents and letter case aside, "Élève 2" before "Élève 10".
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(table.rows.begin(), table.rows.end(),
              [&collator](const Row &a, const Row &b) { return collator.compare(a.name, b.name) < 0; });
    std::sort(table.onlyUnfinished.begin(), table.onlyUnfinished.end(), collator);
    return table;
}

QByteArray MarksExport::csv(const Table &table)
{
    QByteArray bytes = QByteArray(CsvText::ByteOrderMark) + CsvText::row({tr("Nom"), tr("Note / %1").arg(table.scale)});
    for (const Row &row : table.rows)
        bytes += CsvText::row({CsvText::textCell(row.name), ClassMarking::numberText(row.mark)});
    return bytes;
}

void MarksExport::checkTarget(const QString &path)
{
    bool resultsFile = false;
    if (QFileInfo::exists(path)) {
        try {
            ResultsFile::read(path);
            resultsFile = true;
        } catch (const AppError &) {
            // Not a results file: the person chose to replace it.
        }
    }
    if (resultsFile)
        throw AppError(tr("%1 est un fichier de résultats : les notes ne sont pas écrites à sa place. "
                          "Choisissez un autre nom.")
                           .arg(QDir::toNativeSeparators(path)));
}

void MarksExport::write(const QString &path, const Table &table)
{
    checkTarget(path);
    QcmFile::write(path, csv(table));
}

QString MarksExport::summary(const Table &table, const QString &path)
{
    const int pupils = int(table.rows.size());
    QStringList lines{pupils == 1 ? tr("La note d'un élève a été exportée dans %1.").arg(QDir::toNativeSeparators(path))
                                  : tr("Les notes de %1 élèves ont été exportées dans %2.")
                                        .arg(pupils)
                                        .arg(QDir::toNativeSeparators(path))};
    if (table.withoutName == 1)
        lines << tr("1 passation sans nom d'élève n'a pas été exportée.");
    else if (table.withoutName > 1)
        lines << tr("%1 passations sans nom d'élève n'ont pas été exportées.").arg(table.withoutName);
    if (table.unfinishedLeftOut == 1)
        lines << tr("1 passation inachevée n'a pas été comptée.");
    else if (table.unfinishedLeftOut > 1)
        lines << tr("%1 passations inachevées n'ont pas été comptées.").arg(table.unfinishedLeftOut);
    if (!table.onlyUnfinished.isEmpty())
        lines << tr("Sans note, faute de passation terminée : %1.").arg(table.onlyUnfinished.join(QStringLiteral(", ")));
    if (table.withoutMark == 1)
        lines << tr("1 passation n'a pas de note : aucune de ses questions n'est notée.");
    else if (table.withoutMark > 1)
        lines << tr("%1 passations n'ont pas de note : aucune de leurs questions n'est notée.").arg(table.withoutMark);
    return lines.join(QLatin1Char('\n'));
}
