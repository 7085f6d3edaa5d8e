#include "gui/app/webengine_browser.h"

#include <QCoreApplication>
#include <QWebEngineView>

#include <unistd.h>

using namespace Qt::StringLiterals;

WebEngineBrowser::WebEngineBrowser()
    : m_view(new QWebEngineView)
{
    connect(m_view, &QWebEngineView::loadStarted, this, [this] { m_busy = true; });
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        m_busy = false;
        if (!ok)
            return; // a failed navigation leaves the window as it was
        Q_EMIT navigationFinished();
        Q_EMIT downloadFinished();
    });
    connect(m_view, &QWebEngineView::titleChanged, this, [this] {
        if (!m_busy)
            Q_EMIT downloadFinished();
    });
}

WebEngineBrowser::~WebEngineBrowser()
{
    delete m_view;
}

QWidget *WebEngineBrowser::widget()
{
    return m_view;
}

void WebEngineBrowser::navigate(const QString &address)
{
    const QUrl url =
        address.startsWith(u"qrc:"_s) ? QUrl(address) : QUrl::fromUserInput(address.trimmed());
    if (url.isValid())
        m_view->setUrl(url);
}

void WebEngineBrowser::back()
{
    m_view->back();
}

void WebEngineBrowser::forward()
{
    m_view->forward();
}

void WebEngineBrowser::home()
{
    m_view->setUrl(webHomePage());
}

void WebEngineBrowser::search()
{
    m_view->setUrl(webSearchPage());
}

void WebEngineBrowser::stop()
{
    m_view->stop();
    m_busy = false;
}

void WebEngineBrowser::reload()
{
    m_view->reload();
}

QString WebEngineBrowser::locationName() const
{
    return m_view->title();
}

QString WebEngineBrowser::locationUrl() const
{
    return m_view->url().toString();
}

void prepareWebEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}
