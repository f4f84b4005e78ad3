#include "platform/scriptedfiledialogs.h"

QString ScriptedFileDialogs::askOpenFile(const QString &qtFilter, const QString &fileName)
{
    return answer(Kind::Open, qtFilter, fileName);
}

QString ScriptedFileDialogs::askSaveFile(const QString &qtFilter, const QString &fileName)
{
    return answer(Kind::Save, qtFilter, fileName);
}

QString ScriptedFileDialogs::answer(Kind kind, const QString &qtFilter, const QString &fileName)
{
    m_shown.append({kind, qtFilter, fileName});
    if (m_answers.isEmpty()) {
        ++m_unexpected;
        return QString();
    }
    return m_answers.takeFirst();
}
