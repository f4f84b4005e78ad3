#pragma once

#include <QDialog>

class FileDialogs;
class QLabel;
class QLineEdit;
class QPushButton;

// The small dialog before results are kept or printed: the pupil's name (optional) and, when
// the results are kept, the file they go to, which "Autre &fichier..." changes.
class PupilNameDialog : public QDialog
{
    Q_OBJECT

public:
    // An empty `resultsPath` hides the file line (printing).
    PupilNameDialog(FileDialogs &dialogs, const QString &name, const QString &resultsPath, QWidget *parent = nullptr);

    QString name() const;
    const QString &resultsPath() const { return m_resultsPath; }

    // The save dialog for a results file, `proposed` shown first; the chosen path ends in
    // ".csv", empty when cancelled.
    static QString askResultsFile(FileDialogs &dialogs, const QString &proposed);

    QLineEdit *NameEdit = nullptr;
    QLabel *FileLabel = nullptr;
    QPushButton *FileButton = nullptr;

private Q_SLOTS:
    void chooseFile();

private:
    void showPath();

    FileDialogs &m_dialogs;
    QString m_resultsPath;
};
