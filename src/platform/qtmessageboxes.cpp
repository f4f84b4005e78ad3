#include "platform/qtmessageboxes.h"

#include "platform/detailsmessagebox.h"
#include "platform/dialogparent.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>

namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Stop: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QString captionFor(MessageIcon icon)
{
    return icon == MessageIcon::Warning ? QApplication::tr("Avertissement") : QApplication::applicationDisplayName();
}

} // namespace

void QtMessageBoxes::showDetails(MessageIcon icon, const QString &text, const QString &details)
{
    if (details.isEmpty()) {
        show(icon, text, MessageButtons::Ok);
        return;
    }
    DetailsMessageBox box(toQtIcon(icon), captionFor(icon), text, details, dialogParent(m_parent));
    box.exec();
}

MessageAnswer QtMessageBoxes::show(MessageIcon icon, const QString &text, MessageButtons buttons)
{
    return ask(icon, text, QString(), buttons, firstAnswer(buttons));
}

MessageAnswer QtMessageBoxes::showWithDefault(MessageIcon icon, const QString &text, MessageButtons buttons,
                                              MessageAnswer defaultAnswer)
{
    return ask(icon, text, QString(), buttons, defaultAnswer);
}

MessageAnswer QtMessageBoxes::showInformative(MessageIcon icon, const QString &text, const QString &informativeText,
                                              MessageButtons buttons)
{
    return ask(icon, text, informativeText, buttons, firstAnswer(buttons));
}

MessageAnswer QtMessageBoxes::ask(MessageIcon icon, const QString &text, const QString &informativeText,
                                  MessageButtons buttons, MessageAnswer defaultAnswer)
{
    QMessageBox box(toQtIcon(icon), captionFor(icon), text, QMessageBox::NoButton, dialogParent(m_parent));
    // Written as markup that shows the text as it is: a title holding "<b>" is not made bold.
    if (!informativeText.isEmpty())
        box.setInformativeText(Qt::convertFromPlainText(informativeText, Qt::WhiteSpaceNormal));

    QPushButton *ok = nullptr;
    QPushButton *yes = nullptr;
    QPushButton *no = nullptr;
    QPushButton *cancel = nullptr;
    if (buttons == MessageButtons::Ok) {
        ok = box.addButton(QApplication::tr("OK"), QMessageBox::AcceptRole);
        box.setEscapeButton(ok);
    } else if (buttons == MessageButtons::OkCancel) {
        ok = box.addButton(QApplication::tr("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QApplication::tr("Annuler"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        yes = box.addButton(QApplication::tr("&Oui"), QMessageBox::YesRole);
        no = box.addButton(QApplication::tr("&Non"), QMessageBox::NoRole);
        if (buttons == MessageButtons::YesNoCancel) {
            cancel = box.addButton(QApplication::tr("Annuler"), QMessageBox::RejectRole);
            box.setEscapeButton(cancel);
        } else {
            box.setEscapeButton(no);
        }
    }
    // In the order of MessageAnswer; an answer the box does not offer leaves its first button.
    QPushButton *const byAnswer[] = {ok, yes, no, cancel};
    QPushButton *preferred = byAnswer[int(defaultAnswer)];
    box.setDefaultButton(preferred ? preferred : ok ? ok : yes);
    box.exec();

    const QAbstractButton *clicked = box.clickedButton();
    if (clicked == yes && yes)
        return MessageAnswer::Yes;
    if (clicked == no && no)
        return MessageAnswer::No;
    if (clicked == cancel && cancel)
        return MessageAnswer::Cancel;
    if (clicked == ok && ok)
        return MessageAnswer::Ok;
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}
