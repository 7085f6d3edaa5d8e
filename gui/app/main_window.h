#pragma once

#include "core/common/message_service.h"
#include "gui/app/map_window.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <functional>
#include <memory>

class WebWindow;
class QueryWindow;
class HelpWindow;
class QActionGroup;
class QDialog;
class QPrinter;
class WebBrowser;
class QLabel;
class QMdiArea;
class QMenu;
class QDockWidget;
class WellsPanel;

// The main window: map windows ("Document 1", "Document 2", ...) inside, the menus, the toolbar
// whose tool buttons the map windows read, and the two-panel status bar they write to. Its
// geometry is kept in the settings store, in twips.
class MainWindow : public QMainWindow, public MapWindowShell
{
    Q_OBJECT

public:
    // Messages go to `messages` when given (tests, screenshot mode), else to message boxes.
    explicit MainWindow(std::unique_ptr<MessageService> messages = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    void openNewMapWindow();
    // The active map window, if any.
    MapWindow *activeMapWindow() const;

    // MapWindowShell
    MapToolKind pressedTool() const override;
    void setStatusText(int panel, const QString &text) override;
    IdentifyWindow *identifyWindow() override;
    MessageService &messages() override { return *m_messages; }
    bool confirmClose(MapWindow &view) override;
    void sectionThemeMissing(MapWindow &view) override;

    // A yes/no question; true for yes. Replaceable for tests and scripts.
    std::function<bool(const QString &text)> askQuestion;

    void open();
    void save();
    void saveAs();
    // Saves every changed map window; stops at the first the user cancels.
    void saveAll();
    // The active window's project file and what each of its themes is.
    void showProperties();
    // The page Print makes, in a preview.
    void printPreview();
    // Hands the active window's project file (saved first when needed) to the mail program.
    void sendProject();
    // The folders the program keeps: quadrangle images, where the file dialogs start.
    void showOptions();
    // Writes the wells located in the active map window as a point layer.
    void exportWells();
    // Names the PLSS fields of the active polygon theme, which then counts as a section theme.
    void editPlssFields();
    // Shows the whole of the active themes (all themes when none is active).
    void zoomToTheme();
    void addTheme();
    // Opens a project into the active map window (a new one when none is open).
    void openProject(const QString &path);
    // Files named on the command line: Document 1 takes the first project and the themes; a
    // project among `files` (as a file manager names the one double-clicked) opens there when
    // `projects` is empty, any other in a map window of its own.
    void openFiles(QStringList projects, const QStringList &files);

    // The file dialogs, replaceable for tests and scripts: (title, filter, proposed name) to the
    // chosen path, empty when cancelled.
    using FileDialog = std::function<QString(const QString &, const QString &, const QString &)>;
    FileDialog openFileDialog;
    FileDialog saveFileDialog;
    // Shows a dialog modally (properties, options, print preview) and returns its result.
    // Replaceable for tests and scripts.
    std::function<int(QDialog &)> runDialog;
    // Starts a program of the desktop (the mail program); false when it cannot be started.
    // Replaceable for tests.
    std::function<bool(const QString &program, const QStringList &arguments)> startProgram;
    // "Save changes to NAME?": Save, Discard or Cancel. Replaceable for tests and scripts.
    std::function<QMessageBox::StandardButton(const QString &name)> askToSave;
    // Saves a map window to its project file, asking for one when it has none or `chooseName`;
    // false when cancelled or the save failed.
    bool saveMapWindow(MapWindow &view, bool chooseName);
    // Adds each file as a theme of the active map window: a file inside a ".gdb" folder stands
    // for the geodatabase; a source with several layers asks which to add.
    void addThemeFiles(const QStringList &files);
    // Asks for a database connection and adds the layers chosen from it.
    void addDatabaseTheme();
    // The layers of a multi-layer source to add (none when cancelled). Replaceable for tests.
    std::function<QStringList(const QString &source, const QStringList &layers)> chooseLayers;
    void findInTheme();
    void zoomToFullExtent();

    // The program's printer, kept between Page Setup and Print. The printer dialogs are
    // replaceable for tests and scripts: true to go on, false when cancelled.
    QPrinter &printer();
    std::function<bool(QPrinter &)> printDialog;
    std::function<bool(QPrinter &)> pageSetupDialog;
    void pageSetup();
    void printActiveMap();

    // Makes the page view of a new web window; the program gives Qt WebEngine's, tests a fake.
    // Without one the web window is not offered.
    std::function<std::unique_ptr<WebBrowser>()> makeWebBrowser;
    // A new web window at an address (the program's home page when empty).
    WebWindow *openWebBrowser(const QString &address = {});

    // The help collection the Help menu opens; missing means no help.
    QString helpFile;
    // Help > Sample Project copies the sample projects from sampleFolder into sampleCopyFolder
    // (the user's documents) and opens the copy; tests point both elsewhere.
    QString sampleFolder;
    QString sampleCopyFolder;
    void openSampleProject();
    void showHelpContents();
    void searchHelp();
    HelpWindow *helpWindow() const { return m_help.get(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    // Places the identify and query windows when they open and keeps where the user put them.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct MenuItem;
    struct MenuDefinition;
    void buildMenus();
    // The menus and their items: File and Edit; Themes, View, Window and Help.
    QList<MenuDefinition> fileMenus();
    QList<MenuDefinition> viewMenus();
    void addMenuItem(QMenu *menu, const MenuItem &item);
    void showAbout();
    void buildToolBar();
    void restoreGeometryFromSettings();
    void storeGeometryInSettings();
    void updateWindowMenu();
    void updateRecentMenu();
    // Enables what needs a map window and points the shared windows at the active one.
    void updateActions();
    // The Wells panel: a dock at the bottom showing the active map window's wells.
    void buildWellsDock();
    void showWellsOf(MapWindow *view);
    // Asks where the active window's wells are to be kept (a GeoPackage or a PostGIS database)
    // and keeps them there.
    void chooseWellsSource();
    // Asks for the title of the active window's printed page.
    void editPrintTitle();

    std::unique_ptr<MessageService> m_messages;
    QMdiArea *m_mdi = nullptr;
    int m_windowCounter = 0;
    QActionGroup *m_tools = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    QLabel *m_panel3 = nullptr; // the active map window's coordinate system
    QMenu *m_windowMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    QPointer<MapWindow> m_identifiedView; // the map window the identify window last showed
    QDockWidget *m_wellsDock = nullptr;
    WellsPanel *m_wellsPanel = nullptr;
    QPointer<MapWindow> m_wellsView; // whose wells the panel shows
    QList<QAction *> m_windowMenuFixed;
    std::unique_ptr<IdentifyWindow> m_identify;
    std::unique_ptr<QueryWindow> m_query;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<HelpWindow> m_help;
    bool openHelp();
    // Names the PLSS fields of one polygon theme of a map window.
    void namePlssFields(MapWindow &view, qsizetype index);
    // A tool window opens beside the active map window, clear of the menus and the toolbar,
    // unless the user has put it somewhere before.
    void placeToolWindow(QWidget &window);
};
