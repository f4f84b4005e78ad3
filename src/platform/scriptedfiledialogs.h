#pragma once

#include "platform/filedialogs.h"

#include <QList>
#include <QString>

// File dialogs for tests: each dialog takes the next scripted answer (an empty text cancels)
// and records what it was shown. A dialog without a scripted answer is cancelled and counted.
class ScriptedFileDialogs : public FileDialogs
{
public:
    enum class Kind { Open, Save };
    struct Shown
    {
        Kind kind;
        QString filter;
        QString fileName;
    };

    // `fileType` is the type chosen in the list, for the dialogs that say it.
    void script(const QString &answer, int fileType = 0)
    {
        m_answers.append(answer);
        m_fileTypes.append(fileType);
    }
    const QList<Shown> &shown() const { return m_shown; }
    int unexpected() const { return m_unexpected; }
    int pendingAnswers() const { return int(m_answers.size()); }

protected:
    QString askOpenFile(const QString &qtFilter, const QString &fileName) override;
    QString askSaveFile(const QString &qtFilter, const QString &fileName) override;
    QString askSaveFileAndType(const QString &qtFilter, const QString &fileName, int &fileType) override;

private:
    QString answer(Kind kind, const QString &qtFilter, const QString &fileName, int *fileType = nullptr);

    QList<QString> m_answers;
    QList<int> m_fileTypes;
    QList<Shown> m_shown;
    int m_unexpected = 0;
};
