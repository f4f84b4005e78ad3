#include "app/questionnaireprinting.h"

#include "document/picturelocation.h"
#include "platform/messageboxes.h"
#include "platform/printdialogs.h"
#include "platform/services.h"
#include "printing/papertest.h"

#include <QFileInfo>
#include <QPrinter>

void QuestionnairePrinting::print(const QString &fileName, const QStringList &document, Services &services,
                                  QWidget *parent)
{
    const MessageAnswer key =
        services.boxes.show(MessageIcon::Question, tr("Imprimer aussi le corrigé sur une dernière page ?"), MessageButtons::YesNoCancel);
    if (key == MessageAnswer::Cancel)
        return;
    const QString name = fileName.isEmpty() ? tr("Questionnaire") : QFileInfo(fileName).completeBaseName();
    PaperTest test(name, document, services.pictures, PictureLocation::folderOf(fileName));
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(name);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    const bool answerKey = key == MessageAnswer::Yes;
    // Pictures that cannot be read are told before any paper is spent; those spoilt since, after.
    const auto tellPictureProblems = [&test, &services] {
        if (const QString problems = test.untoldPictureProblems(); !problems.isEmpty())
            services.boxes.warn(problems);
    };
    tellPictureProblems();
    services.printDialogs.preview(printer, [&test, answerKey](QPrinter &target) { test.print(target, answerKey); }, parent);
    tellPictureProblems();
}
