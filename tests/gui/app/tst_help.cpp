#include "core/common/message_service.h"
#include "gui/app/help_window.h"
#include "gui/app/main_window.h"
#include "gui/app/web_browser.h"
#include "gui/app/web_window.h"

#include <QAction>
#include <QComboBox>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// The Help menu over the help collection compiled with the program.
namespace {

// A page view that records what the window asks of it and reports whatever the test says.
class FakeBrowser final : public WebBrowser
{
public:
    QWidget *widget() override { return &m_widget; }
    void navigate(const QString &address) override { calls.append(u"Navigate "_s + address); }
    void back() override { calls.append(u"GoBack"_s); }
    void forward() override { calls.append(u"GoForward"_s); }
    void home() override { calls.append(u"GoHome"_s); }
    void search() override { calls.append(u"GoSearch"_s); }
    void stop() override { calls.append(u"Stop"_s); }
    void reload() override { calls.append(u"Refresh"_s); }
    QString locationName() const override { return title; }
    QString locationUrl() const override { return url; }
    bool isBusy() const override { return busy; }

    // The view reached a page.
    void arrive(const QString &address, const QString &pageTitle)
    {
        url = address;
        title = pageTitle;
        busy = false;
        Q_EMIT navigationFinished();
        Q_EMIT downloadFinished();
    }

    QStringList calls;
    QString title, url;
    bool busy = false;

private:
    QWidget m_widget;
};

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    RecordingMessageService *m_recorder = nullptr;
    std::unique_ptr<MainWindow> m_main;

    // A Help menu item chosen in a new main window; the help window it opened, if any.
    HelpWindow *openHelp(const QString &item,
                         const QString &helpFile = QString::fromUtf8(TW_HELP_COLLECTION))
    {
        auto recorder = std::make_unique<RecordingMessageService>();
        m_recorder = recorder.get();
        m_main = std::make_unique<MainWindow>(std::move(recorder));
        m_main->helpFile = helpFile;
        m_main->findChild<QAction *>(item)->trigger();
        return m_main->helpWindow();
    }
    static QString page(const HelpWindow *help) { return help->currentPage().fileName(); }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void cleanup() { m_main.reset(); }

    // Contents opens at the first page, and every page it lists is there. A single click on a
    // contents entry or an index keyword opens its page; a link inside a page opens in the
    // window too, and only web addresses go to the desktop.
    void pagesOpenInTheWindow()
    {
        HelpWindow *help = openHelp(u"actionHelpContents"_s);
        QVERIFY(help && help->isVisible());
        QTRY_COMPARE(page(help), u"index.html"_s);
        QCOMPARE(m_recorder->texts(), QStringList());
        QHelpContentModel *model = help->engine()->contentModel();
        QHelpContentItem *root = model->contentItemAt(model->index(0, 0));
        QVERIFY(root && root->childCount() >= 8);
        for (int i = 0; i < root->childCount(); ++i)
            QVERIFY2(!help->engine()->fileData(root->child(i)->url()).isEmpty(),
                     qPrintable(root->child(i)->url().toString()));

        QHelpContentWidget *contents = help->engine()->contentWidget();
        contents->expandAll();
        const QModelIndex second = model->index(1, 0, model->index(0, 0));
        const QString target = model->contentItemAt(second)->url().fileName();
        QVERIFY(target != u"index.html"_s);
        QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                          contents->visualRect(second).center());
        QCOMPARE(page(help), target);

        QList<QUrl> outside;
        help->page()->openOutside = [&outside](const QUrl &url) { outside.append(url); };
        Q_EMIT help->page()->anchorClicked(QUrl(u"footage-calls.html"_s));
        QCOMPARE(page(help), u"footage-calls.html"_s);
        QCOMPARE(help->currentPage().scheme(), u"qthelp"_s);
        Q_EMIT help->page()->anchorClicked(QUrl(u"https://example.org/plss"_s));
        QCOMPARE(outside, QList<QUrl>{QUrl(u"https://example.org/plss"_s)});
        QCOMPARE(page(help), u"footage-calls.html"_s);

        help->showKeywordSearch(u"quarter calls"_s);
        QHelpIndexWidget *index = help->engine()->indexWidget();
        QTRY_VERIFY(index->model()->rowCount() > 0);
        QTest::mouseClick(index->viewport(), Qt::LeftButton, {},
                          index->visualRect(index->model()->index(0, 0)).center());
        QCOMPARE(page(help), u"quarter-calls.html"_s);

        // Search For Help On starts on the index; a keyword and Enter open its page.
        m_main->findChild<QAction *>(u"actionHelpSearchForHelpOn"_s)->trigger();
        QCOMPARE(help->currentTab(), u"Index"_s);
        QTRY_VERIFY(help->engine()->indexModel()->rowCount() > 20);
        const std::pair<QString, QString> keywords[] = {
            {u"footage calls"_s, u"footage-calls.html"_s},
            {u"QUADNAME"_s, u"themes-legend.html"_s},
            {u"tractwise-locate"_s, u"command-line.html"_s}};
        for (const auto &[keyword, target] : keywords) {
            help->keywordBox()->clear();
            QTest::keyClicks(help->keywordBox(), keyword);
            QTest::keyClick(help->keywordBox(), Qt::Key_Return);
            QTRY_COMPARE(page(help), target);
        }
    }

    // Either Help item without the help collection says so.
    void missingHelp()
    {
        QTemporaryDir dir;
        for (const QString &item : {u"actionHelpContents"_s, u"actionHelpSearchForHelpOn"_s}) {
            QCOMPARE(openHelp(item, dir.filePath(u"none.qhc"_s)), nullptr);
            QCOMPARE(m_recorder->texts(),
                     QStringList{u"Unable to display Help Contents. There is no Help "
                                 "associated with this project."_s});
            QCOMPARE(m_recorder->messages().first().icon, MessageIcon::Information);
        }
    }

    // The starting address loads once on showing. Pages reached go to the top of the address
    // list, each once, without loading again; an address chosen from the list or typed loads,
    // and so do the buttons; the caption says so while the view is busy.
    void navigatesBackAndForth()
    {
        auto *fake = new FakeBrowser;
        WebWindow window{std::unique_ptr<WebBrowser>(fake)};
        window.startingAddress = u"http://s/"_s;
        window.show();
        window.show(); // showing again does not load again
        QCOMPARE(fake->calls, QStringList{u"Navigate http://s/"_s});
        fake->calls.clear();
        fake->arrive(u"http://a/"_s, u"Page A"_s);
        fake->arrive(u"http://s/"_s, u"Start"_s);
        fake->arrive(u"http://a/"_s, u"Page A"_s);
        QComboBox *box = window.addressBox();
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
        window.updateBusyState();
        QCOMPARE(window.windowTitle(), u"Working..."_s);
        QVERIFY(window.timer()->isActive());
        window.findChild<QAction *>(u"Stop"_s)->trigger();
        QCOMPARE(fake->calls.last(), u"Stop"_s);
        QCOMPARE(window.windowTitle(), u"Page A"_s);
        QVERIFY(!window.timer()->isActive());
        // A page of the program's own is listed by its title and still reached by its address.
        fake->calls.clear();
        fake->arrive(u"qrc:/web/home.html"_s, u"Home"_s);
        QCOMPARE(box->itemText(0), u"Home"_s);
        box->setCurrentIndex(1);
        box->activated(1);
        box->setCurrentIndex(0);
        box->activated(0);
        QCOMPARE(fake->calls,
                 (QStringList{u"Navigate http://a/"_s, u"Navigate qrc:/web/home.html"_s}));
    }

    // Each View "Web Browser" opens one more window at the program's home page.
    void menuOpensNewWindows()
    {
        MainWindow main(std::make_unique<RecordingMessageService>());
        QList<FakeBrowser *> made;
        main.makeWebBrowser = [&made] {
            auto b = std::make_unique<FakeBrowser>();
            made.append(b.get());
            return b;
        };
        QAction *item = main.findChild<QAction *>(u"actionViewWebBrowser"_s);
        item->trigger();
        item->trigger();
        QCOMPARE(made.size(), 2);
        QCOMPARE(made[0]->calls, QStringList{u"Navigate "_s + webHomePage().toString()});
        QCOMPARE(main.findChildren<WebWindow *>().size(), 2);
        main.findChildren<WebWindow *>().first()->close(); // the other stays
        QTRY_COMPARE(main.findChildren<WebWindow *>().size(), 1);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
