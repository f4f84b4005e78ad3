#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

// A class's pupils as school software exports them, read into "NOM Prénom" names: one pupil a
// line, or a table with Nom and Prénom columns (a Classe column or others beside them), with or
// without a header line, separated by semicolons, commas or tabulations, in UTF-8 or
// Windows-1252.
namespace ClassListReader {

// Names in the file's order, each once, blank lines and the header left out.
QStringList read(const QByteArray &bytes);

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
    // Throws AppError when the file cannot be removed.
    void remove(const QString &className);

    const QString &folder() const { return m_folder; }

private:
    QString pathOf(const QString &className) const;

    QString m_folder;
};
