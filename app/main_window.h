#pragma once

#include "location/calculator_host.h"
#include "mapview/map_scale_bar.h"

#include <QMainWindow>

#include <memory>

class Map;
class MapGraphics;
class MapLayer;
class MessageService;
class WellCalculations;

// For now: one map display with the themes given on the command line and the calculator panel
// beside it; the mouse zooms in by a dragged rectangle (left button) and pans (right button), the
// position shows in the status bar.
class MainWindow : public QMainWindow, public CalculatorHost, public ScaleBarHost
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Opens a shapefile or an image and puts it on top; says why when it cannot be read.
    bool addTheme(const QString &path);
    WellCalculations *calculator() const { return m_calculator; }

    // CalculatorHost
    LayerList themes() const override;
    Map *map() override { return m_map; }
    MapGraphics &graphics() override { return *m_graphics; }
    QWidget *form() override { return this; }
    MessageService &messages() override { return *m_messages; }
    // ScaleBarHost
    void Rescale(double currentScale, double newScale) override;

private:
    void addThemesFromDialog();
    Map *m_map = nullptr;
    WellCalculations *m_calculator = nullptr;
    MapScaleBar *m_scaleBar = nullptr;
    std::unique_ptr<MapGraphics> m_graphics;
    std::unique_ptr<MessageService> m_messages;
    std::unique_ptr<MessageService> m_paintMessages; // posted: reports made while painting
};

// Opens a theme file as a vector layer (".shp") or an image layer (anything else).
std::shared_ptr<MapLayer> openThemeFile(const QString &path);
