#pragma once

#include "classroom/classlist.h"
#include "results/marksexport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QRadioButton;

// "Exporter les notes": the class list whose order the file follows (the one that holds most of
// the pupils of the copies is offered first), which copy of each pupil gives the mark, what a
// pupil without a copy gets, whether unfinished runs count, and, when some kept marks are no
// longer what their answers are worth (a right answer mended since), whether to work every mark
// out again. A choice only shows when the class's runs make it a choice.
class MarksExportDialog : public QDialog
{
    Q_OBJECT

public:
    MarksExportDialog(const ResultsStatistics &statistics, const ClassListStore &classLists, QWidget *parent = nullptr);
    // Without class lists to choose from.
    explicit MarksExportDialog(const ResultsStatistics &statistics, QWidget *parent = nullptr);

    MarksExport::Options options() const;

    QComboBox *ClassListBox = nullptr;  // its first item: no list
    QRadioButton *LatestButton = nullptr;
    QRadioButton *BestButton = nullptr;
    QRadioButton *MeanButton = nullptr;
    QCheckBox *AbsentBox = nullptr;     // "ABS" for a listed pupil without a copy, else nothing
    QCheckBox *UnfinishedBox = nullptr; // nullptr when every run was finished
    QCheckBox *RecomputeBox = nullptr;  // nullptr when every kept mark stands

private:
    void createClassListChoice(const ResultsStatistics &statistics);

    ClassListStore m_classLists;
};
