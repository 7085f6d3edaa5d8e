#pragma once

#include "core/document/theme_list.h"
#include "core/engine/map_renderer.h"
#include "core/engine/map_viewport.h"
#include "core/engine/record_set.h"
#include "core/engine/symbol.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QFont;

// The map display: shows the engine's rendering of its layer list and turns mouse input into
// the events the map window's tools act on. Positions in events are twips from the widget's top
// left corner; toMapPoint() turns them into map units.
//
// The map draws the themes of a theme list (its window's), and redraws when they change.
struct MapEvent
{
    MapPoint point;
    double tolerance = 0; // map units
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

    void refresh();
    void refreshRect(const MapRect &area);

    double twipsPerPixel() const;
    MapPoint toMapPoint(double xTwips, double yTwips) const;
    double toMapDistance(double twips) const;
    // A window position (twips) as the map tools take it: the map point, and how far 100
    // twips reach on the map (what a click on a point or a line may miss it by). The one place
    // where a position in the window becomes a map point.
    MapEvent eventAt(double xTwips, double yTwips) const;
    QPointF fromMapPoint(const MapPoint &p) const; // in pixels

    // Begin a rubber-band rectangle or a pan from the current press; both end on release, with
    // rectangleTracked or Panned.
    void trackRectangle();
    void pan();

    // A line drawn over the map in red (the measure tool's), map units; empty for none.
    void setOverlayLine(const QList<MapPoint> &points);
    const QList<MapPoint> &overlayLine() const { return m_overlay; }
    // Zooms by `factor` (above 1 in) keeping the map point under `pixel` where it is.
    void zoomAbout(const QPointF &pixel, double factor);

    // Drawing into the redraw in progress; only valid inside an layerDrawn handler.
    void drawShape(const RecordSet &records, const Symbol &symbol);
    void drawText(const QString &text, const MapPoint &at, const QFont &font, const QColor &color);

    // The whole map, as shown, fitted into `target` on any painter (a printer page, an image).
    // `imageDensity` image pixels are read per target pixel (see MapViewport::imageDensity).
    void outputMap(QPainter &painter, const QRectF &target, double imageDensity = 1);
    // True while outputMap draws, so handlers can leave the window's own state alone.
    bool isOutputting() const { return m_outputting; }

    // The last rendering, for screenshots and tests.
    QImage grabMap();

Q_SIGNALS:
    void pressed(int button, int shift, double x, double y);
    void moved(int button, int shift, double x, double y);
    void released(int button, int shift, double x, double y);
    void clicked();
    void doubleClicked();
    void layerDrawn(int index, QPainter *painter);
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
    void emitMouse(void (Map::*signal)(int, int, double, double), QMouseEvent *event);

    void themeAdded(qsizetype index);

    QPointer<ThemeList> m_themes;
    QList<MapPoint> m_overlay;
    MapRect m_requested = MapRect::null();
    MapViewport m_viewport;
    QImage m_buffer;
    bool m_dirty = true;
    QRect m_dirtyArea;
    QPainter *m_drawing = nullptr; // set while a redraw is in progress
    Gesture m_gesture = Gesture::None;
    QPoint m_pressPos;
    QPoint m_currentPos;
    bool m_pressed = false;
    bool m_outputting = false;
};
