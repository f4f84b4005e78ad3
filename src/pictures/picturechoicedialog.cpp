#include "pictures/picturechoicedialog.h"

#include "pictures/picturefilter.h"
#include "pictures/picturepreview.h"
#include "pictures/picturepreviewpane.h"
#include "pictures/previewwindow.h"
#include "platform/dialogparent.h"
#include "platform/screenfit.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PictureChoiceDialog::PictureChoiceDialog(const PictureRegistry &registry, QWidget *parent)
    : QFileDialog(parent, tr("Ouvrir"), QDir::currentPath()),
      m_preview(new PicturePreview(registry, this))
{
    // Qt's own dialog: a native one has no room for the preview column.
    setOption(QFileDialog::DontUseNativeDialog);
    // The captions are shown as written; the case-blind patterns stay hidden.
    setOption(QFileDialog::HideNameFilterDetails);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setNameFilter(qtPictureFilter(pictureOpenFilter()));
    setLabelText(QFileDialog::LookIn, tr("Regarder dans :"));
    setLabelText(QFileDialog::FileName, tr("Nom de fichier :"));
    setLabelText(QFileDialog::FileType, tr("Type :"));
    setLabelText(QFileDialog::Accept, tr("&Ouvrir"));
    setLabelText(QFileDialog::Reject, tr("Annuler"));
    createPreviewColumn();
    connect(this, &QFileDialog::currentChanged, this, &PictureChoiceDialog::selectionChanged);
    connect(m_preview, &PicturePreview::changed, this, &PictureChoiceDialog::updatePreviewControls);
    updatePreviewControls();
}

void PictureChoiceDialog::createPreviewColumn()
{
    auto *column = new QVBoxLayout;
    m_caption = new QLabel(this);
    m_pane = new PicturePreviewPane(*m_preview, this);
    m_previewButton = new QPushButton(tr("Prévisualiser"), this);
    connect(m_previewButton, &QPushButton::clicked, this, &PictureChoiceDialog::showPreviewWindow);
    column->addWidget(m_caption);
    column->addWidget(m_pane, 1);
    column->addWidget(m_previewButton);
    if (auto *grid = qobject_cast<QGridLayout *>(layout()))
        grid->addLayout(column, 0, grid->columnCount(), grid->rowCount(), 1);
    else
        layout()->addItem(column);
}

void PictureChoiceDialog::selectionChanged(const QString &path)
{
    m_preview->select(path);
    updatePreviewControls();
}

void PictureChoiceDialog::updatePreviewControls()
{
    m_caption->setText(m_preview->caption());
    m_previewButton->setEnabled(m_preview->canPreview());
    m_pane->update();
}

void PictureChoiceDialog::showPreviewWindow()
{
    if (Picture *picture = m_preview->holder().picture(); picture && m_preview->canPreview()) {
        PreviewWindow window(*picture, this);
        window.exec();
    }
}

QString PictureFileDialogs::askOpenFile(const QString &, const QString &fileName)
{
    PictureChoiceDialog dialog(m_registry, dialogParent(m_parent));
    if (!fileName.isEmpty() && !fileName.contains(QLatin1Char('*'))) {
        dialog.selectFile(fileName);
        // Selecting by program moves no current item, so the preview is told directly.
        dialog.preview().select(fileName);
    }
    // Qt's file dialog opens taller than a screen enlarged 200 % (its buttons below the edge).
    fitToScreen(dialog, dialog.sizeHint());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::toNativeSeparators(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
}

QString PictureFileDialogs::askSaveFile(const QString &qtFilter, const QString &fileName)
{
    return QFileDialog::getSaveFileName(dialogParent(m_parent), QString(), fileName, qtFilter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}
