#include "app/questionnaireprinting.h"

#include "document/picturelocation.h"
#include "platform/messageboxes.h"
#include "platform/printdialogs.h"
#include "platform/services.h"
#include "printing/papertest.h"

#include <QFileInfo>

void QuestionnairePrinting::print(const QString &fileName, const QStringList &document, Services &services,
                                  QWidget *parent)
{
    const MessageAnswer key =
        services.boxes.show(MessageIcon::Question, tr("Imprimer aussi le corrigé sur une dernière page ?"), MessageButtons::YesNoCancel);
    if (key == MessageAnswer::Cancel)
        return;
    const QString name = fileName.isEmpty() ? tr("Questionnaire") : QFileInfo(fileName).completeBaseName();
    PaperTest test(name, document, services.pictures, PictureLocation::folderOf(fileName));
    PrintJob job;
    job.documentName = name;
    job.marginsMillimetres = QMarginsF(15, 15, 15, 15);
    const bool answerKey = key == MessageAnswer::Yes;
    // Pictures that cannot be read are told before any paper is spent; those spoilt since, after.
    const auto tellPictureProblems = [&test, &services] {
        if (const QString problems = test.untoldPictureProblems(); !problems.isEmpty())
            services.boxes.warn(problems);
    };
    tellPictureProblems();
    services.printDialogs.preview(job, [&test, answerKey](PrintTarget &target) { test.print(target.device(), answerKey); }, parent);
    tellPictureProblems();
}
