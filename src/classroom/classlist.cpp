#include "classroom/classlist.h"

#include "document/exchange/exchangetext.h"
#include "document/qcmfile.h"
#include "platform/apperror.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

const QString Suffix = QStringLiteral(".classe");

QString folded(QString text)
{
    text = text.trimmed().toLower();
    const QString accented = QStringLiteral("éèêëàâäîïôöûüç");
    const QString plain = QStringLiteral("eeeeaaaiioouuc");
    for (qsizetype i = 0; i < accented.size(); ++i)
        text.replace(accented.at(i), plain.at(i));
    return text;
}

bool isSurnameHeader(const QString &field)
{
    const QString word = folded(field);
    return word == QLatin1String("nom") || word == QLatin1String("nom de famille") || word == QLatin1String("nom eleve")
        || word == QLatin1String("eleve") || word == QLatin1String("nom de l'eleve");
}

bool isFirstNameHeader(const QString &field)
{
    const QString word = folded(field);
    return word == QLatin1String("prenom") || word == QLatin1String("prenoms") || word == QLatin1String("prenom eleve");
}

bool isExtraTimeHeader(const QString &field)
{
    QString word = folded(field);
    word.replace(QLatin1Char('-'), QLatin1Char(' '));
    return word == QLatin1String("temps majore") || word == QLatin1String("tiers temps")
        || word == QLatin1String("temps supplementaire");
}

bool isOtherHeader(const QString &field)
{
    if (isExtraTimeHeader(field))
        return true;
    const QString word = folded(field);
    return word == QLatin1String("classe") || word == QLatin1String("division") || word == QLatin1String("groupe")
        || word == QLatin1String("sexe") || word == QLatin1String("date de naissance") || word == QLatin1String("ne(e) le");
}

// The one separator the table uses: the one found on most lines, semicolons first.
QChar separatorOf(const QStringList &lines)
{
    for (QChar candidate : {QLatin1Char(';'), QLatin1Char('\t'), QLatin1Char(',')}) {
        const auto withIt = std::count_if(lines.begin(), lines.end(), [candidate](const QString &line) {
            return line.contains(candidate);
        });
        if (withIt * 2 > lines.size())
            return candidate;
    }
    return QChar();
}

// Fields of one line; quotes around a field are a spreadsheet's, doubled quotes inside it one.
QStringList fieldsOf(const QString &line, QChar separator)
{
    if (separator.isNull())
        return {line.trimmed()};
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            field.clear();
            quoted = true;
        } else if (c == separator) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

QString simplified(const QString &name)
{
    return name.simplified();
}

struct Text
{
    Q_DECLARE_TR_FUNCTIONS(ClassListReader)
};

// A kept list's line: the name, then after a tabulation the extra time when there is one.
const QChar KeptSeparator = QLatin1Char('\t');

} // namespace

namespace ClassListReader {

std::vector<Entry> readEntries(const QByteArray &bytes, QStringList *problems)
{
    const QString text = ExchangeText::decode(bytes).text;
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            lines << line;
    }
    if (lines.isEmpty())
        return {};

    const QChar separator = separatorOf(lines);
    int surname = 0;
    int firstName = separator.isNull() ? -1 : 1;
    int extraColumn = -1;
    qsizetype first = 0;
    const QStringList header = fieldsOf(lines.first(), separator);
    const bool hasHeader = std::any_of(header.begin(), header.end(), [](const QString &field) {
        return isSurnameHeader(field) || isFirstNameHeader(field) || isOtherHeader(field);
    });
    if (hasHeader) {
        first = 1;
        surname = firstName = -1;
        for (int i = 0; i < header.size(); ++i) {
            if (surname < 0 && isSurnameHeader(header.at(i)))
                surname = i;
            else if (firstName < 0 && isFirstNameHeader(header.at(i)))
                firstName = i;
            else if (extraColumn < 0 && isExtraTimeHeader(header.at(i)))
                extraColumn = i;
        }
        if (surname < 0) {
            // A header that names no surname column: the first column not named otherwise.
            for (int i = 0; i < header.size() && surname < 0; ++i) {
                if (i != firstName && !isOtherHeader(header.at(i)))
                    surname = i;
            }
        }
    }

    std::vector<Entry> names;
    QSet<QString> seen;
    for (qsizetype i = first; i < lines.size(); ++i) {
        const QStringList fields = fieldsOf(lines.at(i), separator);
        const QString last = surname >= 0 && surname < fields.size() ? fields.at(surname) : QString();
        const QString given = firstName >= 0 && firstName < fields.size() ? fields.at(firstName) : QString();
        const QString name = simplified(last + QLatin1Char(' ') + given);
        if (name.isEmpty() || seen.contains(name))
            continue;
        seen.insert(name);
        Entry entry{name, {}};
        if (extraColumn >= 0 && extraColumn < fields.size()) {
            QString problem;
            if (const std::optional<ExtraTime> extra = ExtraTime::parse(fields.at(extraColumn), &problem))
                entry.extra = *extra;
            else if (problems)
                *problems << Text::tr("Ligne %1 : %2").arg(i + 1).arg(problem);
        }
        names.push_back(entry);
    }
    return names;
}

QStringList read(const QByteArray &bytes)
{
    QStringList names;
    for (const Entry &entry : readEntries(bytes))
        names << entry.name;
    return names;
}

std::vector<Entry> entriesOfText(const QString &text)
{
    std::vector<Entry> entries;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const qsizetype separator = line.indexOf(QLatin1Char(';'));
        const QString name = simplified(separator < 0 ? line : line.left(separator));
        if (name.isEmpty())
            continue;
        entries.push_back(entryOf(name, separator < 0 ? QString() : line.mid(separator + 1), int(i + 1)));
    }
    return entries;
}

Entry entryOf(const QString &name, const QString &extraText, int line)
{
    QString problem;
    const std::optional<ExtraTime> extra = ExtraTime::parse(extraText, &problem);
    if (!extra)
        throw AppError(Text::tr("Ligne %1 (%2) : %3").arg(line).arg(simplified(name), problem));
    return {simplified(name), *extra};
}

QString textOf(const std::vector<Entry> &entries)
{
    QStringList lines;
    for (const Entry &entry : entries)
        lines << (entry.extra.isNone() ? entry.name : entry.name + QStringLiteral(" ; ") + entry.extra.text());
    return lines.join(QLatin1Char('\n'));
}

std::vector<Entry> entriesOfPaste(const QString &text, QStringList *problems)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    const auto firstLine = std::find_if(lines.begin(), lines.end(), [](const QString &line) {
        return !line.trimmed().isEmpty();
    });
    if (firstLine == lines.end())
        return {};
    const QChar separator = separatorOf(lines);
    const QStringList header = fieldsOf(*firstLine, separator);
    if (std::any_of(header.begin(), header.end(), [](const QString &field) {
            return isSurnameHeader(field) || isFirstNameHeader(field) || isOtherHeader(field);
        }))
        return readEntries(text.toUtf8(), problems);

    static const QRegularExpression separators(QStringLiteral("[;\t]"));
    std::vector<Entry> entries;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringList fields;
        for (const QString &field : lines.at(i).split(separators))
            fields << field.trimmed();
        Entry entry;
        const QString last = fields.size() > 1 ? fields.last() : QString();
        if (!last.isEmpty() && (last.front() == QLatin1Char('+') || last.front().isDigit())) {
            fields.removeLast();
            QString problem;
            if (const std::optional<ExtraTime> extra = ExtraTime::parse(last, &problem))
                entry.extra = *extra;
            else if (problems)
                *problems << Text::tr("Ligne %1 : %2").arg(i + 1).arg(problem);
        }
        entry.name = simplified(fields.join(QLatin1Char(' ')));
        if (!entry.name.isEmpty())
            entries.push_back(entry);
    }
    return entries;
}

} // namespace ClassListReader

ClassListStore::ClassListStore(QString folder) : m_folder(std::move(folder)) {}

QString ClassListStore::pathOf(const QString &className) const
{
    // The name percent-encoded, dots too, so that "4e B/groupe 1" or ".." stays one visible file
    // in the folder.
    return QDir(m_folder).filePath(QString::fromLatin1(QUrl::toPercentEncoding(className.trimmed(), QByteArray(), QByteArrayLiteral("."))) + Suffix);
}

QStringList ClassListStore::classNames() const
{
    QStringList names;
    const QStringList files = QDir(m_folder).entryList({QLatin1Char('*') + Suffix}, QDir::Files);
    for (const QString &file : files)
        names << QUrl::fromPercentEncoding(file.chopped(Suffix.size()).toLatin1());
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
    return names;
}

QStringList ClassListStore::pupils(const QString &className) const
{
    QStringList names;
    for (const ClassListReader::Entry &entry : entries(className))
        names << entry.name;
    return names;
}

std::vector<ClassListReader::Entry> ClassListStore::entries(const QString &className) const
{
    QFile file(pathOf(className));
    if (className.trimmed().isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    std::vector<ClassListReader::Entry> entries;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype separator = line.indexOf(KeptSeparator);
        ClassListReader::Entry entry{(separator < 0 ? line : line.left(separator)).trimmed(), {}};
        if (entry.name.isEmpty())
            continue;
        // Written by this program; a value spoilt by hand leaves the pupil without extra time.
        if (separator >= 0)
            entry.extra = ExtraTime::parse(line.mid(separator + 1)).value_or(ExtraTime());
        entries.push_back(entry);
    }
    return entries;
}

ExtraTime ClassListStore::extraTimeOf(const QString &className, const QString &pupil) const
{
    const QString wanted = simplified(pupil);
    for (const ClassListReader::Entry &entry : entries(className)) {
        if (entry.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return entry.extra;
    }
    return {};
}

void ClassListStore::save(const QString &className, const QStringList &pupils)
{
    std::vector<ClassListReader::Entry> entries;
    for (const QString &pupil : pupils)
        entries.push_back({pupil, {}});
    saveEntries(className, entries);
}

void ClassListStore::saveEntries(const QString &className, const std::vector<ClassListReader::Entry> &entries)
{
    if (className.trimmed().isEmpty())
        throw AppError(tr("Donnez un nom à la classe."));
    if (!QDir().mkpath(m_folder))
        throw AppError(tr("Impossible de créer le dossier %1.").arg(QDir::toNativeSeparators(m_folder)));
    QByteArray bytes;
    for (const ClassListReader::Entry &entry : entries) {
        const QString name = simplified(entry.name);
        if (name.isEmpty())
            continue;
        bytes += name.toUtf8();
        if (!entry.extra.isNone())
            bytes += KeptSeparator.toLatin1() + entry.extra.text().toUtf8();
        bytes += '\n';
    }
    QcmFile::write(pathOf(className), bytes);
}

void ClassListStore::remove(const QString &className)
{
    QFile file(pathOf(className));
    if (file.exists() && !file.remove())
        throw AppError(tr("Impossible de supprimer la liste de la classe %1.").arg(className));
}
