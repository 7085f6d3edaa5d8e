#include "gui/app/help_window.h"

#include "core/common/program_data.h"

#include <QDesktopServices>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

HelpBrowser::HelpBrowser(QHelpEngine *engine, QWidget *parent)
    : QTextBrowser(parent)
    , m_engine(engine)
{
    // QTextBrowser counts every scheme but file: and qrc: as outside, qthelp: included, and no
    // outside program can open that: links are followed here instead.
    setOpenExternalLinks(false);
    setOpenLinks(false);
    openOutside = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) {
        const QUrl url = source().resolved(link);
        const QString scheme = url.scheme();
        if (scheme == u"http"_s || scheme == u"https"_s || scheme == u"mailto"_s)
            openOutside(url);
        else
            setSource(url);
    });
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    if (name.scheme() == u"qthelp"_s)
        return QVariant(m_engine->fileData(name));
    return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(const QString &collectionFile, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"helpWindow"_s);
    setWindowTitle(u"QRV Tractwise Help"_s);
    resize(900, 650);
    m_engine = new QHelpEngine(collectionFile, this);
    m_engine->setReadOnly(true);
    m_engine->setUsesFilterEngine(true);
    m_engine->setupData();

    auto *splitter = new QSplitter(this);
    m_tabs = new QTabWidget(splitter);
    m_tabs->setObjectName(u"helpTabs"_s);
    QHelpContentWidget *contents = m_engine->contentWidget();
    m_tabs->addTab(contents, u"Contents"_s);

    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    auto *label = new QLabel(u"&Look for:"_s);
    m_keyword = new QLineEdit;
    m_keyword->setObjectName(u"keywordBox"_s);
    label->setBuddy(m_keyword);
    QHelpIndexWidget *index = m_engine->indexWidget();
    indexLayout->addWidget(label);
    indexLayout->addWidget(m_keyword);
    indexLayout->addWidget(index);
    m_tabs->addTab(indexPage, u"Index"_s);

    m_page = new HelpBrowser(m_engine, splitter);
    m_page->setObjectName(u"helpPage"_s);
    splitter->setStretchFactor(1, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(contents, &QHelpContentWidget::linkActivated, this, &HelpWindow::showPage);
    // A single click opens a page too, as in any help viewer.
    connect(contents, &QAbstractItemView::clicked, this, [this](const QModelIndex &at) {
        if (QHelpContentItem *item = m_engine->contentModel()->contentItemAt(at))
            showPage(item->url());
    });
    connect(index, &QAbstractItemView::clicked, index,
            [index](const QModelIndex &) { index->activateCurrentItem(); });
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink &link) { showPage(link.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink> &links) {
                if (!links.isEmpty())
                    showPage(links.first().url);
            });
    connect(m_keyword, &QLineEdit::textChanged, index,
            [index](const QString &text) { index->filterIndices(text); });
    connect(m_keyword, &QLineEdit::returnPressed, this, &HelpWindow::openCurrentKeyword);
    // The models fill in the background; the first page follows the contents.
    connect(m_engine->contentModel(), &QHelpContentModel::contentsCreated, this, [this] {
        if (m_page->source().isEmpty() && m_tabs->currentIndex() == 0)
            showContents();
    });
    connect(m_engine->indexModel(), &QHelpIndexModel::indexCreated, this,
            [this, index] { index->filterIndices(m_keyword->text()); });
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::showPage(const QUrl &url)
{
    m_page->setSource(url);
}

void HelpWindow::showContents()
{
    m_tabs->setCurrentIndex(0);
    QHelpContentModel *model = m_engine->contentModel();
    if (QHelpContentItem *root = model->contentItemAt(model->index(0, 0))) {
        m_engine->contentWidget()->setCurrentIndex(model->index(0, 0));
        showPage(root->url());
    }
}

void HelpWindow::showKeywordSearch(const QString &keyword)
{
    m_tabs->setCurrentIndex(1);
    m_keyword->setText(keyword);
    m_engine->indexWidget()->filterIndices(keyword);
    m_keyword->setFocus();
}

void HelpWindow::openCurrentKeyword()
{
    m_engine->indexWidget()->activateCurrentItem();
}

QUrl HelpWindow::currentPage() const
{
    return m_page->source();
}

QString HelpWindow::currentTab() const
{
    return m_tabs->tabText(m_tabs->currentIndex());
}

QString helpCollectionFile()
{
    return programDataFile(u"help/tractwise.qhc"_s);
}
