#pragma once

#include "results/marksexport.h"

#include <QDialog>

class QCheckBox;
class QRadioButton;

// "Exporter les notes": which run of each pupil gives the mark (the latest or the best),
// whether unfinished runs count, and, when some kept marks are no longer what their answers are
// worth (a right answer mended since), whether to work every mark out again. A choice only
// shows when the class's runs make it a choice.
class MarksExportDialog : public QDialog
{
    Q_OBJECT

public:
    MarksExportDialog(const ResultsStatistics &statistics, QWidget *parent = nullptr);

    MarksExport::Options options() const;

    QRadioButton *LatestButton = nullptr;
    QRadioButton *BestButton = nullptr;
    QCheckBox *UnfinishedBox = nullptr; // nullptr when every run was finished
    QCheckBox *RecomputeBox = nullptr;  // nullptr when every kept mark stands
};
