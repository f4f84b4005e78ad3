#pragma once

#include <QDialog>

class ClassListStore;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
struct Services;

// "Listes de classe": the class lists kept on this computer. A list is imported from the file
// school software exports, corrected by hand (one pupil a line), kept under the class's name
// and deleted from here too.
class ClassListDialog : public QDialog
{
    Q_OBJECT

public:
    ClassListDialog(ClassListStore &store, Services &services, QWidget *parent = nullptr);

    QListWidget *ClassList = nullptr;
    QLineEdit *ClassNameEdit = nullptr;
    QPlainTextEdit *PupilsEdit = nullptr;
    QLabel *CountLabel = nullptr;
    QPushButton *ImportButton = nullptr;
    QPushButton *SaveButton = nullptr;
    QPushButton *DeleteButton = nullptr;

private Q_SLOTS:
    void showClass();
    void importFile();
    void saveClass();
    void deleteClass();
    void countPupils();

private:
    QStringList pupils() const;
    void listClasses(const QString &current);

    ClassListStore &m_store;
    Services &m_services;
};
