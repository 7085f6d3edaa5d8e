#pragma once

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QTimer;
class QToolBar;
class WebBrowser;

// A web window: an address list of the pages visited (most recent first, each once), a toolbar
// of six buttons and the page view. The caption shows "Working..." while a page loads and the
// page's title afterwards. Owns its browser.
class WebWindow : public QWidget
{
    Q_OBJECT

public:
    explicit WebWindow(std::unique_ptr<WebBrowser> browser, QWidget *parent = nullptr);
    ~WebWindow() override;

    // Where the window goes when it loads; set before showing it.
    QString startingAddress;

    void loadStartPage();
    // A toolbar button by its key: "Back", "Forward", "Refresh", "Home", "Search" or "Stop".
    void runToolButton(const QString &key);
    void updateBusyState();

    QComboBox *addressBox() const { return m_address; }
    WebBrowser &browser() const { return *m_browser; }
    QTimer *timer() const { return m_timer; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void goToChosenAddress();
    void showNavigatedAddress();
    void arrange();

    std::unique_ptr<WebBrowser> m_browser;
    QToolBar *m_toolBar = nullptr;
    QWidget *m_addressBar = nullptr;
    QLabel *m_addressLabel = nullptr;
    QComboBox *m_address = nullptr;
    QTimer *m_timer = nullptr;
    bool m_suppressNavigation = false;
    bool m_loaded = false;
};
