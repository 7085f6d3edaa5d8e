#include "app/main_window.h"

#include "common/number_text.h"
#include "common/qt_message_service.h"
#include "location/plss_query.h"
#include "location/well_calculations.h"
#include "mapview/engine/image_layer.h"
#include "mapview/engine/vector_layer.h"
#include "mapview/map_graphics.h"
#include "mapview/map_widget.h"

#include <QAction>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

std::shared_ptr<MapLayer> openThemeFile(const QString &path)
{
    if (QFileInfo(path).suffix().compare(u"shp"_s, Qt::CaseInsensitive) == 0)
        return VectorLayer::open(path);
    return ImageLayer::open(path);
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_map(new Map(this))
    , m_calculator(new WellCalculations)
    , m_graphics(std::make_unique<MapGraphics>())
    , m_messages(std::make_unique<QtMessageService>(this))
{
    m_paintMessages = std::make_unique<PostingMessageService>(*m_messages, this);
    setWindowTitle(u"QRV Tractwise"_s);
    auto *centre = new QWidget;
    auto *column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_map, 1);
    m_scaleBar = new MapScaleBar;
    m_scaleBar->AssociateView(this);
    column->addWidget(m_scaleBar, 0, Qt::AlignLeft);
    setCentralWidget(centre);
    auto *dock = new QDockWidget(u"Calculators"_s, this);
    dock->setObjectName(u"CalculatorDock"_s);
    dock->setWidget(m_calculator);
    dock->setFeatures(QDockWidget::DockWidgetMovable);
    dock->setMaximumWidth(480);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    m_calculator->AssociateView(this);
    resize(1280, 800);

    connect(m_map, &Map::AfterLayerDraw, this, [this](int index, QPainter *painter) {
        if (index == 0) {
            m_graphics->Draw(*painter, m_map->viewport(), m_paintMessages.get());
            m_scaleBar->UpdateScale();
        }
    });

    QMenu *file = menuBar()->addMenu(u"&File"_s);
    file->addAction(u"&Add Theme..."_s, this, &MainWindow::addThemesFromDialog);
    file->addSeparator();
    file->addAction(u"E&xit"_s, this, &QWidget::close);
    QMenu *view = menuBar()->addMenu(u"&View"_s);
    view->addAction(u"&Full Extent"_s, this, [this] { m_map->setExtent(m_map->FullExtent()); });

    connect(m_map, &Map::MouseDown, this, [this](int button, int, double, double) {
        if (button & 1)
            m_map->TrackRectangle();
        else if (button & 2)
            m_map->Pan();
    });
    connect(m_map, &Map::RectangleTracked, this, [this](const MapRect &r) {
        if (r.width() > 0 && r.height() > 0 && m_map->toMapDistance(60) < r.width())
            m_map->setExtent(r);
    });
    connect(m_map, &Map::MouseMove, this, [this](int, int, double x, double y) {
        const MapPoint p = m_map->toMapPoint(x, y);
        statusBar()->showMessage(u"X: "_s + formatNumber(roundTo(p.X, 2)) + u"  Y: "_s +
                                 formatNumber(roundTo(p.Y, 2)));
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::Rescale(double currentScale, double newScale)
{
    if (!(currentScale > 0) || !(newScale > 0))
        return;
    MapRect extent = m_map->extent();
    extent.ScaleRectangle(newScale / currentScale);
    m_map->setExtent(extent);
}

LayerList MainWindow::themes() const
{
    // The legend's order: bottom row first.
    LayerList list = m_map->layers();
    std::reverse(list.begin(), list.end());
    return list;
}

bool MainWindow::addTheme(const QString &path)
{
    std::shared_ptr<MapLayer> layer = openThemeFile(path);
    if (!layer->Valid()) {
        m_messages->showMessage(path + u" did not load"_s, MessageIcon::None, appTitle());
        return false;
    }
    m_map->addLayer(layer);
    if (QFileInfo(path).suffix().compare(u"shp"_s, Qt::CaseInsensitive) == 0)
        m_calculator->AddTheme(layer);
    return true;
}

void MainWindow::addThemesFromDialog()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        this, u"Add Theme"_s, {},
        u"Themes (*.shp *.tif *.tiff *.jpg *.jpeg *.bmp *.sid);;Shapefiles (*.shp);;"
        "Images (*.tif *.tiff *.jpg *.jpeg *.bmp *.sid);;All files (*)"_s);
    for (const QString &f : files)
        addTheme(f);
}
