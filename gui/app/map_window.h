#pragma once

#include "core/wells/wells_model.h"
#include "gui/app/map_print.h"
#include "gui/calculators/calculator_host.h"
#include "gui/map/map_scale_bar.h"
#include "gui/map/map_tools.h"

#include <QWidget>

#include <map>
#include <memory>

class IdentifyWindow;
class MapWindow;
class Legend;
class LineOverlay;
class MessageService;
class QLabel;
class QScrollArea;
class QTimer;
class RecordsOverlay;
class Resizer;
class ThemeList;
class WellCalculator;
class WellsModel;
class WellsOverlay;

// What a map window uses of the main window: the pressed tool of the toolbar, the status panels
// (1: what the program is doing, 2: the pointer's position, 3: the map's coordinate system), the
// shared identify window and the message boxes.
class MapWindowShell
{
public:
    virtual ~MapWindowShell();
    // The tool pressed on the toolbar, which a new map window starts with.
    virtual MapToolKind pressedTool() const = 0;
    virtual void setStatusText(int panel, const QString &text) = 0;
    virtual IdentifyWindow *identifyWindow() = 0;
    virtual MessageService &messages() = 0;
    // Before a changed map window closes or takes another project: true to go on (saved or
    // discarded), false when the user cancelled or the save failed.
    virtual bool confirmClose(MapWindow &view) = 0;
    // A calculation of the view's panel found no section theme: say so, and offer to name the
    // PLSS fields of a polygon theme the view holds.
    virtual void sectionThemeMissing(MapWindow &view) = 0;
};

// A map window: the map, its legend, the calculator panel, the scale bar and a logo. Gives the
// map the pressed tool and the overlays of query matches, what Identify found and the line
// measured. Does not take ownership of the shell.
class MapWindow : public QWidget, public CalculatorHost, public ScaleBarHost
{
    Q_OBJECT

public:
    explicit MapWindow(MapWindowShell *shell, QWidget *parent = nullptr);
    ~MapWindow() override;

    std::shared_ptr<MapLayer> addTheme(const QString &themeName, const QString &themePath,
                                       bool isActive = false, bool isShown = false);
    void deleteActiveThemes();
    void updateScale(double currentScale, double newScale);
    // Writes the legend's themes to a project file (through a temporary file, so a failed save
    // never spoils the old one) or reads one, replacing the themes. False, with a message, when
    // the file cannot be written or read, or is no project at all (its first line is not the
    // theme count).
    bool saveProject(const QString &sFile);
    bool loadProject(const QString &sFile);
    // True when the themes differ from those last opened or saved: added, deleted, reordered,
    // shown or hidden, restyled. Which themes are selected (active) is no change.
    bool isModified() const;
    // The tool the map works with from now on.
    void setTool(MapToolKind kind);
    // Another map tool was chosen: what the last one drew on the map goes.
    void toolChanged();
    // The line the measure tool draws, in map units (empty when none).
    const QList<MapPoint> &measuredLine() const;
    // The identify window closed or moved on: its outline leaves the map.
    void clearIdentified();
    // Hands a theme to the calculators, which take it when it holds sections (restyling it
    // unless `restyle` is false); the legend then shows the symbol it is drawn with.
    void offerSectionTheme(const std::shared_ptr<MapLayer> &layer, bool restyle = true);

    // The window's themes, which the map draws, the legend shows and the project file stores.
    ThemeList *themeList() const { return m_themes; }
    Legend *legend() const { return m_legend; }
    // The project file the window was opened from or last saved to; empty until then.
    const QString &projectFile() const { return m_projectFile; }
    void setProjectFile(const QString &path) { m_projectFile = path; }
    WellCalculator *calculator() const { return m_calculator; }

    // The window's wells: every forward Calculate adds one; imports and edits go through the
    // Wells panel. Marked on the map with their ids.
    WellsModel *wells() const { return m_wells; }
    // A locator for the wells, on the section theme and with the options of the calculators as
    // they stand now; safe to call from several threads. Null after saying there is no theme.
    WellsModel::Locator wellLocator();
    void selectWells(const QSet<int> &rows);
    void zoomToWell(int row);
    // Where the wells are kept (a GeoPackage or a "PG:" connection); empty until chosen. The
    // project file names it, and saving the project keeps the wells there.
    const QString &wellsSource() const { return m_wellsSource; }
    // Keeps the wells at `source` from now on, writing them all there; false with a message.
    bool keepWellsIn(const QString &source);
    // Writes what changed in the wells since they were last kept; false with a message.
    bool keepWells();

    // The printed page's title: the one typed, else the project's name, else the window's.
    QString printTitle() const;
    void setPrintTitle(const QString &title) { m_printTitle = title.trimmed(); }
    // What a printed page shows besides the map.
    PrintContent printContent() const;

    // CalculatorHost and ScaleBarHost
    LayerList themes() const override;
    Map *map() override { return m_map; }
    MessageService &messages() override;
    void sectionThemeMissing() override { m_shell->sectionThemeMissing(*this); }
    void rescale(double currentScale, double newScale) override
    {
        updateScale(currentScale, newScale);
    }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The map over the calculator panel, beside the legend's column, split by two bars.
    void buildLayout();
    // The bars stay where the user drags them, and the next window opens with them there.
    void keepSplits();
    void buildTools();
    void buildOverlays();
    void buildWells();
    void addDescribedPoint(const WellEntry &entry, const MapPoint &point);
    // Reads the wells kept at the project's source, replacing the list.
    void loadWells(const QString &source, const QString &projectFile);
    void showPointerPosition(const MapPoint &point);
    QByteArray themesSnapshot() const;
    // The panel's full height with what scrolls it, in twips.
    int defaultPanelHeight(double twipsPerPixel) const;

    MapWindowShell *m_shell;
    ThemeList *m_themes = nullptr;
    Map *m_map = nullptr;
    Legend *m_legend = nullptr;
    WellCalculator *m_calculator = nullptr;
    QScrollArea *m_panelScroll = nullptr;
    Resizer *m_split = nullptr;      // the map and the panel | the legend's column
    Resizer *m_panelSplit = nullptr; // the map over the panel
    // The sizes the user dragged the bars to, in twips; 0 until then (the defaults apply).
    int m_legendWidth = 0;
    int m_panelHeight = 0;
    static constexpr int DefaultLegendWidth = 2760;
    QTimer *m_saveSplits = nullptr;
    MapScaleBar *m_scaleBar = nullptr;
    QLabel *m_logo = nullptr;
    std::unique_ptr<MessageService> m_paintMessages;
    RecordsOverlay *m_identified = nullptr; // outlined until the next identify or another tool
    LineOverlay *m_measureLine = nullptr;
    QString m_projectFile;
    WellsModel *m_wells = nullptr;
    WellsOverlay *m_wellsOverlay = nullptr;
    QString m_wellsSource;
    QString m_printTitle;
    QByteArray m_savedThemes; // the themes as last opened or saved, for isModified()

    std::map<MapToolKind, std::unique_ptr<MapTool>> m_tools;
};
