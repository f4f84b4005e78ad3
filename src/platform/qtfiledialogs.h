#pragma once

#include "platform/filedialogs.h"

class QWidget;

// Real modal file dialogs, labelled in French whatever language Qt was installed with.
class QtFileDialogs : public FileDialogs
{
public:
    explicit QtFileDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

protected:
    QString askOpenFile(const QString &qtFilter, const QString &fileName) override;
    QString askSaveFile(const QString &qtFilter, const QString &fileName) override;
    QString askSaveFileAndType(const QString &qtFilter, const QString &fileName, int &fileType) override;

private:
    QString ask(bool saving, const QString &qtFilter, const QString &fileName, int *fileType = nullptr);

    QWidget *m_parent;
};
