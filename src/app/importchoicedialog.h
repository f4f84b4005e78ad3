#pragma once

#include "document/exchange/importchooser.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QRadioButton;

// "Importer": which of the file's categories come in, and whether the questions follow the open
// questionnaire's or make a new one. Each part shows only when there is a choice to make.
class ImportChoiceDialog : public QDialog, public ImportChooser
{
    Q_OBJECT

public:
    explicit ImportChoiceDialog(QWidget *parent = nullptr);

    std::optional<ImportChoice> choose(const QList<QuestionExchange::FoundCategory> &categories,
                                       bool canAppend) override;

    QLabel *CategoryLabel = nullptr;
    QComboBox *CategoryBox = nullptr;
    QGroupBox *TargetBox = nullptr;
    QRadioButton *NewButton = nullptr;
    QRadioButton *AppendButton = nullptr;
    QDialogButtonBox *Buttons = nullptr;

private:
    void createControls();
};
