#include "core/common/message_service.h"
#include "gui/app/frm_browser.h"
#include "gui/app/frm_main.h"
#include "gui/app/web_browser.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// A page view that records what the window asks of it and reports whatever the test says.
class FakeBrowser final : public WebBrowser
{
public:
    QWidget *widget() override { return &m_widget; }
    void Navigate(const QString &address) override { calls.append(u"Navigate "_s + address); }
    void GoBack() override { calls.append(u"GoBack"_s); }
    void GoForward() override { calls.append(u"GoForward"_s); }
    void GoHome() override { calls.append(u"GoHome"_s); }
    void GoSearch() override { calls.append(u"GoSearch"_s); }
    void Stop() override { calls.append(u"Stop"_s); }
    void Refresh() override { calls.append(u"Refresh"_s); }
    QString LocationName() const override { return title; }
    QString LocationURL() const override { return url; }
    bool Busy() const override { return busy; }

    // The view reached a page.
    void arrive(const QString &address, const QString &pageTitle)
    {
        url = address;
        title = pageTitle;
        busy = false;
        Q_EMIT NavigateComplete();
        Q_EMIT DownloadComplete();
    }

    QStringList calls;
    QString title, url;
    bool busy = false;

private:
    QWidget m_widget;
};

} // namespace

// The web window's address list, caption and buttons over a fake page view.
class TestBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The starting address loads once on showing. Pages reached go to the top of the address
    // list, each once, without loading again; an address chosen from the list or typed loads,
    // and so do the buttons; the caption says so while the view is busy.
    void navigatesBackAndForth()
    {
        auto *fake = new FakeBrowser;
        frmBrowser window{std::unique_ptr<WebBrowser>(fake)};
        window.StartingAddress = u"http://s/"_s;
        window.show();
        window.show(); // showing again does not load again
        QCOMPARE(fake->calls, QStringList{u"Navigate http://s/"_s});
        fake->calls.clear();
        fake->arrive(u"http://a/"_s, u"Page A"_s);
        fake->arrive(u"http://s/"_s, u"Start"_s);
        fake->arrive(u"http://a/"_s, u"Page A"_s);
        QComboBox *box = window.cboAddress();
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(0) + u' ' + box->itemText(1), u"http://a/ http://s/"_s);
        box->setCurrentIndex(1); // a click on "http://s/" in the list
        box->activated(1);
        box->lineEdit()->setText(u"http://typed.example/"_s);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        for (const char *key : {"Back", "Forward", "Refresh", "Home", "Search"})
            window.findChild<QAction *>(QString::fromLatin1(key))->trigger();
        QCOMPARE(
            fake->calls,
            (QStringList{u"Navigate http://s/"_s, u"Navigate http://typed.example/"_s, u"GoBack"_s,
                         u"GoForward"_s, u"Refresh"_s, u"GoHome"_s, u"GoSearch"_s}));
        fake->busy = true;
        window.timTimer_Timer();
        QCOMPARE(window.windowTitle(), u"Working..."_s);
        QVERIFY(window.timer()->isActive());
        window.findChild<QAction *>(u"Stop"_s)->trigger();
        QCOMPARE(fake->calls.last(), u"Stop"_s);
        QCOMPARE(window.windowTitle(), u"Page A"_s);
        QVERIFY(!window.timer()->isActive());
    }

    // Each View "Web Browser" opens one more window at the program's home page.
    void menuOpensNewWindows()
    {
        QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        frmMain main(std::make_unique<RecordingMessageService>());
        QList<FakeBrowser *> made;
        main.makeWebBrowser = [&made] {
            auto b = std::make_unique<FakeBrowser>();
            made.append(b.get());
            return b;
        };
        QAction *item = main.findChild<QAction *>(u"mnuViewWebBrowser"_s);
        item->trigger();
        item->trigger();
        QCOMPARE(made.size(), 2);
        QCOMPARE(made[0]->calls, QStringList{u"Navigate "_s + webHomePage().toString()});
        QCOMPARE(main.findChildren<frmBrowser *>().size(), 2);
        main.findChildren<frmBrowser *>().first()->close(); // the other stays
        QTRY_COMPARE(main.findChildren<frmBrowser *>().size(), 1);
    }
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
