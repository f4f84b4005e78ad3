#pragma once

#include <QString>

// The file-open and file-save dialogs. Filters are written as the program's menus give them
// ("Questionnaire (*.qcm)|*.qcm") and converted to Qt's form before a dialog sees them.
// A confirmed open dialog leaves the chosen file's folder current, so that bare picture names
// written in a questionnaire are found beside it; a save dialog leaves the current folder alone.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;

    // What a confirmed open dialog does to the current folder.
    enum class Folder { MakeCurrent, KeepCurrent };

    // The chosen path, or an empty text when the author cancelled. A file that is no
    // questionnaire (a results file) keeps the current folder: the open questionnaire's
    // pictures are looked for there.
    QString openFile(const QString &filter, const QString &fileName, Folder folder = Folder::MakeCurrent);
    QString saveFile(const QString &filter, const QString &fileName);
    // Also gives the file type chosen in the dialog's list (0 for the first), for commands whose
    // file types are formats.
    QString saveFile(const QString &filter, const QString &fileName, int &fileType);

protected:
    virtual QString askOpenFile(const QString &qtFilter, const QString &fileName) = 0;
    virtual QString askSaveFile(const QString &qtFilter, const QString &fileName) = 0;
    // Dialogs that offer no choice of type keep this one.
    virtual QString askSaveFileAndType(const QString &qtFilter, const QString &fileName, int &fileType)
    {
        fileType = 0;
        return askSaveFile(qtFilter, fileName);
    }
};

// "Tout (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp" -> "Tout (*.bmp *.ico);;Bitmaps (*.bmp)":
// each description keeps its words, and its patterns are the ones after its "|".
QString qtFileFilter(const QString &pipeFilter);
