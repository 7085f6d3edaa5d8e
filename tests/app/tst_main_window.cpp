#include "app/frm_main.h"
#include "common/message_service.h"
#include "common/twips.h"
#include "legend/legend_control.h"
#include "mapview/map_widget.h"
#include "tests/fixtures/fixtures.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
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

    std::unique_ptr<frmMain> makeWindow()
    {
        auto recorder = std::make_unique<RecordingMessageService>();
        m_recorder = recorder.get();
        return std::make_unique<frmMain>(std::move(recorder));
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
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
