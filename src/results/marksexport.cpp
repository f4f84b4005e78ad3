#include "results/marksexport.h"

#include "classroom/classscore.h"
#include "document/qcmfile.h"
#include "platform/apperror.h"
#include "results/csvtext.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {

// Why nothing can be exported, from what every run was left out for.
AppError nothingToExport(const ResultsStatistics &statistics, const MarksExport::Table &table)
{
    const int runs = int(statistics.pupils.size());
    if (runs == 0)
        return AppError(MarksExport::tr("Le fichier de résultats ne contient aucune passation : il n'y a pas de note à "
                                        "exporter."));
    if (table.withoutName == runs)
        return AppError(MarksExport::tr("Aucune passation n'a de nom d'élève : il n'y a pas de note à exporter."));
    if (table.removed == runs - table.withoutName)
        return AppError(MarksExport::tr("Toutes les passations ont été retirées de la classe : il n'y a pas de note à "
                                        "exporter."));
    if (table.withoutMark == 0)
        return AppError(MarksExport::tr("Aucune passation n'est terminée : cochez « Compter les passations inachevées » "
                                        "pour exporter leurs notes."));
    return AppError(MarksExport::tr("Aucune note à exporter : aucune question du questionnaire n'a de bonne réponse."));
}

// "09/03/2026 10:05, réseau": when and how a copy was taken, as the grade book's checker reads it.
QString copyText(const ResultsStatistics::Pupil &copy)
{
    QString way = ResultsFile::wayText(copy.way);
    if (copy.way == KeptRun::Way::Paper && copy.copy > 0)
        way = MarksExport::tr("%1 n° %2").arg(way).arg(copy.copy);
    return MarksExport::tr("%1 %2, %3").arg(copy.date.trimmed(), copy.time.trimmed().left(5), way);
}

QString usedText(const ResultsStatistics &statistics, const PupilCopies::Chosen &chosen)
{
    QStringList copies;
    for (size_t index : chosen.used)
        copies << copyText(statistics.pupils[index]);
    QString text = chosen.used.size() > 1 ? MarksExport::tr("moyenne de %1 copies : %2")
                                                .arg(chosen.used.size())
                                                .arg(copies.join(QStringLiteral(" + ")))
                                          : copies.join(QString());
    if (chosen.unfinished)
        text += MarksExport::tr(" (inachevée)");
    return text;
}

QCollator frenchCollator()
{
    // As a French class list sorts: accents and letter case aside, "Élève 2" before "Élève 10".
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// A word of a surname as school software writes it: letters all in capitals ("NGUYEN",
// "D'ALMEIDA", "LE-GOFF").
bool isCapitalWord(const QString &word)
{
    bool letter = false;
    for (const QChar c : word) {
        if (c.isLetter()) {
            if (c.isLower())
                return false;
            letter = true;
        }
    }
    return letter;
}

} // namespace

std::optional<std::pair<QString, QString>> MarksExport::splitName(const QString &name)
{
    const QStringList words = name.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    qsizetype surnameWords = 0;
    while (surnameWords < words.size() && isCapitalWord(words.at(surnameWords)))
        ++surnameWords;
    if (surnameWords == 0 || surnameWords == words.size())
        return std::nullopt;
    return std::make_pair(words.mid(0, surnameWords).join(QLatin1Char(' ')), words.mid(surnameWords).join(QLatin1Char(' ')));
}

QString MarksExport::choiceText(Choice choice)
{
    switch (choice) {
    case Choice::LatestFinished: return tr("dernière copie terminée");
    case Choice::Best: return tr("meilleure copie");
    case Choice::Mean: return tr("moyenne des copies");
    }
    return QString();
}

int MarksExport::pupilsFound(const ResultsStatistics &statistics, const QStringList &names)
{
    QSet<QString> named;
    for (const ResultsStatistics::Pupil &copy : statistics.pupils)
        named.insert(PupilCopies::pupilKey(copy.name));
    return int(std::count_if(names.cbegin(), names.cend(),
                             [&named](const QString &name) { return named.contains(PupilCopies::pupilKey(name)); }));
}

MarksExport::Table MarksExport::of(const ResultsStatistics &statistics, const Options &options)
{
    Table table;
    table.scale = statistics.scale;
    table.absentAsAbs = options.absentAsAbs;
    // What each run was left out for, and the pupils whose every run was.
    QHash<QString, QString> unfinished; // key -> name, of pupils with a run left out unfinished
    QSet<QString> removed;
    for (const ResultsStatistics::Pupil &copy : statistics.pupils) {
        const QString key = PupilCopies::pupilKey(copy.name);
        if (key.isEmpty())
            ++table.withoutName;
        else if (copy.removed) {
            ++table.removed;
            removed.insert(key);
        } else if (!copy.finished && !options.countUnfinished) {
            ++table.unfinishedLeftOut;
            unfinished.insert(key, copy.name.simplified());
        } else if (!(options.recompute ? copy.currentMark : statistics.markOnScale(copy)))
            ++table.withoutMark;
    }
    const std::vector<PupilCopies::Chosen> chosen =
        PupilCopies::choose(statistics, {options.choice, options.countUnfinished, options.recompute});
    if (chosen.empty())
        throw nothingToExport(statistics, table);
    QHash<QString, const PupilCopies::Chosen *> byKey;
    for (const PupilCopies::Chosen &pupil : chosen)
        byKey.insert(pupil.key, &pupil);

    QCollator collator = frenchCollator();
    if (options.classList.isEmpty()) {
        for (const PupilCopies::Chosen &pupil : chosen)
            table.rows.push_back({pupil.name, pupil.name, QString(), pupil.mark, usedText(statistics, pupil)});
        std::sort(table.rows.begin(), table.rows.end(),
                  [&collator](const Row &a, const Row &b) { return collator.compare(a.name, b.name) < 0; });
        for (auto it = unfinished.cbegin(); it != unfinished.cend(); ++it) {
            if (!byKey.contains(it.key()))
                table.onlyUnfinished << it.value();
        }
        std::sort(table.onlyUnfinished.begin(), table.onlyUnfinished.end(), collator);
        return table;
    }

    table.fromClassList = true;
    table.className = options.className.trimmed();
    QSet<QString> listed;
    for (const QString &name : options.classList) {
        const QString key = PupilCopies::pupilKey(name);
        listed.insert(key);
        Row row{name.simplified(), name.simplified(), QString(), std::nullopt, QString()};
        if (const std::optional<std::pair<QString, QString>> parts = splitName(name)) {
            row.surname = parts->first;
            row.firstName = parts->second;
            table.firstNamesApart = true;
        }
        if (const PupilCopies::Chosen *pupil = byKey.value(key)) {
            row.mark = pupil->mark;
            row.copy = usedText(statistics, *pupil);
        } else {
            ++table.absent;
            if (unfinished.contains(key)) {
                row.copy = tr("aucune copie terminée");
                table.onlyUnfinished << row.name;
            } else if (removed.contains(key)) {
                row.copy = tr("copie retirée");
            } else {
                row.copy = tr("aucune copie");
            }
        }
        table.rows.push_back(std::move(row));
    }
    for (const PupilCopies::Chosen &pupil : chosen) {
        if (!listed.contains(pupil.key))
            table.notOnList << pupil.name;
    }
    std::sort(table.notOnList.begin(), table.notOnList.end(), collator);
    return table;
}

QByteArray MarksExport::csv(const Table &table)
{
    const bool withList = table.fromClassList;
    QStringList header{tr("Nom")};
    if (table.firstNamesApart)
        header << tr("Prénom");
    if (withList)
        header << tr("Classe");
    header << tr("Note / %1").arg(table.scale) << tr("Copie retenue");
    QByteArray bytes = QByteArray(CsvText::ByteOrderMark) + CsvText::row(header);
    for (const Row &row : table.rows) {
        QStringList fields{CsvText::textCell(table.firstNamesApart ? row.surname : row.name)};
        if (table.firstNamesApart)
            fields << CsvText::textCell(row.firstName);
        if (withList)
            fields << CsvText::textCell(table.className);
        fields << (row.mark ? ClassMarking::numberText(*row.mark) : table.absentAsAbs ? tr("ABS") : QString())
               << CsvText::textCell(row.copy);
        bytes += CsvText::row(fields);
    }
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
    const int pupils = int(table.rows.size()) - table.absent;
    const QString file = QDir::toNativeSeparators(path);
    QStringList lines{pupils == 1 ? tr("La note d'un élève a été exportée dans %1.").arg(file)
                                  : tr("Les notes de %1 élèves ont été exportées dans %2.").arg(pupils).arg(file)};
    if (table.absent == 1)
        lines << tr("1 élève de la liste n'a pas de copie qui compte : %1.").arg(table.absentAsAbs ? tr("« ABS »") : tr("case vide"));
    else if (table.absent > 1)
        lines << tr("%1 élèves de la liste n'ont pas de copie qui compte : %2.")
                     .arg(table.absent)
                     .arg(table.absentAsAbs ? tr("« ABS »") : tr("case vide"));
    if (!table.notOnList.isEmpty())
        lines << tr("Pas dans la liste de la classe, donc pas dans le fichier : %1.")
                     .arg(table.notOnList.join(QStringLiteral(", ")));
    if (table.withoutName == 1)
        lines << tr("1 passation sans nom d'élève n'a pas été exportée.");
    else if (table.withoutName > 1)
        lines << tr("%1 passations sans nom d'élève n'ont pas été exportées.").arg(table.withoutName);
    if (table.removed == 1)
        lines << tr("1 passation retirée de la classe n'a pas été comptée.");
    else if (table.removed > 1)
        lines << tr("%1 passations retirées de la classe n'ont pas été comptées.").arg(table.removed);
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
