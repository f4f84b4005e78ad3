#include "platform/helpwindow.h"

#include "platform/screenfit.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString &pagesRoot, QWidget *parent)
    : QWidget(parent, Qt::Window), m_pagesRoot(pagesRoot)
{
    setWindowTitle(tr("Aide de Nelo Qcm"));
    createWidgets();
    loadIndex();
    fitToScreen(*this, QSize(820, 560));
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

QWidget *HelpWindow::createNavigationBar()
{
    auto *bar = new QWidget;
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto makeButton = [bar, layout](const QString &name, const QString &text, const QString &hint,
                                         QStyle::StandardPixmap icon, const QKeySequence &shortcut) {
        auto *button = new QToolButton(bar);
        button->setObjectName(name);
        button->setText(text);
        button->setIcon(bar->style()->standardIcon(icon));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setShortcut(shortcut);
        button->setToolTip(hint);
        layout->addWidget(button);
        return button;
    };
    m_backButton = makeButton(QStringLiteral("BackButton"), tr("Précédent"), tr("Page précédente (Alt+Gauche)"),
                              QStyle::SP_ArrowBack, QKeySequence(Qt::ALT | Qt::Key_Left));
    m_homeButton = makeButton(QStringLiteral("HomeButton"), tr("Sommaire"), tr("Sommaire de l'aide (Alt+Origine)"),
                              QStyle::SP_DirHomeIcon, QKeySequence(Qt::ALT | Qt::Key_Home));
    layout->addStretch(1);
    m_backButton->setEnabled(false);
    connect(m_backButton, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backButton, &QToolButton::setEnabled);
    connect(m_homeButton, &QToolButton::clicked, this, &HelpWindow::goHome);
    return bar;
}

void HelpWindow::createWidgets()
{
    m_indexPanel = new QWidget;
    auto *indexLayout = new QVBoxLayout(m_indexPanel);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    auto *prompt = new QLabel(tr("&Tapez les premières lettres du mot cherché :"));
    prompt->setWordWrap(true);
    m_searchBox = new QLineEdit;
    m_searchBox->setObjectName(QStringLiteral("SearchBox"));
    prompt->setBuddy(m_searchBox);
    m_keywordList = new QListWidget;
    m_keywordList->setObjectName(QStringLiteral("KeywordList"));
    m_keywordList->setAccessibleName(tr("Mots-clés"));
    indexLayout->addWidget(prompt);
    indexLayout->addWidget(m_searchBox);
    indexLayout->addWidget(m_keywordList);

    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("Browser"));
    m_browser->setAccessibleName(tr("Page d'aide"));
    m_browser->setOpenLinks(true);
    m_browser->setSearchPaths({m_pagesRoot});

    auto *pagePanel = new QWidget;
    auto *pageLayout = new QVBoxLayout(pagePanel);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(createNavigationBar());
    pageLayout->addWidget(m_browser);

    auto *splitter = new QSplitter;
    splitter->addWidget(m_indexPanel);
    splitter->addWidget(pagePanel);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 580});
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    connect(m_searchBox, &QLineEdit::textChanged, this, &HelpWindow::filterKeywords);
    connect(m_searchBox, &QLineEdit::returnPressed, this, &HelpWindow::openChosenKeyword);
    connect(m_keywordList, &QListWidget::itemActivated, this, &HelpWindow::openChosenKeyword);
    connect(m_keywordList, &QListWidget::itemClicked, this, &HelpWindow::openChosenKeyword);
}

void HelpWindow::loadIndex()
{
    QFile file(m_pagesRoot + QStringLiteral("/keywords.txt"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        m_index = HelpIndex::parse(QString::fromUtf8(file.readAll()));
    QFile contexts(m_pagesRoot + QStringLiteral("/contexts.txt"));
    if (contexts.open(QIODevice::ReadOnly | QIODevice::Text))
        m_contexts = HelpIndex::parse(QString::fromUtf8(contexts.readAll()));
    filterKeywords(QString());
}

void HelpWindow::showPage(const QString &page)
{
    m_browser->setSource(QUrl(page));
    present();
}

void HelpWindow::present()
{
    // Asked for from inside a modal window (the runner, an accessory, a message box), the help
    // would be blocked by it: it becomes modal in its turn, above it, until closed.
    const QWidget *modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal == this ? windowModality()
        : modal                                     ? Qt::ApplicationModal
                                                    : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    if (!isVisible())
        placeOverParent();
    show();
    raise();
    activateWindow();
}

void HelpWindow::placeOverParent()
{
    const QWidget *over = parentWidget() ? parentWidget()->window() : nullptr;
    if (!over || !over->isVisible())
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(over->frameGeometry().center());
    // Never above or left of the screen, where its title bar could not be reached.
    if (const QScreen *screen = over->screen()) {
        const QRect room = screen->availableGeometry();
        frame.moveLeft(std::max(room.left(), std::min(frame.left(), room.right() - frame.width() + 1)));
        frame.moveTop(std::max(room.top(), std::min(frame.top(), room.bottom() - frame.height() + 1)));
    }
    move(frame.topLeft());
}

void HelpWindow::showContents()
{
    showPage(QStringLiteral("contents.html"));
}

void HelpWindow::showSearch()
{
    m_searchBox->clear();
    if (m_browser->source().isEmpty())
        m_browser->setSource(QUrl(QStringLiteral("contents.html")));
    present();
    m_searchBox->setFocus();
}

void HelpWindow::showHowToUse()
{
    showPage(QStringLiteral("usinghelp.html"));
}

void HelpWindow::showContext(int context)
{
    const QList<HelpIndex::Entry> found = m_contexts.matching(QString::number(context));
    for (const HelpIndex::Entry &entry : found) {
        if (entry.keyword == QString::number(context)) {
            showPage(entry.target);
            return;
        }
    }
    showContents();
}

void HelpWindow::goHome()
{
    m_browser->setSource(QUrl(QStringLiteral("contents.html")));
}

QString HelpWindow::currentPage() const
{
    return m_browser->source().toString(QUrl::RemoveFragment);
}

void HelpWindow::filterKeywords(const QString &typed)
{
    m_keywordList->clear();
    for (const HelpIndex::Entry &entry : m_index.matching(typed)) {
        auto *item = new QListWidgetItem(entry.keyword, m_keywordList);
        item->setData(Qt::UserRole, entry.target);
    }
    if (m_keywordList->count() > 0)
        m_keywordList->setCurrentRow(0);
}

void HelpWindow::openChosenKeyword()
{
    const QListWidgetItem *item = m_keywordList->currentItem();
    if (!item)
        return;
    // setSource with the page already shown would not move: the anchor is scrolled to itself.
    const QUrl target(item->data(Qt::UserRole).toString());
    if (target.adjusted(QUrl::RemoveFragment) == m_browser->source().adjusted(QUrl::RemoveFragment)
        && target.hasFragment())
        m_browser->scrollToAnchor(target.fragment());
    else
        m_browser->setSource(target);
}
