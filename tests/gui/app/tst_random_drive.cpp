#include "core/common/message_service.h"
#include "gui/app/main_window.h"
#include "gui/app/web_browser.h"
#include "gui/app/web_window.h"
#include "gui/legend/legend.h"
#include "gui/legend/legend_row.h"
#include "gui/map/map.h"
#include "tests/fixtures/fixtures.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// A page view that goes nowhere.
class IdleBrowser final : public WebBrowser
{
public:
    QWidget *widget() override { return &m_widget; }
    void navigate(const QString &) override {}
    void back() override {}
    void forward() override {}
    void home() override {}
    void search() override {}
    void stop() override {}
    void reload() override {}
    QString locationName() const override { return u"Idle"_s; }
    QString locationUrl() const override { return u"about:blank"_s; }
    bool isBusy() const override { return false; }

private:
    QWidget m_widget;
};

// Every text the program may show in a message box, as patterns.
const QRegularExpression &ownMessages()
{
    static const QRegularExpression pattern(
        u"^(No PLSS section theme in this map\\. .*"
        "|The easting must be between 100000 and 999999\\.99 metres\\."
        "|The point .* lies outside every section of .*\\."
        "|Enter .*"
        "|Error: file .* did not load\\.(\n.*)?"
        "|Error looking for line '[A-Za-z ]+ ='; (got '.*|the file ends there\\.)"
        "|Failed to find .*"
        "|The footage call .* does not give a distance in feet\\."
        "|The footage calls .* both measure from .*"
        "|Choose the (160|40|10)-acre quarter first\\."
        "|The thickness or size must not be more than 2147483647\\."
        "|(The theme .* was left out: .*\n?)+"
        "|The project could not be saved to .*"
        "|The project .* could not be read: .*"
        "|The theme .* is no longer on the map\\."
        "|The number in the .* box is out of range\\."
        "|No footage call provided\\."
        "|No mail program could be started on this desktop .*"
        "|No well has been located in this map window yet\\."
        "|There are no wells to import\\.|The import was cancelled; no well was added\\."
        "|The map window closed before its wells were located; none was added\\."
        "|\\d+ wells imported\\. Left out or not read:\n.*"
        "|The wells (could not be kept|of .* could not be read): .*"
        "|Error: the database .* gave no layer: .*"
        "|The description gives no (section|township|range)\\."
        "|This part of the description is not understood: .*"
        "|(Tracts|Metes and bounds|Halves of lots) are not supported: .*"
        "|Tracts bounded by anything but the lines of the survey are not supported: .*"
        "|Ties by bearing and distance are not supported; .*"
        "|Several tracts are named \\(.*\\): a well is in one place; describe one tract\\."
        "|The calls contradict each other: .*"
        "|The tie .*"
        "|(Township|Range) .* has no direction: write .*"
        "|Lot 0 is not a lot: .*"
        "|Lot .* is not among the second divisions of .*"
        "|Section .* has no lot .* in a regular township: .*"
        "|Two footage calls measure from the same pair of lines: .*"
        "|More than four (quarter )?calls: .*"
        "|Make the polygon theme whose PLSS fields you want to name the active theme first\\."
        "|The field .* of the theme .* holds .*, where a number is needed\\."
        "|The theme .* has no field .*\\."
        "|Name the section field and the township and range fields .*"
        "|Choose a file ending in \\.gpkg, \\.geojson, \\.kml or \\.shp\\."
        "|Cannot write .*"
        "|Illegal or no directions specified\\..*"
        "|These coordinates cannot be converted\\."
        "|Unable to (calculate PLSS corners|create PLSS query\\.  Unknown PLSS fields\\."
        "|locate PLSS section\\. Section .* is not in .*\\.|divide the section into quarters.*"
        "|display Help Contents\\..*|print the map on .*)"
        "|Weirdness in MapSymbol::(AddPoint|Draw)!)$"_s,
        QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

} // namespace

// Thousands of random clicks, drags, keys and texts over every window of the program, with the
// dialogs answered at random. Nothing may crash, every message must be the program's own, and the
// legends must keep their order.
class TestRandomDrive : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_openAnswers;
    QStringList m_saveAnswers;
    QRandomGenerator m_random;
    RecordingMessageService *m_messages = nullptr;
    QMap<QString, int> m_seen; // message texts seen, for the summary

    int pick(int n) { return n <= 0 ? 0 : int(m_random.bounded(n)); }
    template <typename T> T pickFrom(const QList<T> &list)
    {
        return list.at(pick(int(list.size())));
    }

    QString randomText()
    {
        static const QStringList texts = {
            u""_s,         u"1"_s,       u"36"_s,         u"12N"_s,          u"34W"_s,
            u"6"_s,        u"660E"_s,    u"1980S"_s,      u"E660"_s,         u"N0"_s,
            u"500100"_s,   u"4400100"_s, u"756100"_s,     u"40.5"_s,         u"105"_s,
            u"-1"_s,       u"0"_s,       u"1e308"_s,      u"NaN"_s,          u"inf"_s,
            u"99999999"_s, u"abc"_s,     u"'"_s,          u"\""_s,           u"NE"_s,
            u"--"_s,       u"12"_s,      u"13"_s,         u"Café"_s,         u"section = 1"_s,
            u"1:24000"_s,  u"24000"_s,   u"x = 'a''b'"_s, QString(300, u'9')};
        return pickFrom(texts);
    }

    QList<QWidget *> visibleWidgets()
    {
        QList<QWidget *> out;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (!top->isVisible() || qobject_cast<QMenu *>(top))
                continue;
            out.append(top);
            for (QWidget *w : top->findChildren<QWidget *>()) {
                if (w->isVisible() && w->width() > 0 && w->height() > 0)
                    out.append(w);
            }
        }
        return out;
    }

    void configureNewWindows(MainWindow &main)
    {
        for (auto *view : main.findChildren<MapWindow *>()) {
            Legend *legend = view->legend();
            if (legend->property("driven").toBool())
                continue;
            legend->setProperty("driven", true);
            legend->chooseFolder = [this](const QString &) {
                return pickFrom(QStringList{QString(), m_dir.path(), m_dir.filePath(u"nowhere"_s)});
            };
        }
    }

    void randomStep(MainWindow &main)
    {
        const QList<QWidget *> widgets = visibleWidgets();
        if (widgets.isEmpty())
            return;
        // The map and the legend take a good share of the mouse: the tools act there.
        QWidget *target = widgets.at(pick(int(widgets.size())));
        if (MapWindow *view = main.activeMapWindow(); view && pick(3) == 0)
            target = pick(3) ? static_cast<QWidget *>(view->map()) : view->legend()->container();
        const QPoint at(pick(target->width()), pick(target->height()));
        switch (pick(11)) {
        case 0:
        case 1:
            QTest::mouseClick(target, pick(4) ? Qt::LeftButton : Qt::RightButton,
                              pick(4) ? Qt::KeyboardModifiers() : Qt::ShiftModifier, at);
            break;
        case 2:
            QTest::mouseDClick(target, Qt::LeftButton, {}, at);
            break;
        case 3: {
            const QPoint to(pick(target->width()), pick(target->height()));
            QTest::mousePress(target, Qt::LeftButton, {}, at);
            QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(to), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &move);
            QTest::mouseRelease(target, Qt::LeftButton, {}, to);
            break;
        }
        case 4: {
            static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Tab,  Qt::Key_Escape,
                                           Qt::Key_Delete, Qt::Key_Down, Qt::Key_Up,
                                           Qt::Key_A,      Qt::Key_5,    Qt::Key_Backspace};
            QTest::keyClick(target, keys[pick(9)]);
            break;
        }
        case 5: {
            const auto edits = main.window()->findChildren<QLineEdit *>() +
                               (widgets.first()->findChildren<QLineEdit *>());
            if (!edits.isEmpty()) {
                QLineEdit *edit = edits.at(pick(int(edits.size())));
                if (edit->isEnabled()) {
                    edit->setText(randomText());
                    if (pick(2))
                        QTest::keyClick(edit, Qt::Key_Return);
                }
            }
            break;
        }
        case 6: {
            const auto lists = main.findChildren<QComboBox *>();
            if (!lists.isEmpty()) {
                QComboBox *list = lists.at(pick(int(lists.size())));
                if (list->count() > 0 && list->isEnabled())
                    list->setCurrentIndex(pick(list->count()));
            }
            break;
        }
        case 7: {
            const auto tabs = main.findChildren<QTabWidget *>();
            if (!tabs.isEmpty()) {
                QTabWidget *t = tabs.at(pick(int(tabs.size())));
                t->setCurrentIndex(pick(t->count()));
            }
            break;
        }
        case 8: {
            const auto buttons = main.findChildren<QAbstractButton *>();
            if (!buttons.isEmpty()) {
                QAbstractButton *b = buttons.at(pick(int(buttons.size())));
                if (b->isVisible() && b->isEnabled())
                    b->click();
            }
            break;
        }
        case 9:
            lifeCycleStep(main);
            break;
        default: {
            QList<QAction *> actions;
            for (QAction *a : main.findChildren<QAction *>()) {
                if (!a->objectName().isEmpty() && a->objectName() != u"actionFileExit"_s &&
                    a->isEnabled())
                    actions.append(a);
            }
            if (!actions.isEmpty())
                actions.at(pick(int(actions.size())))->trigger();
            break;
        }
        }
        QCoreApplication::processEvents();
    }

    // What a day's work does to windows and projects, in any order: map windows closed (also
    // while the query or identify window shows one of their themes), projects opened and saved,
    // new windows, themes added and deleted.
    void lifeCycleStep(MainWindow &main)
    {
        auto *area = main.findChild<QMdiArea *>();
        switch (pick(7)) {
        case 0:
            if (QMdiSubWindow *sub = pick(2) ? area->activeSubWindow() : nullptr)
                sub->close();
            else if (!area->subWindowList().isEmpty())
                pickFrom(area->subWindowList())->close();
            break;
        case 1:
            main.findChild<QAction *>(u"actionFileOpen"_s)->trigger();
            break;
        case 2:
            main.openNewMapWindow();
            break;
        case 3:
            main.addThemeFiles({pickFrom(m_openAnswers)});
            break;
        case 4:
            main.findChild<QAction *>(u"actionEditDeleteThemes"_s)->trigger();
            break;
        case 5:
            main.findInTheme();
            break;
        default:
            if (!area->subWindowList().isEmpty())
                area->setActiveSubWindow(pickFrom(area->subWindowList()));
            break;
        }
    }

    void checkInvariants(MainWindow &main, int step)
    {
        for (auto *view : main.findChildren<MapWindow *>()) {
            const LayerList rows = view->legend()->layers(); // bottom row first
            const LayerList &layers = view->map()->layers(); // top layer first
            QVERIFY2(rows.size() == layers.size(), qPrintable(u"step "_s + QString::number(step)));
            for (qsizetype i = 0; i < rows.size(); ++i)
                QVERIFY2(
                    rows[i] == layers[layers.size() - 1 - i],
                    qPrintable(u"legend and map order differ at step "_s + QString::number(step)));
            const auto &items = view->legend()->rows();
            for (qsizetype i = 0; i + 1 < items.size(); ++i)
                QVERIFY2(items[i]->y() > items[i + 1]->y(),
                         qPrintable(u"rows out of order at step "_s + QString::number(step)));
        }
        for (const auto &m : m_messages->messages())
            ++m_seen[m.text.left(40)];
        for (const auto &m : m_messages->messages())
            QVERIFY2(ownMessages().match(m.text).hasMatch(),
                     qPrintable(u"not the program's own message: "_s + m.text));
        m_messages->clear();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        fixtures::SectionGrid g;
        g.originX = 500000;
        g.originY = 4400000;
        const QString sections = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(sections, g), QString());
        const QString quads = m_dir.filePath(u"quads.shp"_s);
        QCOMPARE(
            fixtures::writeQuadIndex(quads, {{u"Crow Creek"_s, 500000, 505000, 4405000, 4400000}}),
            QString());
        const QString image = m_dir.filePath(u"CrowCreek.tif"_s);
        QCOMPARE(fixtures::writeGeoImage(image, fixtures::quadPicture(u"C"_s, 50, 50, Qt::green),
                                         500000, 4405000, 100),
                 QString());
        const QString corrupt = m_dir.filePath(u"corrupt.shp"_s);
        QFile c(corrupt);
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.write("\x00\x00\x27\x0a garbage that is not a shapefile", 36);
        c.close();
        const QString project = m_dir.filePath(u"project.plss"_s);
        QFile p(project);
        QVERIFY(p.open(QIODevice::WriteOnly));
        p.write("Number of themes = 2\r\nTitle = s\r\nPath = sections.shp\r\nIsActive = "
                "True\r\nIsVisible = True\r\nIsMap = 0\r\nTitle = gone\r\nPath = gone.shp\r\n");
        p.close();
        m_openAnswers = {QString(), sections, quads,   image,   m_dir.filePath(u"missing.shp"_s),
                         corrupt,   project,  corrupt, sections};
        m_saveAnswers = {QString(), m_dir.filePath(u"saved.plss"_s),
                         m_dir.filePath(u"no/such/folder/x.plss"_s)};
    }

    void drive()
    {
        const quint32 seed = qEnvironmentVariableIsSet("TW_DRIVE_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("TW_DRIVE_SEED"))
                                 : 20261206u;
        const int steps = qEnvironmentVariableIsSet("TW_DRIVE_STEPS")
                              ? qEnvironmentVariableIntValue("TW_DRIVE_STEPS")
                              : 5000;
        m_random.seed(seed);
        qInfo("seed %u, %d steps", seed, steps);

        auto recorder = std::make_unique<RecordingMessageService>();
        m_messages = recorder.get();
        MainWindow main(std::move(recorder));
        main.openFileDialog = [this](const QString &, const QString &, const QString &) {
            return pickFrom(m_openAnswers);
        };
        main.saveFileDialog = [this](const QString &, const QString &, const QString &) {
            return pickFrom(m_saveAnswers);
        };
        main.printDialog = [this](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(m_dir.filePath(u"drive.pdf"_s));
            return pick(2) == 0;
        };
        main.pageSetupDialog = [this](QPrinter &) { return pick(2) == 0; };
        main.askToSave = [this](const QString &) {
            return pickFrom(QList<QMessageBox::StandardButton>{
                QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel});
        };
        main.runDialog = [this](QDialog &dialog) {
            if (auto *preview = dialog.findChild<QPrintPreviewWidget *>())
                preview->updatePreview(); // draws the page as Print would
            if (pick(2) == 0) {
                dialog.accept();
                return int(QDialog::Accepted);
            }
            return int(QDialog::Rejected);
        };
        main.askQuestion = [this](const QString &) { return pick(2) == 0; };
        main.startProgram = [this](const QString &, const QStringList &) { return pick(2) == 0; };
        main.makeWebBrowser = [] { return std::make_unique<IdleBrowser>(); };
        main.helpFile = m_dir.filePath(u"no-help.qhc"_s);
        main.sampleFolder = QStringLiteral(TW_TEST_DATA) + u"/../sample"_s;
        main.sampleCopyFolder = m_dir.filePath(u"Documents/Tractwise Sample"_s);
        main.resize(1100, 800);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.addThemeFiles({m_dir.filePath(u"sections.shp"_s), m_dir.filePath(u"quads.shp"_s)});

        // Modal dialogs (the symbol dialog, colours, About) are answered at random while open.
        QTimer answerer;
        answerer.setInterval(0);
        connect(&answerer, &QTimer::timeout, this, [this] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                if (pick(2))
                    dialog->accept();
                else
                    dialog->reject();
            }
        });
        answerer.start();

        for (int step = 0; step < steps; ++step) {
            configureNewWindows(main);
            randomStep(main);
            checkInvariants(main, step);
            if (QTest::currentTestFailed())
                return;
        }
        answerer.stop();
        int themes = 0;
        for (auto *view : main.findChildren<MapWindow *>())
            themes += int(view->legend()->rows().size());
        qInfo("%d map windows with %d themes at the end; messages seen:",
              int(main.findChildren<MapWindow *>().size()), themes);
        for (auto it = m_seen.cbegin(); it != m_seen.cend(); ++it)
            qInfo("  %5d  %s", it.value(), qPrintable(it.key()));
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top != &main && top->isVisible())
                top->close();
        }
    }
};

QTEST_MAIN(TestRandomDrive)
#include "tst_random_drive.moc"
