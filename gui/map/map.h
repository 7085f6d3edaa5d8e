#pragma once

#include "core/document/theme_list.h"
#include "core/engine/map_renderer.h"
#include "core/engine/map_viewport.h"
#include "core/engine/record_set.h"
#include "core/engine/symbol.h"
#include "gui/map/map_overlays.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class MapTool;
class MessageService;

// The map display: shows the engine's rendering of the themes of a theme list (its window's),
// redrawn when they change; over them its overlays (marks, highlights, the line measured). Each
// mouse event becomes one MapEvent, handed to the map's tool.
//
// A mouse event as a map tool takes it: the map point under the pointer, the pixel, how far a
// click on a point or a line may miss it in map units (a fourteenth of an inch on the screen),
// the button that pressed or released (none for a move), the buttons and the keys held.
struct MapEvent
{
    MapPoint point;
    QPointF pixel;
    double tolerance = 0; // map units
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
};

class Map : public QWidget
{
    Q_OBJECT

public:
    explicit Map(QWidget *parent = nullptr);
    ~Map() override;

    // The themes drawn; does not take ownership. The first theme shown sets the extent.
    void setThemes(ThemeList *themes);
    ThemeList *themes() const { return m_themes; }
    // The layers as drawn: index 0 is drawn last, on top (the theme list's last theme).
    LayerList layers() const;
    int layerCount() const;

    // The extent shown. Setting it shows the requested rectangle whole and centred and redraws.
    MapRect extent() const { return m_viewport.extent(); }
    void setExtent(const MapRect &requested);
    // Union of the layers' extents (null with no layers).
    MapRect fullExtent() const;
    const MapViewport &viewport() const { return m_viewport; }

    // Draws the layers again (all, or those over an area), then the overlays.
    void refresh();
    void refreshRect(const MapRect &area);
    // Paints the overlays again over the layers as drawn (after an overlay changed).
    void refreshOverlays() { update(); }

    // The tool the mouse works; does not take ownership. None: the mouse only moves the pointer.
    void setTool(MapTool *tool) { m_tool = tool; }
    MapTool *tool() const { return m_tool; }
    // What a tool is handed for the pointer at a pixel of the map.
    MapEvent eventAt(const QPointF &pixel) const;
    // How far from a point or a line a click may land and still hit it, in map units.
    double pickTolerance() const;
    QPointF fromMapPoint(const MapPoint &p) const; // in pixels

    // Begin a rubber-band rectangle or a pan from the current press; both end on release, with
    // rectangleTracked or panned.
    void trackRectangle();
    void pan();
    // Zooms by `factor` (above 1 in) keeping the map point under `pixel` where it is.
    void zoomAbout(const QPointF &pixel, double factor);

    // Takes an overlay, drawn after the layers and after the overlays of lower levels (in order
    // of adding within a level); returns it for its owner's use.
    template <class T> T *addOverlay(std::unique_ptr<T> overlay, MapOverlay::Level level)
    {
        T *kept = overlay.get();
        insertOverlay(std::move(overlay), level);
        return kept;
    }
    // The wells' marks and the last result's lines and parcel, drawn by the map's own overlay.
    MapGraphics &graphics() { return m_graphics->graphics(); }
    // Where anomalies met while drawing the graphics are reported; not owned.
    void setGraphicsNotices(MessageService *notices) { m_graphics->setNotices(notices); }

    // The whole map, as shown, fitted into `target` on any painter (a printer page, an image).
    // `imageDensity` image pixels are read per target pixel (see MapViewport::imageDensity).
    // Returns how the map was placed in the target.
    MapViewport outputMap(QPainter &painter, const QRectF &target, double imageDensity = 1);

    // The map as shown (layers and overlays), for screenshots and tests.
    QImage grabMap();

Q_SIGNALS:
    // The pointer moved over the map, with or without a button held.
    void pointerMoved(const MapPoint &point);
    // Layers were drawn again on the screen (not for an empty map, not for print).
    void redrawn();
    void rectangleTracked(const MapRect &rect);
    void panned();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    enum class Gesture { None, Tracking, Panning };
    void updateViewport();
    void renderBuffer(const QRect &area);
    void paintOverlays(QPainter &painter, const MapViewport &viewport);
    void insertOverlay(std::unique_ptr<MapOverlay> overlay, MapOverlay::Level level);
    MapEvent eventFor(const QMouseEvent &event) const;

    void themeAdded(qsizetype index);

    QPointer<ThemeList> m_themes;
    MapTool *m_tool = nullptr;
    std::vector<std::pair<MapOverlay::Level, std::unique_ptr<MapOverlay>>> m_overlays;
    GraphicsOverlay *m_graphics = nullptr;
    MapRect m_requested = MapRect::null();
    MapViewport m_viewport;
    QImage m_buffer; // the layers as last drawn
    bool m_dirty = true;
    QRect m_dirtyArea;
    Gesture m_gesture = Gesture::None;
    QPoint m_pressPos;
    QPoint m_currentPos;
    bool m_pressed = false;
};
