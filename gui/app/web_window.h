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
class frmBrowser : public QWidget
{
    Q_OBJECT

public:
    explicit frmBrowser(std::unique_ptr<WebBrowser> browser, QWidget *parent = nullptr);
    ~frmBrowser() override;

    // Where the window goes when it loads; set before showing it.
    QString StartingAddress;

    void Form_Load();
    // A toolbar button by its key: "Back", "Forward", "Refresh", "Home", "Search" or "Stop".
    void tbToolBar_ButtonClick(const QString &key);
    void timTimer_Timer();

    QComboBox *cboAddress() const { return m_address; }
    WebBrowser &browser() const { return *m_browser; }
    QTimer *timer() const { return m_timer; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cboAddress_Click();
    void brwWebBrowser_NavigateComplete();
    void arrange();

    std::unique_ptr<WebBrowser> m_browser;
    QToolBar *m_toolBar = nullptr;
    QWidget *m_picAddress = nullptr;
    QLabel *m_addressLabel = nullptr;
    QComboBox *m_address = nullptr;
    QTimer *m_timer = nullptr;
    bool m_suppressNavigation = false;
    bool m_loaded = false;
};
