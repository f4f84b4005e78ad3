#pragma once

#include "classroom/classtiming.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <vector>

// A class's pupils as school software exports them, read into "NOM Prénom" names: one pupil a
// line, or a table with Nom and Prénom columns (a Classe column or others beside them), with or
// without a header line, separated by semicolons, commas or tabulations, in UTF-8 or
// Windows-1252.
namespace ClassListReader {

// Names in the file's order, each once, blank lines and the header left out.
QStringList read(const QByteArray &bytes);

// A pupil of a list with what his support plan gives him.
struct Entry
{
    QString name;
    ExtraTime extra;
    bool operator==(const Entry &other) const { return name == other.name && extra == other.extra; }
};
// The same names with the "Temps majoré" column when the file has one; a value that is not
// an extra time leaves the pupil without it and says why in `problems` ("Ligne 4 : ...").
std::vector<Entry> readEntries(const QByteArray &bytes, QStringList *problems = nullptr);

// The lines of the class lists dialog, "NOM Prénom" or "NOM Prénom ; +33 %", and back. A bad
// extra time throws AppError naming the line.
std::vector<Entry> entriesOfText(const QString &text);
// One pupil of the table: `extraText` read as an extra time, a bad one throwing AppError that
// names the line ("Ligne 3 (DUPONT Marie) : ...").
Entry entryOf(const QString &name, const QString &extraText, int line);
QString textOf(const std::vector<Entry> &entries);

// What a teacher pastes into the class lists table: a file's table with its header, read as
// readEntries() reads it, or lines of a name followed, after a semicolon or a tabulation, by an
// extra time ("DUPONT;Marie;+33 %"). A last field meant as an extra time ("+", or a figure
// first) that is none leaves the pupil without it and says why in `problems`.
std::vector<Entry> entriesOfPaste(const QString &text, QStringList *problems = nullptr);

} // namespace ClassListReader

// The class lists kept on this computer, by the class's name ("4e B"), in the program's data
// folder. Pupils' names are personal data: they are stored nowhere else and go with remove().
class ClassListStore
{
    Q_DECLARE_TR_FUNCTIONS(ClassListStore)

public:
    explicit ClassListStore(QString folder);

    // Names of the kept classes, sorted as French readers sort them.
    QStringList classNames() const;
    // The pupils of a kept class; empty when there is no such class.
    QStringList pupils(const QString &className) const;
    // Keeps (or replaces) a class. Throws AppError with a French reason when it cannot be
    // written, or when the class has no name.
    void save(const QString &className, const QStringList &pupils);
    // The pupils with their extra time ("Temps majoré"), as kept.
    std::vector<ClassListReader::Entry> entries(const QString &className) const;
    // The extra time of `pupil` in the class, none when he has none or is not in it.
    ExtraTime extraTimeOf(const QString &className, const QString &pupil) const;
    // Keeps a class with its extra times. A list with no extra time is written as save() writes it.
    void saveEntries(const QString &className, const std::vector<ClassListReader::Entry> &entries);
    // Throws AppError when the file cannot be removed.
    void remove(const QString &className);

    const QString &folder() const { return m_folder; }

private:
    QString pathOf(const QString &className) const;

    QString m_folder;
};
