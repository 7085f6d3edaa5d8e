#include "core/common/message_service.h"
#include "core/common/twips.h"
#include "core/document/theme_list.h"
#include "core/engine/vector_layer.h"
#include "gui/app/main_window.h"
#include "gui/calculators/calculator_host.h"
#include "gui/calculators/well_calculator.h"
#include "gui/calculators/wells_panel.h"
#include "gui/common/app_settings.h"
#include "gui/legend/legend.h"
#include "gui/legend/legend_row.h"
#include "gui/legend/symbol_dialog.h"
#include "gui/map/identify_window.h"
#include "gui/map/map.h"
#include "tests/fixtures/fixtures.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    QTemporaryDir m_data;
    QString m_grid;  // a section grid in a folder whose name has a space
    QString m_empty; // a project without themes
    RecordingMessageService *m_recorder = nullptr;
    QStringList m_asked; // the windows the save question named
    QMessageBox::StandardButton m_answer = QMessageBox::Discard;

    std::unique_ptr<MainWindow> makeWindow(bool show = true)
    {
        auto recorder = std::make_unique<RecordingMessageService>();
        m_recorder = recorder.get();
        auto w = std::make_unique<MainWindow>(std::move(recorder));
        m_asked.clear();
        m_answer = QMessageBox::Discard;
        w->askToSave = [this](const QString &name) {
            m_asked.append(name);
            return m_answer;
        };
        if (show)
            w->show();
        return w;
    }
    static void act(MainWindow &w, const char *action)
    {
        w.findChild<QAction *>(QString::fromLatin1(action))->trigger();
    }
    // A file dialog answered with `path` (empty: cancelled).
    static MainWindow::FileDialog choose(const QString &path)
    {
        return [path](const QString &, const QString &, const QString &) { return path; };
    }
    static bool writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    static QList<QMdiSubWindow *> windows(MainWindow &w)
    {
        return w.findChild<QMdiArea *>()->subWindowList();
    }
    static QStringList captions(MainWindow &w)
    {
        QStringList out;
        for (QMdiSubWindow *sub : windows(w))
            out.append(sub->windowTitle());
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        QVERIFY(QDir(m_data.path()).mkpath(u"with space"_s));
        m_grid = m_data.filePath(u"with space/sections.shp"_s);
        fixtures::SectionGrid g;
        g.originX = 400000;
        QCOMPARE(fixtures::writeSectionGrid(m_grid, g), QString());
        m_empty = m_data.filePath(u"empty.plss"_s);
        QVERIFY(writeFile(m_empty, "Number of themes = 0\r\n"));
    }
    void init() { QSettings(u"QRV Tractwise"_s, u"QRV Tractwise"_s).clear(); }

    // First start: most of the screen with the map window filling it; afterwards the window
    // comes back where it was left, unless it was left minimised.
    void geometryIsKeptUnlessMinimised()
    {
        {
            auto w = makeWindow(false);
            const QRect screen = w->screen()->availableGeometry();
            QCOMPARE(w->size(), QSize(screen.width() * 4 / 5, screen.height() * 4 / 5));
            QVERIFY(windows(*w).first()->isMaximized());
            w->show();
            w->move(150, 120);
            w->resize(700, 500);
            w->close();
        }
        const MainGeometry g = readMainGeometry().value();
        auto w = makeWindow(false);
        QCOMPARE(w->size(), QSize(700, 500));
        QCOMPARE(g.width, 700 * twipsPerPixel(w->logicalDpiX()));
        QVERIFY(windows(*w).first()->isMaximized());
        w->show();
        w->resize(300, 300);
        w->showMinimized();
        w->close();
        QCOMPARE(readMainGeometry()->width, g.width); // unchanged
    }

    // A tool window's place kept by a version before the windows' present names is still found;
    // the place kept under the present name wins.
    void toolWindowPlacesOfEarlierVersions()
    {
        QSettings store(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
        store.beginGroup(u"Settings"_s);
        store.setValue(u"frm"_s + u"QueryGeometry"_s, QByteArray("before"));
        QCOMPARE(toolWindowGeometry(u"queryWindow"_s), QByteArray("before"));
        setToolWindowGeometry(u"queryWindow"_s, QByteArray("now"));
        QCOMPARE(toolWindowGeometry(u"queryWindow"_s), QByteArray("now"));
        QCOMPARE(toolWindowGeometry(u"identifyWindow"_s), QByteArray());
        store.remove(u"frm"_s + u"QueryGeometry"_s);
        store.remove(u"queryWindowGeometry"_s);
    }

    // What needs a map window is offered only while one is open; new windows are numbered on,
    // a number never reused; the View ticks follow what shows; another tool takes away what the
    // last one wrote; the Window menu arranges the windows, minimised ones left as icons.
    void actionsFollowTheWindows()
    {
        auto w = makeWindow(false);
        w->resize(1000, 800);
        w->show();
        auto action = [&w](const char *name) {
            return w->findChild<QAction *>(QString::fromLatin1(name));
        };
        for (const char *name : {"actionFileSave", "Print", "actionAddTheme", "FindInTheme", "Pan"})
            QVERIFY2(action(name)->isEnabled(), name);
        act(*w, "actionFileClose");
        QTRY_VERIFY(captions(*w).isEmpty());
        for (const char *name : {"actionFileSave", "Print", "actionAddTheme", "FindInTheme", "Pan"})
            QVERIFY2(!action(name)->isEnabled(), name);
        act(*w, "actionFileNew");
        act(*w, "actionFileNew");
        QCOMPARE(captions(*w), (QStringList{u"Document 2"_s, u"Document 3"_s}));
        QVERIFY(action("actionFileSave")->isEnabled());

        auto *bar = w->findChild<QToolBar *>(u"toolBar"_s);
        bar->hide(); // as the toolbar area's own menu does
        QVERIFY(!action("actionViewToolbar")->isChecked());
        act(*w, "actionViewToolbar");
        QVERIFY(bar->isVisible() && action("actionViewToolbar")->isChecked());
        act(*w, "actionViewStatusBar");
        QVERIFY(!w->statusBar()->isVisible());
        act(*w, "actionViewStatusBar");
        QVERIFY(w->statusBar()->isVisible());

        w->setStatusText(1, u"Distance: 10 ft"_s);
        act(*w, "Pan");
        QCOMPARE(w->pressedTool(), MapToolKind::Pan);
        QCOMPARE(w->findChild<QStatusBar *>()->findChildren<QLabel *>().first()->text(),
                 u"Ready"_s);

        QMdiArea *area = w->findChild<QMdiArea *>();
        w->openNewMapWindow();
        w->openNewMapWindow();
        const QList<QMdiSubWindow *> subs = area->subWindowList();
        subs[3]->showMinimized();
        const QRect free = area->viewport()->rect();
        act(*w, "actionWindowArrangeIcons");
        QCOMPARE(subs[3]->geometry().bottomLeft(), QPoint(0, free.bottom()));
        act(*w, "actionWindowTileHorizontal");
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(subs[i]->width(), free.width());
            QVERIFY(subs[i]->geometry().bottom() < subs[3]->y()); // above the icon
        }
        QVERIFY(subs[0]->y() < subs[1]->y() && subs[1]->y() < subs[2]->y());
        QVERIFY(subs[3]->isMinimized()); // left alone
        act(*w, "actionWindowTileVertical");
        QCOMPARE(subs[0]->y(), subs[1]->y());
        QVERIFY(subs[0]->x() < subs[1]->x() && subs[1]->x() < subs[2]->x());
        act(*w, "actionWindowCascade");
        for (int i = 0; i < 3; ++i) // usable, not bare title bars
            QVERIFY(subs[i]->height() >= free.height() / 2 && subs[i]->width() >= free.width() / 2);
    }

    // Nothing is clipped or overlaps down to 900 x 650; below that the panel scrolls instead of
    // being squeezed.
    void layoutFits_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("fits");
        QTest::newRow("900 x 650") << QSize(900, 650) << true;
        QTest::newRow("640 x 480") << QSize(640, 480) << false;
    }
    void layoutFits()
    {
        QFETCH(QSize, size);
        QFETCH(bool, fits);
        auto w = makeWindow(false);
        w->resize(size);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        MapWindow *view = w->activeMapWindow();
        auto *scroll = view->findChild<QScrollArea *>(u"panelScroll"_s);
        QTRY_COMPARE(!scroll->horizontalScrollBar()->isVisible() &&
                         !scroll->verticalScrollBar()->isVisible(),
                     fits);
        const QList<QWidget *> parts = {view->map(), scroll, view->legend(),
                                        view->findChild<QWidget *>(u"logo"_s)};
        auto inView = [view](const QWidget *part) {
            return QRect(part->mapTo(view, QPoint(0, 0)), part->size());
        };
        for (qsizetype i = 0; i < parts.size(); ++i) {
            QVERIFY2(view->rect().contains(inView(parts[i])), qPrintable(parts[i]->objectName()));
            for (qsizetype j = i + 1; j < parts.size(); ++j)
                QVERIFY(!inView(parts[i]).intersects(inView(parts[j])));
        }
        const QList<QAbstractButton *> buttons =
            view->calculator()->findChildren<QAbstractButton *>();
        for (const QAbstractButton *b : buttons) {
            if (b->isVisible())
                QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->objectName()));
        }
    }

    // The Wells panel: a Calculate adds its well, an import the rest (what it left out said),
    // the table filters, selects onto the map, zooms, deletes; saving the project keeps the wells
    // beside it and opening it brings them back.
    void wellsPanelKeepsTheWindowsWells()
    {
        auto w = makeWindow();
        w->addThemeFiles({m_grid});
        MapWindow *view = w->activeMapWindow();
        auto *dock = w->findChild<QDockWidget *>(u"wellsDock"_s);
        auto *panel = w->findChild<WellsPanel *>(u"wellsPanel"_s);
        QVERIFY(!dock->isVisible());
        auto box = [view](const char *name) {
            return view->findChild<QLineEdit *>(QString::fromLatin1(name));
        };
        box("section")->setText(u"31"_s);
        box("township")->setText(u"12N"_s);
        box("range")->setText(u"34W"_s);
        view->findChild<QComboBox *>(u"call160"_s)->setCurrentText(u"SW"_s);
        view->findChild<QPushButton *>(u"calculateQuarters"_s)->click();
        QCOMPARE(view->wells()->rowCount(), 1);
        QTRY_VERIFY(dock->isVisible());
        const Well &first = view->wells()->well(0);
        QCOMPARE(first.entry.id, u"W-1"_s);
        QCOMPARE(first.easting, box("easting")->text());
        QCOMPARE(first.northing, box("northing")->text());
        QVERIFY(!first.latitude.isEmpty());

        const QString csv = m_data.filePath(u"permits.csv"_s);
        QVERIFY(writeFile(csv, "id,description\nP-1,\"NE SW sec. 30, T12N, R34W, 6th PM\"\n"
                               "P-2,\"NE SW sec. 99, T12N, R34W, 6th PM\"\nP-1,sec 1 T12N R34W\n"));
        m_recorder->clear();
        QVERIFY(panel->importFile(csv));
        QCOMPARE(view->wells()->rowCount(), 3);
        QCOMPARE(
            m_recorder->texts(),
            QStringList{u"2 wells imported. Left out or not read:\npermits.csv line 4: the "
                        u"id \"P-1\" is already on an earlier line; the line was left out."_s});
        QVERIFY(view->wells()->well(1).located);
        QVERIFY(!view->wells()->well(2).located);

        auto *table = panel->view();
        w->findChild<QComboBox *>(u"wellsFilter"_s)->setCurrentIndex(2); // not located
        QCOMPARE(table->model()->rowCount(), 1);
        w->findChild<QComboBox *>(u"wellsFilter"_s)->setCurrentIndex(0);
        QCOMPARE(table->model()->rowCount(), 3);
        table->selectRow(1);
        QCOMPARE(panel->selectedRows(), QSet<int>{1});
        const MapRect before = view->map()->extent();
        Q_EMIT table->doubleClicked(table->model()->index(1, 0));
        QVERIFY(view->map()->extent().width() < before.width());
        const MapPoint p = view->wells()->well(1).point;
        QVERIFY(view->map()->extent().contains(p));
        table->selectRow(2);
        panel->deleteSelected();
        QCOMPARE(view->wells()->rowCount(), 2);
        QVERIFY(view->isModified());

        const QString project = m_data.filePath(u"season.plss"_s);
        QVERIFY(view->saveProject(project));
        QVERIFY(QFile::exists(m_data.filePath(u"season-wells.gpkg"_s)));
        QVERIFY(!view->isModified());
        w->openNewMapWindow();
        MapWindow *other = w->activeMapWindow();
        QVERIFY(other != view);
        QCOMPARE(panel->model(), other->wells());
        QVERIFY(other->loadProject(project));
        QCOMPARE(other->wells()->rowCount(), 2);
        QCOMPARE(other->wells()->well(1).entry.id, u"P-1"_s);
        QCOMPARE(other->wells()->well(1).easting, view->wells()->well(1).easting);
        QCOMPARE(other->wellsSource(), m_data.filePath(u"season-wells.gpkg"_s));
        // Named beside the project, so the folder can move; gone, it is said.
        QFile written(project);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().contains("\r\nWells = season-wells.gpkg\r\n"));
        QVERIFY(QFile::remove(m_data.filePath(u"season-wells.gpkg"_s)));
        m_recorder->clear();
        QVERIFY(other->loadProject(project));
        QCOMPARE(other->wells()->rowCount(), 0);
        QVERIFY2(m_recorder->texts().value(0).startsWith(
                     u"The wells of season.plss could not be read: "_s),
                 qPrintable(m_recorder->texts().join(u'|')));
    }

    // The menu items of File and View that act on the active window; themes go to it.
    void fileAndViewCommands()
    {
        auto w = makeWindow();
        w->findInTheme();           // no active theme: nothing
        w->addThemeFiles({m_grid}); // active: Properties below describes it
        QString shown;
        w->runDialog = [&shown](QDialog &dialog) {
            if (auto *text = dialog.findChild<QPlainTextEdit *>())
                shown = text->toPlainText();
            if (auto *preview = dialog.findChild<QPrintPreviewWidget *>()) {
                preview->updatePreview();
                shown = QString::number(preview->pageCount()) + u" page"_s;
            }
            return int(QDialog::Rejected);
        };
        act(*w, "actionFileProperties");
        for (const QString &line :
             QStringList{u"Project file: (not saved)"_s, u"Source: "_s + m_grid,
                         u"Kind: vector, polygons"_s, u"Features: 36"_s,
                         u"Coordinate system: NAD83 / UTM zone 13N"_s})
            QVERIFY2(shown.contains(line), qPrintable(shown));
        act(*w, "actionFilePrintPreview");
        QCOMPARE(shown, u"1 page"_s);

        // Save All saves the changed windows, asking for a name until a window has one; Send
        // hands the saved file to the mail program.
        const QString saved = m_data.filePath(u"all.plss"_s);
        QStringList dialogs; // the filter and the proposed name of each
        w->saveFileDialog = [&](const QString &, const QString &filter, const QString &name) {
            dialogs.append(filter + u' ' + name);
            return saved;
        };
        w->openNewMapWindow(); // unchanged: not saved
        act(*w, "actionFileSaveAll");
        QCOMPARE(dialogs, QStringList{u"Tractwise Files (*.plss) plss.plss"_s});
        QCOMPARE(captions(*w), (QStringList{saved, u"Document 2"_s}));
        QCOMPARE(recentProjects(), QStringList{saved});
        QStringList started;
        bool mailer = true;
        w->startProgram = [&](const QString &program, const QStringList &arguments) {
            started = QStringList{program} + arguments;
            return mailer;
        };
        w->findChild<QMdiArea *>()->setActiveSubWindow(windows(*w).first());
        act(*w, "actionFileSend");
        QCOMPARE(started, (QStringList{u"xdg-email"_s, u"--attach"_s, saved}));
        QVERIFY(m_recorder->texts().isEmpty());
        mailer = false;
        act(*w, "actionFileSend");
        QVERIFY(m_recorder->texts().size() == 1 && m_recorder->texts().first().contains(saved));

        // Options keeps the folders; open windows look for quadrangle images there.
        w->runDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(u"quadImageFolder"_s)->setText(u"/data/quads"_s);
            dialog.findChild<QLineEdit *>(u"startFolder"_s)->setText(u"/data"_s);
            dialog.accept();
            return int(QDialog::Accepted);
        };
        act(*w, "actionViewOptions");
        QCOMPARE((QStringList{quadImageFolder(), startFolder(),
                              w->activeMapWindow()->legend()->quadImageFolder()}),
                 (QStringList{u"/data/quads"_s, u"/data"_s, u"/data/quads/"_s}));

        // The wells located in the window go out as a point layer, one feature each.
        act(*w, "actionFileExportWells");
        QCOMPARE(m_recorder->texts().last(), u"No well has been located in this map window yet."_s);
        Map *map = w->activeMapWindow()->map();
        map->setExtent(MapRect(0, 10, 10, 0));
        act(*w, "FullExtent");
        QCOMPARE(map->extent().center(), map->fullExtent().center());
        WellCalculator *panel = w->activeMapWindow()->calculator();
        panel->setReversePoint({400600, 4400600});
        panel->findChild<QPushButton *>(u"calculateReverse"_s)->click();
        panel->findChild<QPushButton *>(u"calculateQuarters"_s)->click(); // two wells now
        const QString out = m_data.filePath(u"wells.gpkg"_s);
        w->saveFileDialog = choose(out);
        act(*w, "actionFileExportWells");
        auto layer = VectorLayer::open(out);
        QVERIFY2(layer->isValid(), qPrintable(layer->errorText()));
        // The Wells table, every column: the reverse well at its point, the forward one by
        // its calls; numbers as numbers.
        QCOMPARE(
            (QStringList{QString::number(layer->featureCount()),
                         layer->value(0, layer->fieldIndex(u"method"_s)).toString(),
                         layer->value(1, layer->fieldIndex(u"calls"_s)).toString(),
                         layer->value(0, layer->fieldIndex(u"easting"_s)).toString(),
                         QString::number(layer->utmZone().value_or(0))}),
            (QStringList{u"2"_s, u"reverse location"_s, u"NE SW NE SW"_s, u"400600"_s, u"13"_s}));
        QVERIFY(layer->isNumericField(u"latitude"_s));
        act(*w, "actionEditDeleteThemes");
        QCOMPARE(map->layerCount(), 0);

        QVERIFY(QFile::remove(saved));
        act(*w, "actionFileSave"); // no dialog the second time
        QCOMPARE(dialogs.size(), 1);
        QVERIFY(QFile::exists(saved));
        // Open into the active window; a cancelled dialog changes nothing.
        w->openFileDialog = choose(QString());
        act(*w, "actionFileOpen");
        QCOMPARE(captions(*w), (QStringList{saved, u"Document 2"_s}));
        w->findChild<QMdiArea *>()->setActiveSubWindow(windows(*w).last());
        w->openFileDialog = choose(saved);
        act(*w, "actionFileOpen");
        QCOMPARE(captions(*w), (QStringList{saved, saved}));
    }

    void recentProjectList_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("first") << QStringList() << u"/p/a.plss"_s << QStringList{u"/p/a.plss"_s};
        QTest::newRow("again moves it up")
            << QStringList{u"/p/b.plss"_s, u"/p/a.plss"_s} << u"/p/a.plss"_s
            << QStringList{u"/p/a.plss"_s, u"/p/b.plss"_s};
        QTest::newRow("five at most")
            << QStringList{u"/1"_s, u"/2"_s, u"/3"_s, u"/4"_s, u"/5"_s} << u"/6"_s
            << QStringList{u"/6"_s, u"/1"_s, u"/2"_s, u"/3"_s, u"/4"_s};
    }
    void recentProjectList()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, added);
        QFETCH(QStringList, after);
        QCOMPARE(withRecent(before, added), after);
    }

    // A file that is no project is reported and never becomes the window's file, so a later
    // Save cannot write over it. A project from the recent list opens as usual.
    void openingSomethingElseKeepsIt()
    {
        addRecentProject(m_empty);
        auto w = makeWindow();
        const QString other = m_data.filePath(u"notes.txt"_s);
        QVERIFY(writeFile(other, "Well logs, do not lose\r\n"));
        w->openFileDialog = choose(other);
        w->addThemeFiles({m_grid});
        act(*w, "actionFileOpen");
        QCOMPARE(w->activeMapWindow()->legend()->rows().size(), 1); // the window keeps it
        QCOMPARE(m_recorder->texts(),
                 QStringList{u"Error looking for line 'Number of themes ='; got 'Well logs, do "
                             "not lose"_s});
        QCOMPARE(captions(*w), QStringList{u"Document 1"_s});
        int dialogs = 0; // Save asks for a name, and is cancelled
        w->saveFileDialog = [&](const QString &, const QString &, const QString &) {
            return ++dialogs, QString();
        };
        act(*w, "actionFileSave");
        QCOMPARE(dialogs, 1);
        QFile f(other);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("Well logs, do not lose\r\n"));
        act(*w, "recentFiles1");
        QCOMPARE(w->activeMapWindow()->projectFile(), m_empty);
    }

    // Help > Sample Project opens a copy in the user's documents: saving it writes there and
    // leaves the installed sample as it was.
    void sampleProjectOpensTheUsersCopy()
    {
        const QString installed = QStringLiteral(TW_TEST_DATA) + u"/../sample"_s;
        QFile project(installed + u"/sample.plss"_s);
        QVERIFY(project.open(QIODevice::ReadOnly));
        const QByteArray original = project.readAll();
        auto w = makeWindow();
        w->sampleFolder = installed;
        w->sampleCopyFolder = m_data.filePath(u"Documents/Tractwise Sample"_s);
        act(*w, "actionHelpSampleProject");
        const QString copy = w->sampleCopyFolder + u"/sample.plss"_s;
        QCOMPARE(w->activeMapWindow()->projectFile(), copy);
        QCOMPARE(w->activeMapWindow()->legend()->rows().size(), 3);
        QCOMPARE(m_recorder->texts(), QStringList());
        QVERIFY(w->activeMapWindow()->wells()->rowCount() > 0);
        act(*w, "actionFileSave");
        QCOMPARE(m_recorder->texts(), QStringList());
        QVERIFY(QFileInfo::exists(w->sampleCopyFolder + u"/sample-wells.gpkg"_s));
        QFile again(installed + u"/sample.plss"_s);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), original);

        // Again, beside the sample now open rather than in its place.
        act(*w, "actionHelpSampleProject");
        QCOMPARE(windows(*w).size(), 2);
        QCOMPARE(windows(*w).first()->windowTitle(), copy);

        w->sampleFolder = m_data.filePath(u"not installed"_s);
        act(*w, "actionHelpSampleProject");
        QCOMPARE(m_recorder->texts().size(), 1);
        QVERIFY(m_recorder->texts().first().startsWith(u"The sample project is not installed: "_s));
    }

    // As the command line names them: the themes stay with Document 1 and its project, every
    // further project gets a window of its own.
    void filesFromTheCommandLine()
    {
        auto w = makeWindow();
        const QString second = m_data.filePath(u"second.plss"_s);
        QVERIFY(QFile::copy(m_empty, second));
        w->openFiles({m_empty}, {m_grid, second});
        QCOMPARE(windows(*w).size(), 2);
        auto *first = windows(*w).first()->findChild<MapWindow *>();
        QCOMPARE(first->projectFile(), m_empty);
        QCOMPARE(first->legend()->rows().size(), 1);
        QCOMPARE(w->activeMapWindow()->projectFile(), second);
        QCOMPARE(w->activeMapWindow()->legend()->rows().size(), 0);
        QCOMPARE(m_recorder->texts(), QStringList());
    }

    // The sample opens by itself once, on a first start: never for a user whose settings an
    // earlier version wrote.
    void firstStartOnlyOnce()
    {
        QVERIFY(takeFirstStart());
        QVERIFY(!takeFirstStart());
        QSettings(u"QRV Tractwise"_s, u"QRV Tractwise"_s).clear();
        setStartFolder(m_data.path());
        QVERIFY(!takeFirstStart());
    }

    // Data as users hold it: a geodatabase chosen by a file inside it, its layers chosen from a
    // list; the status bar names the system the map works in.
    void geodatabaseThemes()
    {
        const QString utah = QStringLiteral(TW_SHARED_DATA "/utah-sections/utah_sections.shp");
        if (!QFile::exists(utah))
            QSKIP("shared Utah data not present");
        const QString gdb = m_data.filePath(u"utah.gdb"_s);
        for (const QString &layer : {u"sections"_s, u"copy"_s})
            QCOMPARE(fixtures::translateVector(utah, gdb, u"OpenFileGDB"_s, 4269, layer),
                     QString());
        auto w = makeWindow();
        QStringList offered;
        w->chooseLayers = [&offered](const QString &, const QStringList &layers) {
            offered = layers;
            return QStringList{layers.last()};
        };
        w->addThemeFiles({gdb + u"/gdb"_s}); // the file a dialog shows in the folder
        QCOMPARE(offered, (QStringList{u"sections"_s, u"copy"_s}));
        ThemeList *themes = w->activeMapWindow()->themeList();
        QCOMPARE(themes->size(), 1);
        QCOMPARE(themes->at(0).title, u"copy"_s);
        QCOMPARE(themes->at(0).source, gdb + u"|layername=copy"_s);
        QCOMPARE(w->findChild<QLabel *>(u"mapSystemPanel"_s)->text(), u"NAD83 / UTM zone 12N"_s);
        QVERIFY(m_recorder->texts().isEmpty());
    }

    // A state table's fields named through Themes > PLSS Fields: the theme joins the
    // calculators and keeps its fields through the project file; a choice that cannot serve is
    // said and changes nothing.
    void plssFieldsThroughTheDialog()
    {
        const QString state = m_data.filePath(u"state.gpkg"_s);
        QCOMPARE(fixtures::translateVector(
                     m_grid, state, u"GPKG"_s, 26913, u"state"_s,
                     u"SELECT geometry, section AS SEC, township || base_side AS TWP, "
                     u"\"range\" AS RNG, meridian_s AS RDIR FROM sections"_s),
                 QString());
        auto w = makeWindow();
        w->addThemeFiles({state});
        auto *sections =
            w->activeMapWindow()->calculator()->findChild<QComboBox *>(u"sectionThemes"_s);
        QString section = u"RDIR"_s; // first a field of letters
        w->runDialog = [&section](QDialog &dialog) {
            const QStringList lists{u"section"_s, u"township"_s, u"range"_s, u"rangeDirection"_s};
            const QStringList fields{section, u"TWP"_s, u"RNG"_s, u"RDIR"_s};
            for (qsizetype i = 0; i < lists.size(); ++i) {
                auto *c = dialog.findChild<QComboBox *>(lists[i] + u"Field"_s);
                c->setCurrentIndex(c->findText(fields[i]));
            }
            dialog.accept();
            return int(dialog.result());
        };
        // With no section theme, a calculation says what is missing and offers to name the
        // fields of the polygon theme; No opens nothing, Yes opens the dialog.
        QStringList asked;
        bool answer = false;
        w->askQuestion = [&](const QString &text) {
            asked.append(text);
            return answer;
        };
        auto calculate = [&w] {
            w->activeMapWindow()->findChild<QPushButton *>(u"calculateQuarters"_s)->click();
        };
        int dialogs = 0;
        const auto fillDialog = w->runDialog;
        w->runDialog = [&](QDialog &dialog) {
            ++dialogs;
            return fillDialog(dialog);
        };
        calculate();
        QCOMPARE(asked, QStringList{noSectionThemeMessage() +
                                    u"\n\nName the PLSS fields of state.gpkg now?"_s});
        QCOMPARE(dialogs, 0);
        answer = true;
        calculate();
        QCOMPARE(dialogs, 1);
        QCOMPARE(m_recorder->texts().size(), 1);
        QVERIFY(m_recorder->texts().first().startsWith(u"The field RDIR of the theme state"_s));
        QCOMPARE(sections->count(), 0);
        // A double click on the theme opens its symbol, as on any theme.
        bool symbolShown = false;
        w->activeMapWindow()->legend()->runOptionsDialog = [&](SymbolDialog &) {
            symbolShown = true;
        };
        QTest::mouseDClick(w->activeMapWindow()->legend()->rows().first(), Qt::LeftButton);
        QVERIFY(symbolShown);
        QCOMPARE(dialogs, 1);
        // Recognised, the theme is restyled and the legend told, so its swatch follows.
        QSignalSpy restyled(w->activeMapWindow()->themeList(), &ThemeList::appearanceChanged);
        section = u"SEC"_s;
        w->findChild<QAction *>(u"actionPlssFields"_s)->trigger();
        QCOMPARE(sections->count(), 1);
        QCOMPARE(restyled.size(), 1);
        const QString fields = u"section=SEC,township=TWP,range=RNG,range_direction=RDIR"_s;
        QCOMPARE(w->activeMapWindow()->themeList()->at(0).plssFields, fields);

        const QString project = m_data.filePath(u"state.plss"_s);
        QVERIFY(w->activeMapWindow()->saveProject(project));
        auto again = makeWindow(false);
        again->openProject(project);
        QCOMPARE(again->activeMapWindow()->themeList()->at(0).plssFields, fields);
        QCOMPARE(again->activeMapWindow()
                     ->calculator()
                     ->findChild<QComboBox *>(u"sectionThemes"_s)
                     ->count(),
                 1);
    }

    // Second divisions in a schema of their own, named through the same dialog, place a lot on
    // its polygon; the naming is kept in the project.
    void secondDivisionsThroughTheDialog()
    {
        const QString parts = m_data.filePath(u"parts.shp"_s);
        QCOMPARE(fixtures::writeSecondDivisions(parts, {.originX = 400000}), QString());
        const QString county = m_data.filePath(u"county.gpkg"_s);
        QCOMPARE(fixtures::translateVector(parts, county, u"GPKG"_s, 26913, u"county"_s,
                                           u"SELECT geometry, SECDIVLAB AS LABEL, GOVLOT AS LOTNO "
                                           u"FROM parts"_s),
                 QString());
        auto w = makeWindow();
        w->addThemeFiles({m_grid, county});
        ThemeList &themes = *w->activeMapWindow()->themeList();
        for (qsizetype i = 0; i < themes.size(); ++i)
            themes.setActive(i, themes.at(i).title == u"county.gpkg"_s);
        w->runDialog = [](QDialog &dialog) {
            for (const auto &[list, field] :
                 {std::pair{u"divisionLabelField"_s, u"LABEL"_s}, {u"lotField"_s, u"LOTNO"_s}}) {
                auto *c = dialog.findChild<QComboBox *>(list);
                c->setCurrentIndex(c->findText(field));
            }
            dialog.accept();
            return int(dialog.result());
        };
        w->findChild<QAction *>(u"actionPlssFields"_s)->trigger();
        QCOMPARE(m_recorder->texts(), QStringList());
        qsizetype named = -1;
        for (qsizetype i = 0; i < themes.size(); ++i) {
            if (themes.at(i).title == u"county.gpkg"_s)
                named = i;
        }
        QCOMPARE(themes.at(named).plssFields, u"division_label=LABEL,lot=LOTNO"_s);
        auto *panel = w->activeMapWindow()->calculator();
        auto *description = panel->findChild<QLineEdit *>(u"description"_s);
        description->setText(u"Lot 2, Sec 31, T12N, R34W"_s);
        QTest::keyClick(description, Qt::Key_Return);
        QCOMPARE(m_recorder->texts(), QStringList());
        QCOMPARE(panel->findChild<QLabel *>(u"precision"_s)->text(),
                 u"\u00B1 933 ft \u00B7 second division"_s);
    }

    // Closing a changed map window, leaving the program or opening another project over it asks
    // first; Save writes the project, Discard goes on, Cancel keeps everything.
    void changedWindowsAskBeforeTheyGo_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        const std::pair<const char *, int> answers[] = {{"save", QMessageBox::Save},
                                                        {"discard", QMessageBox::Discard},
                                                        {"cancel", QMessageBox::Cancel}};
        for (const char *how : {"close", "exit", "open"}) {
            for (const auto &[name, answer] : answers)
                QTest::addRow("%s, %s", how, name) << QString::fromLatin1(how) << answer;
        }
        QTest::addRow("File > Close, save") << u"menu"_s << int(QMessageBox::Save);
        QTest::addRow("File > Close, cancel") << u"menu"_s << int(QMessageBox::Cancel);
    }
    void changedWindowsAskBeforeTheyGo()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        auto w = makeWindow();
        QMdiArea *area = w->findChild<QMdiArea *>();
        // An unchanged window goes without a question.
        act(*w, "actionFileNew");
        QVERIFY(area->activeSubWindow()->close());
        QTRY_COMPARE(area->subWindowList().size(), 1);
        QCOMPARE(m_asked, QStringList());

        const QString saved = m_data.filePath(u"asked.plss"_s);
        QFile::remove(saved);
        w->saveFileDialog = choose(saved);
        w->openFileDialog = choose(m_empty);
        w->addThemeFiles({m_grid});
        m_answer = QMessageBox::StandardButton(answer);
        if (how == u"close"_s)
            area->activeSubWindow()->close();
        else if (how == u"menu"_s)
            act(*w, "actionFileClose");
        else if (how == u"exit"_s)
            w->close();
        else
            act(*w, "actionFileOpen");
        QCOMPARE(m_asked, QStringList{u"Document 1"_s});
        QCOMPARE(QFile::exists(saved), answer == QMessageBox::Save);
        const bool goesOn = answer != QMessageBox::Cancel;
        if (how == u"open"_s) {
            QCOMPARE(w->activeMapWindow()->legend()->rows().size(), goesOn ? 0 : 1);
        } else {
            QTRY_COMPARE(area->subWindowList().isEmpty(), goesOn);
            QCOMPARE(w->isVisible(), !(how == u"exit"_s && goesOn));
        }
    }

    // The query window outlives the map window it was opened from: it empties itself, and its
    // buttons do nothing, instead of reaching into the closed window.
    void toolWindowsFollowTheirMap()
    {
        auto w = makeWindow();
        w->addThemeFiles({m_grid});
        MapWindow *view = w->activeMapWindow();
        // Identify lists what is under a click and outlines it; another project empties the
        // list, and the outline goes when the window closes.
        view->map()->setExtent(MapRect(399000, 403000, 4404000, 4399000));
        const QPoint inside = view->map()->fromMapPoint({400500, 4400500}).toPoint();
        QTest::mouseClick(view->map(), Qt::LeftButton, {}, inside);
        auto *identified = w->identifyWindow()->findChild<QListWidget *>(u"themeList"_s);
        QCOMPARE(identified->count(), 1);
        const QPoint edge = view->map()->fromMapPoint({400800, 4400000}).toPoint();
        auto cyanAtEdge = [&] {
            const QImage image = view->map()->grabMap();
            bool cyan = false;
            for (int dy = -2; dy <= 2; ++dy)
                cyan = cyan || image.pixel(edge + QPoint(0, dy)) == qRgb(0, 255, 255);
            return cyan;
        };
        QVERIFY(cyanAtEdge());
        w->identifyWindow()->close();
        QVERIFY(!cyanAtEdge());
        QTest::mouseClick(view->map(), Qt::LeftButton, {}, inside);
        w->openProject(m_empty);
        QCOMPARE(identified->count(), 0);

        w->addThemeFiles({m_grid});
        w->findInTheme();
        QWidget *query = nullptr; // a window of its own
        for (QWidget *top : QApplication::topLevelWidgets())
            query = top->objectName() == u"queryWindow"_s ? top : query;
        QVERIFY(query && query->isVisible());
        // Beside the map window, clear of the menus; where the user put it the next time.
        QVERIFY(query->geometry().top() >
                w->menuBar()->mapToGlobal(QPoint(0, 0)).y() + w->menuBar()->height());
        query->move(query->pos() + QPoint(-40, 30));
        const QPoint put = query->pos();
        query->close();
        w->findInTheme();
        QCOMPARE(query->pos(), put);
        auto *fields = query->findChild<QListWidget *>(u"fields"_s);
        QVERIFY(fields->count() > 0);
        query->findChild<QLineEdit *>(u"expression"_s)->setText(u"section = 1"_s);
        w->findChild<QMdiArea *>()->activeSubWindow()->close();
        QTRY_COMPARE(fields->count(), 0);
        query->findChild<QPushButton *>(u"newSet"_s)->click();
        QCOMPARE(query->findChild<QLineEdit *>(u"expression"_s)->text(), QString());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
