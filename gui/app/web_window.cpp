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

WebWindow::WebWindow(std::unique_ptr<WebBrowser> browser, QWidget *parent)
    : QWidget(parent)
    , m_browser(std::move(browser))
{
    setObjectName(u"webWindow"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(800, 600);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(u"toolBar"_s);
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
        connect(a, &QAction::triggered, this, [this, key] { runToolButton(key); });
    }

    m_addressBar = new QWidget(this);
    m_addressBar->setObjectName(u"addressBar"_s);
    m_addressLabel = new QLabel(u"&Address:"_s, m_addressBar);
    m_addressLabel->setObjectName(u"addressLabel"_s);
    m_address = new QComboBox(m_addressBar);
    m_address->setObjectName(u"address"_s);
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert); // the window keeps the list itself
    m_addressLabel->setBuddy(m_address);
    // A choice from the list and Enter in the box both navigate (Enter is taken before the box
    // would look the text up in its list).
    connect(m_address, &QComboBox::activated, this, [this] { goToChosenAddress(); });
    m_address->lineEdit()->installEventFilter(this);

    QWidget *view = m_browser->widget();
    view->setParent(this);
    view->setObjectName(u"webView"_s);

    m_timer = new QTimer(this);
    m_timer->setObjectName(u"busyTimer"_s);
    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, this, &WebWindow::updateBusyState);
    connect(m_browser.get(), &WebBrowser::navigationFinished, this,
            &WebWindow::showNavigatedAddress);
    connect(m_browser.get(), &WebBrowser::downloadFinished, this,
            [this] { setWindowTitle(m_browser->locationName()); });
}

WebWindow::~WebWindow()
{
    // The page view belongs to the browser object, which goes with it.
    m_browser->widget()->setParent(nullptr);
}

void WebWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        loadStartPage();
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

void WebWindow::loadStartPage()
{
    arrange();
    if (startingAddress.isEmpty())
        return;
    m_suppressNavigation = true;
    m_address->insertItem(0, shownAddress(startingAddress, QString()), startingAddress);
    m_address->setCurrentIndex(0);
    m_address->setEditText(m_address->itemText(0));
    m_suppressNavigation = false;
    m_timer->start();
    m_browser->navigate(startingAddress);
}

bool WebWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_address->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            goToChosenAddress();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WebWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void WebWindow::arrange()
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
    m_addressBar->setGeometry(0, m_toolBar->height(), width(),
                              m_address->geometry().bottom() + 1 + px(60));
    const double picBottom = (m_addressBar->y() + m_addressBar->height()) * tpp;
    m_browser->widget()->setGeometry(px(50), px(picBottom), std::max(0, px(w - 100)),
                                     std::max(0, px(h - picBottom - 100)));
}

void WebWindow::goToChosenAddress()
{
    if (m_suppressNavigation)
        return;
    m_timer->start();
    // A listed page goes to its address; anything typed is the address itself.
    const int listed = m_address->currentIndex();
    const bool typed = listed < 0 || m_address->currentText() != m_address->itemText(listed);
    m_browser->navigate(typed ? m_address->currentText() : m_address->itemData(listed).toString());
}

void WebWindow::showNavigatedAddress()
{
    setWindowTitle(m_browser->locationName());
    const QString url = m_browser->locationUrl();
    m_suppressNavigation = true;
    const int found = m_address->findData(url);
    if (found >= 0)
        m_address->removeItem(found);
    m_address->insertItem(0, shownAddress(url, m_browser->locationName()), url);
    m_address->setCurrentIndex(0);
    m_suppressNavigation = false;
}

void WebWindow::updateBusyState()
{
    if (m_browser->isBusy()) {
        setWindowTitle(u"Working..."_s);
    } else {
        m_timer->stop();
        setWindowTitle(m_browser->locationName());
    }
}

void WebWindow::runToolButton(const QString &key)
{
    m_timer->start();
    if (key == u"Back"_s) {
        m_browser->back();
    } else if (key == u"Forward"_s) {
        m_browser->forward();
    } else if (key == u"Refresh"_s) {
        m_browser->reload();
    } else if (key == u"Home"_s) {
        m_browser->home();
    } else if (key == u"Search"_s) {
        m_browser->search();
    } else if (key == u"Stop"_s) {
        m_timer->stop();
        m_browser->stop();
        setWindowTitle(m_browser->locationName());
    }
}
