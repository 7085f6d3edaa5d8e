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

// A web window on screen, loading `start` when given.
struct Window
{
    FakeBrowser *fake;
    frmBrowser window;
    explicit Window(const QString &start = {})
        : fake(new FakeBrowser)
        , window(std::unique_ptr<WebBrowser>(fake))
    {
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.StartingAddress = start;
        window.show();
    }
    QStringList addresses() const
    {
        QStringList out;
        for (int i = 0; i < window.cboAddress()->count(); ++i)
            out.append(window.cboAddress()->itemText(i));
        return out;
    }
};

} // namespace

// The web window's address list, caption and buttons over a fake page view.
class TestBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsAtItsStartingAddress()
    {
        Window w(u"qrc:/start.html"_s);
        QCOMPARE(w.fake->calls, QStringList{u"Navigate qrc:/start.html"_s});
        QCOMPARE(w.addresses(), QStringList{u"qrc:/start.html"_s});
        QVERIFY(w.window.timer()->isActive());
        w.window.show(); // showing again does not load again
        QCOMPARE(w.fake->calls.size(), 1);
    }

    // Pages reached go to the top of the address list, each once, without navigating again;
    // an address chosen from the list or typed is loaded.
    void visitedAddressesMostRecentFirstOnce()
    {
        Window w;
        w.fake->arrive(u"http://a/"_s, u"Page A"_s);
        w.fake->arrive(u"http://b/"_s, u"Page B"_s);
        w.fake->arrive(u"http://a/"_s, u"Page A"_s);
        QCOMPARE(w.addresses(), (QStringList{u"http://a/"_s, u"http://b/"_s}));
        QCOMPARE(w.window.cboAddress()->currentIndex(), 0);
        QCOMPARE(w.window.windowTitle(), u"Page A"_s);
        QCOMPARE(w.fake->calls, QStringList());

        QComboBox *box = w.window.cboAddress();
        box->setCurrentIndex(1); // a click on "http://b/" in the list
        box->activated(1);
        QCOMPARE(w.fake->calls, QStringList{u"Navigate http://b/"_s});
        w.fake->calls.clear();
        box->lineEdit()->setText(u"http://typed.example/"_s);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(w.fake->calls, QStringList{u"Navigate http://typed.example/"_s});
        QVERIFY(w.window.timer()->isActive());
    }

    void captionWhileLoading()
    {
        Window w;
        w.fake->arrive(u"http://a/"_s, u"Page A"_s);
        w.fake->busy = true;
        w.window.timer()->start();
        w.window.timTimer_Timer();
        QCOMPARE(w.window.windowTitle(), u"Working..."_s);
        QVERIFY(w.window.timer()->isActive());
        w.fake->busy = false;
        w.fake->title = u"Page A2"_s;
        w.window.timTimer_Timer();
        QCOMPARE(w.window.windowTitle(), u"Page A2"_s);
        QVERIFY(!w.window.timer()->isActive());
    }

    void toolbarButtons_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("timerRuns");
        QTest::newRow("Back") << u"Back"_s << u"GoBack"_s << true;
        QTest::newRow("Forward") << u"Forward"_s << u"GoForward"_s << true;
        QTest::newRow("Refresh") << u"Refresh"_s << u"Refresh"_s << true;
        QTest::newRow("Home") << u"Home"_s << u"GoHome"_s << true;
        QTest::newRow("Search") << u"Search"_s << u"GoSearch"_s << true;
        QTest::newRow("Stop") << u"Stop"_s << u"Stop"_s << false;
    }
    void toolbarButtons()
    {
        QFETCH(QString, key);
        QFETCH(QString, call);
        QFETCH(bool, timerRuns);
        Window w;
        w.fake->title = u"Current"_s;
        w.window.findChild<QAction *>(key)->trigger();
        QCOMPARE(w.fake->calls, QStringList{call});
        QCOMPARE(w.window.timer()->isActive(), timerRuns);
        if (key == u"Stop"_s)
            QCOMPARE(w.window.windowTitle(), u"Current"_s);
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
