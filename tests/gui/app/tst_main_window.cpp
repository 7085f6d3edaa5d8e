#include "core/common/message_service.h"
#include "core/common/twips.h"
#include "gui/app/frm_main.h"
#include "gui/legend/legend_control.h"
#include "gui/map/map_widget.h"
#include "tests/fixtures/fixtures.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    QTemporaryDir m_data;
    RecordingMessageService *m_recorder = nullptr;
    QStringList m_asked; // the windows the save question named
    QMessageBox::StandardButton m_answer = QMessageBox::Discard;

    std::unique_ptr<frmMain> makeWindow()
    {
        auto recorder = std::make_unique<RecordingMessageService>();
        m_recorder = recorder.get();
        auto w = std::make_unique<frmMain>(std::move(recorder));
        m_asked.clear();
        m_answer = QMessageBox::Discard;
        w->askToSave = [this](const QString &name) {
            m_asked.append(name);
            return m_answer;
        };
        return w;
    }
    static QStringList captions(frmMain &w)
    {
        QStringList out;
        for (QMdiSubWindow *sub : w.findChild<QMdiArea *>()->subWindowList())
            out.append(sub->windowTitle());
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    }
    void init() { QSettings(u"QRV Tractwise"_s, u"QRV Tractwise"_s).clear(); }

    void firstStart()
    {
        auto w = makeWindow();
        const double tpp = twipsPerPixel(w->logicalDpiX());
        QCOMPARE(w->pos(), QPoint(int(std::lround(1000 / tpp)), int(std::lround(1000 / tpp))));
        QCOMPARE(w->size(), QSize(int(std::lround(6500 / tpp)), int(std::lround(6500 / tpp))));
        QCOMPARE(captions(*w), QStringList{u"Document 1"_s});
        QCOMPARE(w->pressedTool(), u"IdentifyInThemes"_s);
        QCOMPARE(w->windowTitle(), u"QRV Tractwise"_s);
    }

    void geometryIsKeptUnlessMinimised()
    {
        {
            auto w = makeWindow();
            w->show();
            w->move(150, 120);
            w->resize(700, 500);
            w->close();
        }
        MainGeometry g = readMainGeometry();
        auto w = makeWindow();
        const double tpp = twipsPerPixel(w->logicalDpiX());
        QCOMPARE(w->size(), QSize(700, 500));
        QCOMPARE(g.width, 700 * tpp);
        w->show();
        w->resize(300, 300);
        w->showMinimized();
        w->close();
        QCOMPARE(readMainGeometry().width, g.width); // unchanged
    }

    void newWindowsAreNumbered()
    {
        auto w = makeWindow();
        QAction *newAction = w->findChild<QAction *>(u"mnuFileNew"_s);
        QCOMPARE(newAction->shortcut(), QKeySequence(u"Ctrl+N"_s));
        for (int i = 0; i < 3; ++i)
            newAction->trigger();
        QCOMPARE(captions(*w),
                 (QStringList{u"Document 1"_s, u"Document 2"_s, u"Document 3"_s, u"Document 4"_s}));
        w->findChild<QMdiArea *>()->subWindowList().at(1)->close();
        newAction->trigger();
        QCOMPARE(captions(*w).last(), u"Document 5"_s); // numbers are not reused
    }

    void placeholdersAndToggles()
    {
        auto w = makeWindow();
        w->show();
        w->findChild<QAction *>(u"mnuFileClose"_s)->trigger();
        w->findChild<QAction *>(u"mnuViewOptions"_s)->trigger();
        QCOMPARE(m_recorder->texts(), (QStringList{u"Add 'mnuFileClose_Click' code."_s,
                                                   u"Add 'mnuViewOptions_Click' code."_s}));
        QCOMPARE(m_recorder->messages().first().icon, MessageIcon::None);
        QCOMPARE(m_recorder->messages().first().title, u"QRV Tractwise"_s);
        QCOMPARE(captions(*w).size(), 1); // Close closes nothing

        QAction *statusBar = w->findChild<QAction *>(u"mnuViewStatusBar"_s);
        QVERIFY(statusBar->isChecked());
        statusBar->trigger();
        QVERIFY(!w->statusBar()->isVisible());
        w->setStatusText(2, u"X:1  Y:2"_s); // still written while hidden
        statusBar->trigger();
        QVERIFY(w->statusBar()->isVisible());

        w->findChild<QAction *>(u"Pan"_s)->trigger();
        QCOMPARE(w->pressedTool(), u"Pan"_s);
        QVERIFY(!w->findChild<QAction *>(u"IdentifyInThemes"_s)->isChecked());
    }

    void saveGoesToSaveAsUntilSaved()
    {
        auto w = makeWindow();
        w->show();
        QString proposed, title, filter;
        int dialogs = 0;
        const QString target = m_data.filePath(u"first.plss"_s);
        w->saveFileDialog = [&](const QString &t, const QString &f, const QString &name) {
            ++dialogs;
            title = t;
            filter = f;
            proposed = name;
            return target;
        };
        w->findChild<QAction *>(u"mnuFileSave"_s)->trigger();
        QCOMPARE(dialogs, 1);
        QCOMPARE(title, u"Save As"_s);
        QCOMPARE(filter, u"Tractwise Files (*.plss)"_s);
        QCOMPARE(proposed, u"plss.plss"_s);
        QCOMPARE(captions(*w), QStringList{target});
        QVERIFY(QFile::exists(target));
        QFile::remove(target);
        w->findChild<QAction *>(u"mnuFileSave"_s)->trigger(); // no dialog the second time
        QCOMPARE(dialogs, 1);
        QVERIFY(QFile::exists(target));

        // Open into the active window; a cancelled dialog changes nothing.
        w->openFileDialog = [](const QString &, const QString &, const QString &) {
            return QString();
        };
        w->findChild<QAction *>(u"mnuFileOpen"_s)->trigger();
        QCOMPARE(captions(*w), QStringList{target});
        w->findChild<QAction *>(u"mnuFileNew"_s)->trigger();
        w->openFileDialog = [&](const QString &, const QString &, const QString &) {
            return target;
        };
        w->findChild<QAction *>(u"mnuFileOpen"_s)->trigger();
        QCOMPARE(captions(*w), (QStringList{target, target}));
    }

    // A file that is no project is reported and never becomes the window's file, so a later
    // Save cannot write over it.
    void openingSomethingElseKeepsIt()
    {
        auto w = makeWindow();
        w->show();
        const QString other = m_data.filePath(u"notes.txt"_s);
        {
            QFile f(other);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Well logs, do not lose\r\n");
        }
        w->openFileDialog = [&](const QString &, const QString &, const QString &) {
            return other;
        };
        const QString theme = m_data.filePath(u"kept.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(theme, {}), QString());
        w->addThemeFiles({theme});
        w->findChild<QAction *>(u"mnuFileOpen"_s)->trigger();
        QCOMPARE(w->activeMapView()->legend()->ThemeItems().size(), 1); // the window keeps it
        QCOMPARE(m_recorder->texts(),
                 QStringList{u"Error looking for line 'Number of themes ='; got 'Well logs, do "
                             "not lose"_s});
        QCOMPARE(captions(*w), QStringList{u"Document 1"_s});
        int dialogs = 0;
        w->saveFileDialog = [&](const QString &, const QString &, const QString &) {
            ++dialogs;
            return QString(); // cancelled
        };
        w->findChild<QAction *>(u"mnuFileSave"_s)->trigger();
        QCOMPARE(dialogs, 1);
        QFile f(other);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("Well logs, do not lose\r\n"));
    }

    void themesGoToTheActiveWindow()
    {
        QDir(m_data.path()).mkpath(u"with space"_s);
        const QString path = m_data.filePath(u"with space/my sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(path, {}), QString());
        auto w = makeWindow();
        w->show();
        w->FindInTheme_Click(); // no active theme: nothing
        w->addThemeFiles({path});
        frmMapView *view = w->activeMapView();
        QVERIFY(view);
        QCOMPARE(view->map()->layerCount(), 1);
        QCOMPARE(view->legend()->GetActiveLayerList().size(), 1);
        QVERIFY(m_recorder->messages().isEmpty());
        view->map()->setExtent(MapRect(0, 10, 10, 0));
        w->findChild<QAction *>(u"FullExtent"_s)->trigger();
        QCOMPARE(view->map()->extent().center(), view->map()->FullExtent().center());
        w->findChild<QAction *>(u"mnuEditDeleteThemes"_s)->trigger();
        QCOMPARE(view->map()->layerCount(), 0);
    }

    // Closing a changed map window, leaving the program or opening another project over it asks
    // first; Save writes the project, Discard goes on, Cancel keeps everything.
    void changedWindowsAskBeforeTheyGo_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        for (const char *how : {"close", "exit", "open"}) {
            QTest::addRow("%s, save", how) << QString::fromLatin1(how) << int(QMessageBox::Save);
            QTest::addRow("%s, discard", how)
                << QString::fromLatin1(how) << int(QMessageBox::Discard);
            QTest::addRow("%s, cancel", how)
                << QString::fromLatin1(how) << int(QMessageBox::Cancel);
        }
    }
    void changedWindowsAskBeforeTheyGo()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        auto w = makeWindow();
        w->show();
        QMdiArea *area = w->findChild<QMdiArea *>();
        // An unchanged window goes without a question.
        w->findChild<QAction *>(u"mnuFileNew"_s)->trigger();
        QVERIFY(area->activeSubWindow()->close());
        QTRY_COMPARE(area->subWindowList().size(), 1);
        QCOMPARE(m_asked, QStringList());

        const QString theme = m_data.filePath(u"asked.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(theme, {}), QString());
        const QString saved = m_data.filePath(u"asked.plss"_s);
        const QString empty = m_data.filePath(u"empty.plss"_s);
        QFile::remove(saved);
        {
            QFile f(empty);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Number of themes = 0\r\n");
        }
        w->saveFileDialog = [&](const QString &, const QString &, const QString &) {
            return saved;
        };
        w->openFileDialog = [&](const QString &, const QString &, const QString &) {
            return empty;
        };
        w->addThemeFiles({theme});
        m_answer = QMessageBox::StandardButton(answer);
        if (how == u"close"_s)
            area->activeSubWindow()->close();
        else if (how == u"exit"_s)
            w->close();
        else
            w->findChild<QAction *>(u"mnuFileOpen"_s)->trigger();
        QCOMPARE(m_asked, QStringList{u"Document 1"_s});
        QCOMPARE(QFile::exists(saved), answer == QMessageBox::Save);
        const bool goesOn = answer != QMessageBox::Cancel;
        if (how == u"open"_s) {
            QCOMPARE(w->activeMapView()->legend()->ThemeItems().size(), goesOn ? 0 : 1);
        } else {
            QTRY_COMPARE(area->subWindowList().isEmpty(), goesOn);
            QCOMPARE(w->isVisible(), !(how == u"exit"_s && goesOn));
        }
    }

    // The query window outlives the map window it was opened from: it empties itself, and its
    // buttons do nothing, instead of reaching into the closed window.
    void queryWindowOutlivesItsMap()
    {
        const QString theme = m_data.filePath(u"queried.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(theme, {}), QString());
        auto w = makeWindow();
        w->show();
        w->addThemeFiles({theme});
        w->FindInTheme_Click();
        auto *query = w->findChild<QWidget *>(u"frmQuery"_s, Qt::FindDirectChildrenOnly);
        if (!query) {
            for (QWidget *top : QApplication::topLevelWidgets())
                query = top->objectName() == u"frmQuery"_s ? top : query;
        }
        QVERIFY(query && query->isVisible());
        auto *fields = query->findChild<QListWidget *>(u"FieldList"_s);
        QVERIFY(fields->count() > 0);
        query->findChild<QLineEdit *>(u"QueryText"_s)->setText(u"section = 1"_s);
        w->findChild<QMdiArea *>()->activeSubWindow()->close();
        QTRY_COMPARE(fields->count(), 0);
        query->findChild<QPushButton *>(u"NewSetB"_s)->click();
        QCOMPARE(query->findChild<QLineEdit *>(u"QueryText"_s)->text(), QString());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
