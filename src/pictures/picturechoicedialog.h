#pragma once

#include "platform/filedialogs.h"

#include <QFileDialog>

class PictureRegistry;
class PicturePreview;
class PicturePreviewPane;
class QLabel;
class QPushButton;

// The picture-open dialog: Qt's file dialog with the picture file types and a preview column
// (caption, pane, "Prévisualiser" button) that follows the selection.
class PictureChoiceDialog : public QFileDialog
{
    Q_OBJECT

public:
    PictureChoiceDialog(const PictureRegistry &registry, QWidget *parent = nullptr);

    PicturePreview &preview() { return *m_preview; }
    QLabel *captionLabel() const { return m_caption; }
    QPushButton *previewButton() const { return m_previewButton; }
    PicturePreviewPane *previewPane() const { return m_pane; }

private Q_SLOTS:
    void selectionChanged(const QString &path);
    void showPreviewWindow();

private:
    void createPreviewColumn();
    void updatePreviewControls();

    PicturePreview *m_preview;
    QLabel *m_caption = nullptr;
    PicturePreviewPane *m_pane = nullptr;
    QPushButton *m_previewButton = nullptr;
};

// The real picture choice, behind the FileDialogs interface so that the question sheet's
// tests script it like any open dialog. A confirmed choice makes the file's folder current.
class PictureFileDialogs : public FileDialogs
{
public:
    PictureFileDialogs(const PictureRegistry &registry, QWidget *parent = nullptr)
        : m_registry(registry), m_parent(parent)
    {
    }

protected:
    // The filter given is ignored: the dialog always offers the picture file types.
    QString askOpenFile(const QString &qtFilter, const QString &fileName) override;
    // Pictures are never saved by the program; a plain save dialog serves if one is asked.
    QString askSaveFile(const QString &qtFilter, const QString &fileName) override;

private:
    const PictureRegistry &m_registry;
    QWidget *m_parent;
};
