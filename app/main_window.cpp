#include "app/main_window.h"

#include "common/qt_message_service.h"
#include "legend/legend_control.h"
#include "mapview/engine/vector_layer.h"
#include "mapview/identify_window.h"
#include "mapview/map_widget.h"
#include "mapview/query_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

using namespace Qt::StringLiterals;

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_messages(std::make_unique<QtMessageService>(this))
{
    setWindowTitle(u"QRV Tractwise"_s);
    m_view = new frmMapView(this, this);
    setCentralWidget(m_view);
    resize(1280, 860);

    QMenu *file = menuBar()->addMenu(u"&File"_s);
    file->addAction(u"E&xit"_s, this, &QWidget::close);
    QMenu *themes = menuBar()->addMenu(u"&Themes"_s);
    QAction *add = themes->addAction(u"&Add"_s, this, &MainWindow::addThemesFromDialog);
    themes->addAction(u"&Delete"_s, this, [this] { m_view->DeleteActiveThemes(); });

    QToolBar *bar = addToolBar(u"Tools"_s);
    bar->setObjectName(u"tbToolBar"_s);
    add->setToolTip(u"Add Theme"_s);
    add->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    bar->addAction(add);
    QAction *find = bar->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                   u"Locate in Theme"_s, this, &MainWindow::locateInTheme);
    find->setObjectName(u"FindInTheme"_s);
    QAction *full =
        bar->addAction(style()->standardIcon(QStyle::SP_DesktopIcon), u"Zoom to Full Extent"_s,
                       this, [this] { m_view->map()->setExtent(m_view->map()->FullExtent()); });
    full->setObjectName(u"FullExtent"_s);
    bar->addSeparator();
    m_tools = new QActionGroup(this);
    m_tools->setExclusive(true);
    const std::pair<QString, QString> tools[] = {
        {u"IdentifyInThemes"_s, u"Identify In Active Themes"_s},
        {u"Pan"_s, u"Pan"_s},
        {u"Measure"_s, u"Measure"_s},
        {u"ZoomIn"_s, u"Zoom In"_s},
        {u"ZoomOut"_s, u"Zoom Out"_s},
        {u"SelectPoint"_s, u"Select Point"_s},
        {u"HotLink"_s, u"HotLink"_s}};
    for (const auto &[key, tip] : tools) {
        QAction *tool = bar->addAction(tip);
        tool->setObjectName(key);
        tool->setToolTip(tip);
        tool->setCheckable(true);
        m_tools->addAction(tool);
    }
    m_tools->actions().first()->setChecked(true);

    m_panel1 = new QLabel(u"Status"_s);
    m_panel2 = new QLabel;
    statusBar()->setObjectName(u"sbStatusBar"_s);
    statusBar()->addWidget(m_panel1, 1);
    statusBar()->addPermanentWidget(m_panel2);
}

MainWindow::~MainWindow() = default;

QString MainWindow::pressedTool() const
{
    const QAction *checked = m_tools->checkedAction();
    return checked ? checked->objectName() : QString();
}

void MainWindow::setStatusText(int panel, const QString &text)
{
    (panel == 1 ? m_panel1 : m_panel2)->setText(text);
}

frmIdentify *MainWindow::identifyWindow()
{
    if (!m_identify)
        m_identify = std::make_unique<frmIdentify>();
    return m_identify.get();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_identify.reset();
    m_query.reset();
    QMainWindow::closeEvent(event);
}

bool MainWindow::addTheme(const QString &path)
{
    const auto layer = m_view->AddTheme(QFileInfo(path).fileName(), path, true, true);
    return layer && layer->Valid();
}

void MainWindow::addThemesFromDialog()
{
    // The dialog's own list of files, so paths with spaces stay whole.
    const QStringList files = QFileDialog::getOpenFileNames(
        this, u"Add a Theme"_s, {},
        u"Shape Files (*.shp);;Image Files (*.tif, *.jpg, *.bmp, *.sid) (*.tif *.bmp *.jpg *.sid)"_s);
    for (const QString &f : files)
        addTheme(f);
}

void MainWindow::locateInTheme()
{
    const LayerList active = m_view->legend()->GetActiveLayerList();
    if (active.isEmpty())
        return;
    if (!m_query)
        m_query = std::make_unique<frmQuery>();
    m_query->SetLayer(std::static_pointer_cast<VectorLayer>(active.first()));
    m_query->SetMap(m_view->map());
    m_query->show();
    m_query->raise();
}
