#include "core/common/message_service.h"
#include "gui/app/frm_main.h"
#include "gui/app/help_window.h"

#include <QAction>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The Help menu over the help collection compiled with the program.
class TestHelp : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    RecordingMessageService *m_recorder = nullptr;
    std::unique_ptr<frmMain> m_main;

    // A Help menu item chosen in a new main window; the help window it opened, if any.
    HelpWindow *openHelp(const QString &item,
                         const QString &helpFile = QString::fromUtf8(TW_HELP_COLLECTION))
    {
        auto recorder = std::make_unique<RecordingMessageService>();
        m_recorder = recorder.get();
        m_main = std::make_unique<frmMain>(std::move(recorder));
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
        HelpWindow *help = openHelp(u"mnuHelpContents"_s);
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
        m_main->findChild<QAction *>(u"mnuHelpSearchForHelpOn"_s)->trigger();
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
        for (const QString &item : {u"mnuHelpContents"_s, u"mnuHelpSearchForHelpOn"_s}) {
            QCOMPARE(openHelp(item, dir.filePath(u"none.qhc"_s)), nullptr);
            QCOMPARE(m_recorder->texts(),
                     QStringList{u"Unable to display Help Contents. There is no Help "
                                 "associated with this project."_s});
            QCOMPARE(m_recorder->messages().first().icon, MessageIcon::Information);
        }
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
