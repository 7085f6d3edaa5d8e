#include "gui/app/web_window.h"

#include "core/common/twips.h"
#include "gui/app/web_browser.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <cmath>

using namespace Qt::StringLiterals;

frmBrowser::frmBrowser(std::unique_ptr<WebBrowser> browser, QWidget *parent)
    : QWidget(parent)
    , m_browser(std::move(browser))
{
    setObjectName(u"frmBrowser"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(800, 600);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(u"tbToolBar"_s);
    const std::pair<QString, QStyle::StandardPixmap> buttons[] = {
        {u"Back"_s, QStyle::SP_ArrowBack},
        {u"Forward"_s, QStyle::SP_ArrowForward},
        {u"Refresh"_s, QStyle::SP_BrowserReload},
        {u"Home"_s, QStyle::SP_DirHomeIcon},
        {u"Search"_s, QStyle::SP_FileDialogContentsView},
        {u"Stop"_s, QStyle::SP_BrowserStop}};
    for (const auto &button : buttons) {
        const QString key = button.first;
        QAction *a = m_toolBar->addAction(style()->standardIcon(button.second), key);
        a->setObjectName(key);
        a->setToolTip(key);
        connect(a, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    }

    m_picAddress = new QWidget(this);
    m_picAddress->setObjectName(u"picAddress"_s);
    m_addressLabel = new QLabel(u"&Address:"_s, m_picAddress);
    m_addressLabel->setObjectName(u"lblAddress"_s);
    m_address = new QComboBox(m_picAddress);
    m_address->setObjectName(u"cboAddress"_s);
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert); // the window keeps the list itself
    m_addressLabel->setBuddy(m_address);
    // A choice from the list and Enter in the box both navigate (Enter is taken before the box
    // would look the text up in its list).
    connect(m_address, &QComboBox::activated, this, [this] { cboAddress_Click(); });
    m_address->lineEdit()->installEventFilter(this);

    QWidget *view = m_browser->widget();
    view->setParent(this);
    view->setObjectName(u"brwWebBrowser"_s);

    m_timer = new QTimer(this);
    m_timer->setObjectName(u"timTimer"_s);
    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);
    connect(m_browser.get(), &WebBrowser::NavigateComplete, this,
            &frmBrowser::brwWebBrowser_NavigateComplete);
    connect(m_browser.get(), &WebBrowser::DownloadComplete, this,
            [this] { setWindowTitle(m_browser->LocationName()); });
}

frmBrowser::~frmBrowser()
{
    // The page view belongs to the browser object, which goes with it.
    m_browser->widget()->setParent(nullptr);
}

void frmBrowser::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

namespace {

// The program's own pages are named by their title: a qrc: address means nothing to a user and
// cannot be typed anywhere else.
QString shownAddress(const QString &url, const QString &title)
{
    if (!url.startsWith(u"qrc:"_s, Qt::CaseInsensitive))
        return url;
    return title.isEmpty() ? u"QRV Tractwise"_s : title;
}

} // namespace

void frmBrowser::Form_Load()
{
    arrange();
    if (StartingAddress.isEmpty())
        return;
    m_suppressNavigation = true;
    m_address->insertItem(0, shownAddress(StartingAddress, QString()), StartingAddress);
    m_address->setCurrentIndex(0);
    m_address->setEditText(m_address->itemText(0));
    m_suppressNavigation = false;
    m_timer->start();
    m_browser->Navigate(StartingAddress);
}

bool frmBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_address->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cboAddress_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmBrowser::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void frmBrowser::arrange()
{
    const double tpp = twipsPerPixel(logicalDpiY());
    auto px = [tpp](double twips) { return int(std::lround(twips / tpp)); };
    const double w = width() * tpp, h = height() * tpp;
    m_toolBar->setGeometry(0, 0, width(), m_toolBar->sizeHint().height());
    const int labelHeight = m_addressLabel->sizeHint().height();
    m_addressLabel->setGeometry(px(50), px(30), m_addressLabel->sizeHint().width(), labelHeight);
    const int comboTop = m_addressLabel->y() + labelHeight + px(15);
    m_address->setGeometry(px(50), comboTop, std::max(0, px(w - 100)),
                           m_address->sizeHint().height());
    m_picAddress->setGeometry(0, m_toolBar->height(), width(),
                              m_address->geometry().bottom() + 1 + px(60));
    const double picBottom = (m_picAddress->y() + m_picAddress->height()) * tpp;
    m_browser->widget()->setGeometry(px(50), px(picBottom), std::max(0, px(w - 100)),
                                     std::max(0, px(h - picBottom - 100)));
}

void frmBrowser::cboAddress_Click()
{
    if (m_suppressNavigation)
        return;
    m_timer->start();
    // A listed page goes to its address; anything typed is the address itself.
    const int listed = m_address->currentIndex();
    const bool typed = listed < 0 || m_address->currentText() != m_address->itemText(listed);
    m_browser->Navigate(typed ? m_address->currentText() : m_address->itemData(listed).toString());
}

void frmBrowser::brwWebBrowser_NavigateComplete()
{
    setWindowTitle(m_browser->LocationName());
    const QString url = m_browser->LocationURL();
    m_suppressNavigation = true;
    const int found = m_address->findData(url);
    if (found >= 0)
        m_address->removeItem(found);
    m_address->insertItem(0, shownAddress(url, m_browser->LocationName()), url);
    m_address->setCurrentIndex(0);
    m_suppressNavigation = false;
}

void frmBrowser::timTimer_Timer()
{
    if (m_browser->Busy()) {
        setWindowTitle(u"Working..."_s);
    } else {
        m_timer->stop();
        setWindowTitle(m_browser->LocationName());
    }
}

void frmBrowser::tbToolBar_ButtonClick(const QString &key)
{
    m_timer->start();
    if (key == u"Back"_s) {
        m_browser->GoBack();
    } else if (key == u"Forward"_s) {
        m_browser->GoForward();
    } else if (key == u"Refresh"_s) {
        m_browser->Refresh();
    } else if (key == u"Home"_s) {
        m_browser->GoHome();
    } else if (key == u"Search"_s) {
        m_browser->GoSearch();
    } else if (key == u"Stop"_s) {
        m_timer->stop();
        m_browser->Stop();
        setWindowTitle(m_browser->LocationName());
    }
}
