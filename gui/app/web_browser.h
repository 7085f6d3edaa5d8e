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
    virtual void navigate(const QString &address) = 0;
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void home() = 0;
    virtual void search() = 0;
    virtual void stop() = 0;
    virtual void reload() = 0;
    virtual QString locationName() const = 0;
    virtual QString locationUrl() const = 0;
    virtual bool isBusy() const = 0;

Q_SIGNALS:
    // A navigation reached its page (a failed one sends neither).
    void navigationFinished();
    void downloadFinished();
};

// The program's own pages, shipped in its resources so the window works offline.
QUrl webHomePage();
QUrl webSearchPage();
