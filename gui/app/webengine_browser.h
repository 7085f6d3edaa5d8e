#pragma once

#include "gui/app/web_browser.h"

#include <QPointer>

class QWebEngineView;

// The web window's page view on Qt WebEngine. The home and search pages are the program's own.
class WebEngineBrowser final : public WebBrowser
{
    Q_OBJECT

public:
    WebEngineBrowser();
    ~WebEngineBrowser() override;

    QWidget *widget() override;
    void navigate(const QString &address) override;
    void back() override;
    void forward() override;
    void home() override;
    void search() override;
    void stop() override;
    void reload() override;
    QString locationName() const override;
    QString locationUrl() const override;
    bool isBusy() const override { return m_busy; }

private:
    QPointer<QWebEngineView> m_view; // owned, whoever shows it
    bool m_busy = false;
};

// Readies Qt WebEngine before the application object exists (shared OpenGL contexts; no
// Chromium sandbox when running as root, where it cannot start).
void prepareWebEngine();
