#pragma once

#include "printing/copygeometry.h"

#include <QDialog>

class ClassListStore;
class QComboBox;
class QRadioButton;
class QSpinBox;

// What to print for a test marked from scans: the layout, and either numbered copies or one
// per pupil of a kept class list.
class CopiesDialog : public QDialog
{
    Q_OBJECT

public:
    CopiesDialog(const ClassListStore &classLists, QWidget *parent = nullptr);

    CopyLayout layout() const;
    // 0 when copies go to a class list's pupils.
    int count() const;
    // The class chosen, empty for numbered copies.
    QString className() const;

    QRadioButton *BesideRadio = nullptr;
    QRadioButton *SheetRadio = nullptr;
    QRadioButton *NumberedRadio = nullptr;
    QSpinBox *CountSpin = nullptr;
    QRadioButton *ClassRadio = nullptr;
    QComboBox *ClassCombo = nullptr;

private:
    void createControls(const ClassListStore &classLists);
    void createLayout();
    void enableChoices();
};
