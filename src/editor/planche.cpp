#include "editor/planche.h"

#include "document/correction.h"

#include "document/picturepaths.h"
#include "editor/finddialog.h"
#include "editor/fixchemin.h"
#include "editor/pageliste.h"
#include "editor/replacedialog.h"
#include "pictures/imageframe.h"
#include "pictures/picturefilter.h"
#include "platform/accessiblenames.h"
#include "platform/desktopconventions.h"
#include "platform/errorguard.h"
#include "platform/filedialogs.h"
#include "platform/messageboxes.h"
#include "platform/pagescrollarea.h"
#include "platform/services.h"
#include "runner/qcm.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel *captionLabel(const QString &name, const QString &text, int pixels, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(designFont(QStringLiteral("MS Sans Serif"), pixels));
    return label;
}

bool isQuestionClipboardKey(const QKeyEvent *key)
{
    // Ctrl+C and Ctrl+V copy and paste the whole question even from inside a field: the field
    // must not claim them before the menu shortcuts see them.
    if (key->modifiers() != Qt::ControlModifier)
        return false;
    return key->key() == Qt::Key_C || key->key() == Qt::Key_V;
}

// PgDn and PgUp change the question whatever the modifiers: from the keypad (NumLock off), with
// Shift or Ctrl held, they would otherwise select or scroll in the field instead.
bool isSheetKey(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp)
        return true;
    return key->modifiers() == Qt::NoModifier;
}

// Ctrl+Z takes back the typing of the field first, as in any editor; only a field with nothing
// of its own to take back lets the key through to "Annuler".
bool fieldHasOwnUndo(QObject *field)
{
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(field))
        field = spin->findChild<QLineEdit *>();
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        return edit->isUndoAvailable();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(field))
        return memo->document()->isUndoAvailable();
    return false;
}

constexpr int AnswerTops[] = {320, 352, 384, 416, 448};
// Below the design's last answer: "Plusieurs bonnes réponses", then one comment per answer.
constexpr int SeveralTop = 486;
constexpr int FeedbackCaptionTop = 516;
constexpr int FeedbackTops[] = {540, 568, 596, 624, 652};
constexpr int PageHeight = 688;
// The answers' captions are Label2, Label3, Label5, Label6 and Label7 on the design.
constexpr int AnswerLabelNumbers[] = {2, 3, 5, 6, 7};

} // namespace

const QString TPlanche::PictureFilter = pictureOpenFilter();

TPlanche::TPlanche(Services &services, QWidget *parent)
    : QWidget(parent),
      m_boxes(services.boxes),
      m_pictureDialogs(services.pictureDialogs),
      m_store(*this, services.boxes),
      m_search(m_store, services.boxes)
{
    setFont(designFont(QStringLiteral("MS Sans Serif"), 16));
    setAutoFillBackground(true);
    createPage();
    createControls();
    Image1 = new ImageFrame(services.pictures, services.boxes, Panel2);
    Image1->setCenter(true);
    Image1->setStretch(true);
    Panel2->layout()->addWidget(Image1);
    createAnswerRows();
    createChoiceControls();
    setFieldTabOrder();
    connectChangeHandlers();
    watchFieldKeys();
    m_store.setUndoListener([this](bool available) { Q_EMIT undoAvailable(available); });
    resize(DesignWidth, DesignHeight);
    Edit1->setFocus();
}

void TPlanche::createPage()
{
    // The controls keep their design places on a page that scrolls when the sheet is smaller.
    m_page = new QWidget;
    m_page->setObjectName(QStringLiteral("Page"));
    m_page->setMinimumSize(DesignWidth, PageHeight);
    m_page->installEventFilter(this);
    m_scroll = new PageScrollArea(m_page, PageScrollArea::Fit::GrowWithArea, this);
}

void TPlanche::createControls()
{
    Label1 = captionLabel(QStringLiteral("Label1"), tr("Titre"), 24, m_page);
    Label1->setGeometry(14, 38, 50, 29);

    Edit1 = new QLineEdit(m_page);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    AccessibleNames::setCaption(Edit1, Label1);
    Edit1->setGeometry(82, 37, 559, 30);
    plainTitle();
    // The file keeps 255 characters of a title; a longer one would be cut on the next reading.
    Edit1->setMaxLength(QcmFormat::MaxFieldLength);

    Panel1 = new QLabel(tr("Question 1"), m_page);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(656, 5, 101, 31);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    Panel2 = new QFrame(m_page);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    AccessibleNames::setName(Panel2, tr("Image"));
    Panel2->setGeometry(24, 88, 281, 217);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *frameLayout = new QVBoxLayout(Panel2);
    frameLayout->setContentsMargins(1, 1, 1, 1);

    Memo1 = new QPlainTextEdit(m_page);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    AccessibleNames::setName(Memo1, tr("Texte libre"));
    Memo1->setGeometry(384, 80, 321, 177);
    Memo1->setFont(designFont(QStringLiteral("Arial"), 16));
    Memo1->setTabChangesFocus(true);

    Button1 = new QPushButton(tr("Choisir image"), m_page);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(384, 272, 113, 28);

    Label4 = captionLabel(QStringLiteral("Label4"), tr("Bonne réponse"), 19, m_page);
    Label4->move(520, 272);
    Label4->adjustSize();

    SpinEdit1 = new QSpinBox(m_page);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    AccessibleNames::setCaption(SpinEdit1, Label4);
    SpinEdit1->setGeometry(664, 272, 57, 31);
    SpinEdit1->setRange(1, QcmFormat::AnswerCount);
    SpinEdit1->setValue(1);
}

void TPlanche::createAnswerRows()
{
    for (int i = 0; i < QcmFormat::AnswerCount; ++i) {
        QLabel *label = captionLabel(QStringLiteral("Label%1").arg(AnswerLabelNumbers[i]), tr("Réponse %1").arg(i + 1), 19, m_page);
        label->move(16, AnswerTops[i]);
        label->adjustSize();
        answerLabels[size_t(i)] = label;

        auto *edit = new QLineEdit(m_page);
        edit->setObjectName(QStringLiteral("Edit%1").arg(i + 2));
        AccessibleNames::setCaption(edit, label);
        edit->setGeometry(120, AnswerTops[i], 569, 26);
        edit->setFont(designFont(QStringLiteral("Arial"), 16));
        edit->setMaxLength(QcmFormat::MaxFieldLength);
        answerEdits[size_t(i)] = edit;
    }
}

void TPlanche::createChoiceControls()
{
    SeveralRight = new QCheckBox(tr("Plusieurs bonnes réponses"), m_page);
    SeveralRight->setObjectName(QStringLiteral("SeveralRight"));
    SeveralRight->setGeometry(16, SeveralTop, 260, 24);

    LineLimit = new QLabel(m_page);
    LineLimit->setObjectName(QStringLiteral("LineLimit"));
    LineLimit->setGeometry(290, SeveralTop, 470, 24);
    QPalette warning = LineLimit->palette();
    warning.setColor(QPalette::WindowText, QColor(0xa0, 0x10, 0x10));
    LineLimit->setPalette(warning);
    LineLimit->hide();

    FeedbackCaption = new QLabel(tr("Commentaire montré à l'élève qui a choisi la réponse :"), m_page);
    FeedbackCaption->setObjectName(QStringLiteral("FeedbackCaption"));
    FeedbackCaption->move(16, FeedbackCaptionTop);
    FeedbackCaption->adjustSize();

    for (int i = 0; i < QcmFormat::AnswerCount; ++i) {
        auto *box = new QCheckBox(m_page);
        box->setObjectName(QStringLiteral("RightBox%1").arg(i + 1));
        AccessibleNames::setName(box, tr("Réponse %1 juste").arg(i + 1));
        box->setGeometry(697, AnswerTops[i] + 2, 22, 22);
        box->hide();
        rightBoxes[size_t(i)] = box;

        // Not "Réponse n" again: that caption names the answer's own box.
        QLabel *label = captionLabel(QStringLiteral("FeedbackLabel%1").arg(i + 1), tr("Commentaire %1").arg(i + 1), 14, m_page);
        label->move(16, FeedbackTops[i] + 4);
        label->adjustSize();
        feedbackLabels[size_t(i)] = label;

        auto *edit = new QLineEdit(m_page);
        edit->setObjectName(QStringLiteral("Feedback%1").arg(i + 1));
        AccessibleNames::setCaption(edit, label);
        edit->setGeometry(120, FeedbackTops[i], 569, 26);
        edit->setFont(designFont(QStringLiteral("Arial"), 16));
        edit->setMaxLength(QcmFormat::MaxFieldLength);
        feedbackEdits[size_t(i)] = edit;
    }
}

void TPlanche::setFieldTabOrder()
{
    // Title, free text, answers 1 to 5, right answer, "Choisir image"; the two panels take no
    // focus of their own.
    QList<QWidget *> order{Edit1, Memo1};
    for (QLineEdit *edit : answerEdits)
        order.append(edit);
    order.append(SpinEdit1);
    order.append(Button1);
    // Then what lies below the design's controls, top to bottom; the answers' boxes are
    // reached only while they are shown.
    order.append(SeveralRight);
    for (QCheckBox *box : rightBoxes)
        order.append(box);
    for (QLineEdit *edit : feedbackEdits)
        order.append(edit);
    for (int i = 0; i + 1 < int(order.size()); ++i)
        setTabOrder(order.at(i), order.at(i + 1));
    Panel1->setFocusPolicy(Qt::NoFocus);
    Panel2->setFocusPolicy(Qt::NoFocus);
    Image1->setFocusPolicy(Qt::NoFocus);
}

void TPlanche::connectChangeHandlers()
{
    connect(Edit1, &QLineEdit::textChanged, this, &TPlanche::Edit1Change);
    for (QLineEdit *edit : answerEdits)
        connect(edit, &QLineEdit::textChanged, this, &TPlanche::Edit1Change);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TPlanche::SpinEdit1Change);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TPlanche::Memo1Change);
    connect(Button1, &QPushButton::clicked, this, &TPlanche::chooseGuardedPicture);
    connect(SeveralRight, &QCheckBox::clicked, this, [this](bool several) {
        RightState state;
        state.several = several;
        if (several)
            state.ticked[size_t(SpinEdit1->value() - 1)] = true;
        changeRightState(state);
    });
    for (int i = 0; i < QcmFormat::AnswerCount; ++i) {
        connect(rightBoxes[size_t(i)], &QCheckBox::clicked, this, [this, i](bool ticked) {
            RightState state = m_rightState;
            state.ticked[size_t(i)] = ticked;
            changeRightState(state);
        });
        connect(feedbackEdits[size_t(i)], &QLineEdit::textChanged, this, &TPlanche::Edit1Change);
        connect(feedbackEdits[size_t(i)], &QLineEdit::textChanged, this, &TPlanche::updateLineLimit);
    }
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TPlanche::updateLineLimit);
}

QList<QWidget *> TPlanche::fieldWidgets() const
{
    QList<QWidget *> fields{Edit1, Memo1, SpinEdit1, Button1, SeveralRight};
    for (QLineEdit *edit : answerEdits)
        fields.append(edit);
    for (QCheckBox *box : rightBoxes)
        fields.append(box);
    for (QLineEdit *edit : feedbackEdits)
        fields.append(edit);
    return fields;
}

void TPlanche::watchFieldKeys()
{
    for (QWidget *field : fieldWidgets())
        field->installEventFilter(this);
}

// SheetFields

QuestionFields TPlanche::fields() const
{
    QuestionFields fields;
    fields.title = Edit1->text();
    for (int i = 0; i < QcmFormat::AnswerCount; ++i)
        fields.answers[size_t(i)] = answerEdits[size_t(i)]->text();
    const AnswerChoices::Choices chosen = choices();
    fields.rightAnswer = chosen.firstRight(SpinEdit1->value());
    fields.freeText = AnswerChoices::write(memoLines(), chosen);
    return fields;
}

QStringList TPlanche::memoLines() const
{
    QString text = Memo1->toPlainText();
    if (text.isEmpty())
        return {};
    // A line break after the last line does not make an empty line of its own.
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

AnswerChoices::Choices TPlanche::choices() const
{
    AnswerChoices::Choices chosen;
    if (m_rightState.several)
        chosen.right = m_rightState.ticked;
    for (int i = 0; i < QcmFormat::AnswerCount; ++i)
        chosen.feedback[size_t(i)] = feedbackEdits[size_t(i)]->text();
    return chosen;
}

void TPlanche::setFields(const QuestionFields &fields)
{
    Edit1->setText(fields.title);
    for (int i = 0; i < QcmFormat::AnswerCount; ++i)
        answerEdits[size_t(i)]->setText(fields.answers[size_t(i)]);
    SpinEdit1->setValue(fields.rightAnswer); // the spin box keeps it within 1 to 5
    const AnswerChoices::Split split = AnswerChoices::read(fields.freeText, SpinEdit1->value());
    for (int i = 0; i < QcmFormat::AnswerCount; ++i)
        feedbackEdits[size_t(i)]->setText(split.choices.feedback[size_t(i)]);
    showRightState({split.choices.several(), split.choices.right});
    Memo1->setPlainText(split.freeText.join(QLatin1Char('\n')));
}

void TPlanche::showRightState(const RightState &state)
{
    m_rightState = state;
    SeveralRight->setChecked(state.several);
    for (int i = 0; i < QcmFormat::AnswerCount; ++i) {
        rightBoxes[size_t(i)]->setChecked(state.several && state.ticked[size_t(i)]);
        rightBoxes[size_t(i)]->setVisible(state.several);
    }
    // The spin box holds the first right answer, what the "REPONSE " line keeps; the boxes
    // say which answers are right while there are several.
    const auto first = std::find(state.ticked.cbegin(), state.ticked.cend(), true);
    if (state.several && first != state.ticked.cend())
        SpinEdit1->setValue(int(first - state.ticked.cbegin()) + 1);
    SpinEdit1->setEnabled(!state.several);
    updateLineLimit();
}

void TPlanche::changeRightState(RightState state)
{
    const RightState after = state;
    const RightState shown = m_rightState;
    // The click already shows on the boxes; the command keeps the question as it was before it.
    showRightState(shown);
    const QuestionFields before = fields();
    showRightState(after);
    // One tick alone is still the same one-answer question: nothing to take back.
    if (fields() == before)
        return;
    showRightState(shown);
    m_store.sheetCommand([this, after] { showRightState(after); });
}

void TPlanche::updateLineLimit()
{
    if (!LineLimit)
        return;
    const int count = AnswerChoices::lineCount(memoLines(), choices());
    if (count < QcmFormat::MaxFreeTextLines) {
        LineLimit->hide();
        return;
    }
    LineLimit->setText(count == QcmFormat::MaxFreeTextLines
                           ? tr("Texte libre : 12 lignes sur 12, bonnes réponses et commentaires compris.")
                           : tr("Texte libre : %1 lignes. Au-delà de 12, les dernières seront perdues.").arg(count));
    LineLimit->show();
}

void TPlanche::setQuestionLabel(const QString &label)
{
    Panel1->setText(label);
}

void TPlanche::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void TPlanche::clearPicture()
{
    Image1->picture().clear();
    describePicture(QString());
}

void TPlanche::loadPicture(const QString &path)
{
    describePicture(path);
    Image1->picture().loadFromFile(path);
    Image1->Echelle();
}

void TPlanche::focusTitle()
{
    Edit1->setFocus();
}

void TPlanche::restyleTitle()
{
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    Edit1->setPalette(palette);
    // 12 points at the design's 120 pixels per inch; the style stays bold.
    Edit1->setFont(designFont(QStringLiteral("Arial"), 20, true));
}

void TPlanche::plainTitle()
{
    Edit1->setPalette(QPalette());
    Edit1->setFont(designFont(QStringLiteral("Arial"), 19, true));
}

void TPlanche::describePicture(const QString &path)
{
    // A screen reader says which picture the question shows, by its file's name.
    Panel2->setAccessibleDescription(QcmFormat::fileNameOf(path));
}

// Commands

void TPlanche::Precedent()
{
    m_store.Precedent();
}

void TPlanche::Suivant()
{
    m_store.Suivant();
}

void TPlanche::Premier()
{
    m_store.Premier();
}

void TPlanche::Dernier()
{
    m_store.Dernier();
}

void TPlanche::Ajout()
{
    m_store.Ajout();
}

void TPlanche::Supprime()
{
    m_store.Supprime();
}

void TPlanche::setWindows(const SheetWindows &windows)
{
    m_windows = windows;
}

void TPlanche::Index()
{
    Q_ASSERT(m_windows.list);
    TPageListe &list = *m_windows.list;
    m_store.EcritFiche();
    const int shown = m_store.CurrentQuestion();
    list.Init(m_store.document(), shown);
    list.exec();
    // Row k is question k once the order is written back. Without a choice the sheet stays on
    // the question it showed, wherever the list moved it.
    const int chosen = list.chosenRow();
    // Left with nothing chosen and nothing moved: the sheet is as it was, and so is the focus.
    if (chosen < 0 && !list.orderChanged())
        return;
    const int after = chosen >= 0 ? chosen : list.rowOf(shown);
    m_store.rewriteDocument(
        [&list](QStringList &lines) {
            bool modified = false;
            list.Result(lines, modified);
            return modified;
        },
        after);
}

void TPlanche::Quest()
{
    // A questionnaire of one question is not run. The run takes the questionnaire as it
    // stands: edits of the question on the sheet not yet written back are not part of it.
    if (m_store.QuestionCount() < 2 || !m_runner)
        return;
    m_runner->run(m_store.document(), m_store.questionnaireFolder());
}

void TPlanche::Copier()
{
    CopiedQuestion[0] = Edit1->text();
    for (int i = 0; i < QcmFormat::AnswerCount; ++i)
        CopiedQuestion[size_t(i) + 1] = answerEdits[size_t(i)]->text();
}

void TPlanche::Coller()
{
    std::array<QString, QcmFormat::AnswerCount> answers;
    for (int i = 0; i < QcmFormat::AnswerCount; ++i)
        answers[size_t(i)] = CopiedQuestion[size_t(i) + 1];
    m_store.Coller(CopiedQuestion[0], answers);
}

void TPlanche::CopierImg()
{
    Image1->picture().copyToClipboard(*QApplication::clipboard());
}

void TPlanche::SuppImg()
{
    m_store.SuppImg();
}

void TPlanche::insertCorrection()
{
    // The memo's own lines: the marker the right answers and comments need is not in it.
    const QStringList lines = memoLines();
    const int marker = int(std::find_if(lines.cbegin(), lines.cend(), Correction::isMarker) - lines.cbegin());
    if (marker == lines.size()) {
        // Typing, not a rewrite: the question is modified as by any typing, and undone the same way.
        QTextCursor end(Memo1->document());
        end.movePosition(QTextCursor::End);
        end.insertText((Memo1->toPlainText().isEmpty() || Memo1->toPlainText().endsWith(QLatin1Char('\n'))
                            ? QString()
                            : QStringLiteral("\n"))
                       + Correction::marker() + QLatin1Char('\n'));
    }
    // The caret goes to the line after the marker: where the correction is written.
    QTextCursor caret(Memo1->document()->findBlockByNumber(marker + 1));
    if (caret.isNull()) {
        caret = QTextCursor(Memo1->document());
        caret.movePosition(QTextCursor::End);
    }
    Memo1->setTextCursor(caret);
    Memo1->setFocus(Qt::ShortcutFocusReason);
}

void TPlanche::Button1Click()
{
    const QString path = m_pictureDialogs.openFile(PictureFilter, QString());
    if (path.isEmpty())
        return;
    // The chosen path is the question's picture even when the file then fails to load, so the
    // author sees the error and the path is not silently forgotten.
    m_store.setCurrentPicture(path);
    Image1->picture().clear();
    loadPicture(path);
}

void TPlanche::Chercher()
{
    Q_ASSERT(m_windows.find);
    m_windows.find->exec();
    QString text;
    m_windows.find->Result(text);
    m_search.Chercher(text);
}

void TPlanche::Continuer()
{
    m_search.Continuer();
}

void TPlanche::Remplacer()
{
    Q_ASSERT(m_windows.replace);
    m_windows.replace->exec();
    QString search;
    QString replacement;
    m_windows.replace->Result(search, replacement);
    m_search.Remplacer(search, replacement);
}

void TPlanche::ChRelatifs()
{
    const MessageAnswer answer = m_boxes.show(
        MessageIcon::Warning, tr("Attention, modification irréversible. Continuer ?"), MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes)
        return;
    // The command counts as a change even where every name was already bare.
    m_store.rewriteDocument([](QStringList &lines) {
        PicturePaths::makeRelative(lines);
        return true;
    });
}

void TPlanche::Chemins()
{
    Q_ASSERT(m_windows.paths);
    m_windows.paths->exec();
    QString directory;
    m_windows.paths->Result(directory);
    const QString prefix = PicturePaths::directoryPrefix(directory);
    if (prefix.isEmpty())
        return;
    m_store.rewriteDocument([&prefix](QStringList &lines) {
        PicturePaths::makeAbsolute(lines, prefix);
        return true;
    });
}

void TPlanche::Annuler()
{
    m_store.Annuler();
}

void TPlanche::chooseGuardedPicture()
{
    runGuarded(m_boxes, [this] { Button1Click(); });
}

// Change handlers: every change the author makes marks the sheet and the questionnaire
// modified; the store ignores the changes made while it reads a question.

void TPlanche::Edit1Change()
{
    m_store.SheetEdited();
}

void TPlanche::SpinEdit1Change()
{
    m_store.SheetEdited();
}

void TPlanche::Memo1Change()
{
    m_store.SheetEdited();
}

// Keys

bool TPlanche::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_PageDown:
        runGuarded(m_boxes, [this] { Suivant(); });
        return true;
    case Qt::Key_PageUp:
        runGuarded(m_boxes, [this] { Precedent(); });
        return true;
    case Qt::Key_F2:
        runGuarded(m_boxes, [this] { Index(); });
        return true;
    default:
        return false;
    }
}

void TPlanche::keyPressEvent(QKeyEvent *event)
{
    if (isSheetKey(event) && FormKeyDown(event->key()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool TPlanche::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_page && event->type() == QEvent::Resize)
        FormResize();
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (isQuestionClipboardKey(key) || (key->matches(QKeySequence::Undo) && !fieldHasOwnUndo(watched)))
            return true; // left unaccepted: the menu shortcut takes the key
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // The field never sees the navigation keys: PgUp/PgDn in the free-text box change the
        // question instead of scrolling.
        if (isSheetKey(key) && FormKeyDown(key->key())) {
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Layout

void TPlanche::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_scroll->setGeometry(rect());
    FormResize();
}

void TPlanche::FormResize()
{
    // Follows the sheet's width, or the design's when the sheet is narrower. The page is
    // taller than the design (the comments below the answers), so a vertical scroll bar may
    // take some of the sheet's width: both controls still end before it.
    if (!Edit1)
        return;
    const int width = std::max(this->width(), int(DesignWidth));
    Edit1->resize(width - 220, Edit1->height());
    Panel1->move(width - 120, 38);
}
