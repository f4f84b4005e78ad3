#pragma once

#include "platform/messageboxes.h"

class QWidget;

// Real modal message boxes: French captions ("Avertissement" for warnings, the application
// title otherwise) and French buttons, whatever language Qt itself was built with.
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget *parent) { m_parent = parent; }
    MessageAnswer show(MessageIcon icon, const QString &text, MessageButtons buttons) override;
    MessageAnswer showWithDefault(MessageIcon icon, const QString &text, MessageButtons buttons,
                                  MessageAnswer defaultAnswer) override;
    MessageAnswer showInformative(MessageIcon icon, const QString &text, const QString &informativeText,
                                  MessageButtons buttons) override;
    void showDetails(MessageIcon icon, const QString &text, const QString &details) override;

private:
    MessageAnswer ask(MessageIcon icon, const QString &text, const QString &informativeText, MessageButtons buttons,
                      MessageAnswer defaultAnswer);

    QWidget *m_parent;
};
