#include "platform/qtfiledialogs.h"

#include "platform/dialogparent.h"
#include "platform/screenfit.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

QString QtFileDialogs::askOpenFile(const QString &qtFilter, const QString &fileName)
{
    return ask(false, qtFilter, fileName);
}

QString QtFileDialogs::askSaveFile(const QString &qtFilter, const QString &fileName)
{
    return ask(true, qtFilter, fileName);
}

QString QtFileDialogs::askSaveFileAndType(const QString &qtFilter, const QString &fileName, int &fileType)
{
    return ask(true, qtFilter, fileName, &fileType);
}

QString QtFileDialogs::ask(bool saving, const QString &qtFilter, const QString &fileName, int *fileType)
{
    QFileDialog dialog(dialogParent(m_parent), saving ? QApplication::tr("Enregistrer sous") : QApplication::tr("Ouvrir"),
                       QDir::currentPath(), qtFilter);
    // Qt's own dialog, so that the French labels below are the ones shown, and no overwrite
    // question of its own: the caller asks its own, on the name that will really be written.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::LookIn, QApplication::tr("Regarder dans :"));
    dialog.setLabelText(QFileDialog::FileName, QApplication::tr("Nom de fichier :"));
    dialog.setLabelText(QFileDialog::FileType, QApplication::tr("Type :"));
    dialog.setLabelText(QFileDialog::Accept, saving ? QApplication::tr("&Enregistrer") : QApplication::tr("&Ouvrir"));
    dialog.setLabelText(QFileDialog::Reject, QApplication::tr("Annuler"));
    // A name with wildcards only repeats the filter; anything else is offered as the choice.
    if (!fileName.contains(QLatin1Char('*')) && !fileName.contains(QLatin1Char('?')))
        dialog.selectFile(fileName);
    // Qt opens it taller than a screen enlarged 200 % (its buttons below the edge).
    fitToScreen(dialog, dialog.sizeHint());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (fileType)
        *fileType = int(std::max<qsizetype>(0, qtFilter.split(QStringLiteral(";;")).indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().constFirst();
}
