#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QWidget;

// The few operations the web window uses of a page view: navigation, the current page's title
// and address, whether it is loading, and two notifications. The program's view is Qt
// WebEngine; tests put a fake behind it.
class WebBrowser : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~WebBrowser() override;

    // The widget that shows the pages, owned by the browser object; the web window only shows
    // it as a child.
    virtual QWidget *widget() = 0;
    virtual void Navigate(const QString &address) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void GoHome() = 0;
    virtual void GoSearch() = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;
    virtual QString LocationName() const = 0;
    virtual QString LocationURL() const = 0;
    virtual bool Busy() const = 0;

Q_SIGNALS:
    // A navigation reached its page (a failed one sends neither).
    void NavigateComplete();
    void DownloadComplete();
};

// The program's own pages, shipped in its resources so the window works offline.
QUrl webHomePage();
QUrl webSearchPage();
