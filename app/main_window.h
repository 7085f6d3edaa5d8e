#pragma once

#include <QMainWindow>

#include <memory>

class Map;
class MapLayer;
class MessageService;

// For now: one map display with the themes given on the command line, the mouse zooming in by
// a dragged rectangle (left button) and panning (right button), the position in the status bar.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Opens a shapefile or an image and puts it on top; says why when it cannot be read.
    bool addTheme(const QString &path);
    Map *map() const { return m_map; }

private:
    void addThemesFromDialog();
    Map *m_map = nullptr;
    std::unique_ptr<MessageService> m_messages;
};

// Opens a theme file as a vector layer (".shp") or an image layer (anything else).
std::shared_ptr<MapLayer> openThemeFile(const QString &path);
