#include "platform/scriptedfiledialogs.h"

QString ScriptedFileDialogs::askOpenFile(const QString &qtFilter, const QString &fileName)
{
    return answer(Kind::Open, qtFilter, fileName);
}

QString ScriptedFileDialogs::askSaveFile(const QString &qtFilter, const QString &fileName)
{
    return answer(Kind::Save, qtFilter, fileName);
}

QString ScriptedFileDialogs::askSaveFileAndType(const QString &qtFilter, const QString &fileName, int &fileType)
{
    return answer(Kind::Save, qtFilter, fileName, &fileType);
}

QString ScriptedFileDialogs::answer(Kind kind, const QString &qtFilter, const QString &fileName, int *fileType)
{
    m_shown.append({kind, qtFilter, fileName});
    if (m_answers.isEmpty()) {
        ++m_unexpected;
        return QString();
    }
    const int type = m_fileTypes.takeFirst();
    if (fileType)
        *fileType = type;
    return m_answers.takeFirst();
}
