#pragma once

#include "classroom/classlist.h"

#include <QDialog>

#include <vector>

class ClassListStore;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
struct Services;

// "Listes de classe": the class lists kept on this computer. A list is imported from the file
// school software exports or pasted, corrected by hand in a table of one pupil a row with his
// "Temps majoré", kept under the class's name and deleted from here too.
class ClassListDialog : public QDialog
{
    Q_OBJECT

public:
    ClassListDialog(ClassListStore &store, Services &services, QWidget *parent = nullptr);

    QListWidget *ClassList = nullptr;
    QLineEdit *ClassNameEdit = nullptr;
    // One pupil a row: his name, then his extra time; the last row is always blank, for the next.
    QTableWidget *PupilsTable = nullptr;
    QLabel *CountLabel = nullptr;
    QPushButton *ImportButton = nullptr;
    QPushButton *SaveButton = nullptr;
    QPushButton *DeleteButton = nullptr;
    QPushButton *RemovePupilButton = nullptr;

    enum Column { NameColumn, ExtraTimeColumn };

    // Pupils as the table holds them, rows in order; throws AppError naming the row of an extra
    // time that is none.
    std::vector<ClassListReader::Entry> entries() const;
    void setEntries(const std::vector<ClassListReader::Entry> &entries);
    // Lines from the clipboard, from the current row on (rows below are not overwritten).
    void paste(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void showClass();
    void importFile();
    void saveClass();
    void deleteClass();
    void countPupils();
    void removePupils();
    void cellEdited();

private:
    void keepBlankRowLast();
    void listClasses(const QString &current);

    ClassListStore &m_store;
    Services &m_services;
};
