#include "platform/helpwindow.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString &pagesRoot, QWidget *parent)
    : QWidget(parent, Qt::Window), m_pagesRoot(pagesRoot)
{
    setWindowTitle(tr("Aide de Nelo Qcm"));
    createWidgets();
    loadIndex();
    resize(820, 560);
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

    auto *splitter = new QSplitter;
    splitter->addWidget(m_indexPanel);
    splitter->addWidget(m_browser);
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
    filterKeywords(QString());
}

void HelpWindow::showPage(const QString &page)
{
    m_browser->setSource(QUrl(page));
    show();
    raise();
    activateWindow();
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
    show();
    raise();
    activateWindow();
    m_searchBox->setFocus();
}

void HelpWindow::showHowToUse()
{
    showPage(QStringLiteral("usinghelp.html"));
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
    if (item)
        m_browser->setSource(QUrl(item->data(Qt::UserRole).toString()));
}
