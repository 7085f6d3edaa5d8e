// The Wells panel of the main window, where the wells are kept, and the printed title.
#include "core/wells/well_store.h"
#include "gui/app/main_window.h"
#include "gui/calculators/wells_panel.h"

#include <QAction>
#include <QDockWidget>
#include <QFileDialog>
#include <QInputDialog>

#include <algorithm>

using namespace Qt::StringLiterals;

void MainWindow::buildWellsDock()
{
    m_wellsPanel = new WellsPanel;
    m_wellsPanel->setObjectName(u"wellsPanel"_s);
    m_wellsPanel->setMessages(m_messages.get());
    m_wellsDock = new QDockWidget(u"Wells"_s, this);
    m_wellsDock->setObjectName(u"wellsDock"_s);
    m_wellsDock->setWidget(m_wellsPanel);
    m_wellsDock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, m_wellsDock);
    m_wellsDock->hide(); // until there are wells, or the user asks for it
    // The menu's tick follows the dock (the signal also comes while this window is being
    // destroyed: nothing of it is touched then).
    if (auto *toggle = findChild<QAction *>(u"actionWellsPanel"_s)) {
        toggle->setChecked(false);
        connect(m_wellsDock, &QDockWidget::visibilityChanged, toggle, &QAction::setChecked);
    }
    m_wellsPanel->setLocatorSource(
        [this] { return m_wellsView ? m_wellsView->wellLocator() : WellsModel::Locator(); });
    connect(m_wellsPanel, &WellsPanel::selectionChanged, this, [this](const QSet<int> &rows) {
        if (m_wellsView)
            m_wellsView->selectWells(rows);
    });
    connect(m_wellsPanel, &WellsPanel::zoomRequested, this, [this](int row) {
        if (m_wellsView)
            m_wellsView->zoomToWell(row);
    });
}

void MainWindow::showWellsOf(MapWindow *view)
{
    if (view == m_wellsView)
        return;
    if (m_wellsView)
        disconnect(m_wellsView->wells(), nullptr, m_wellsDock, nullptr);
    m_wellsView = view;
    m_wellsPanel->setModel(view ? view->wells() : nullptr);
    if (view) {
        // A window with wells shows the panel, and a well added shows it, so the list is seen
        // to grow.
        const auto showIfAny = [this] {
            if (!m_wellsView || m_wellsView->wells()->rowCount() == 0 || m_wellsDock->isVisible())
                return;
            m_wellsDock->show();
            // A few rows' height, so the map keeps most of the window.
            resizeDocks({m_wellsDock}, {std::min(200, height() / 4)}, Qt::Vertical);
        };
        connect(view->wells(), &QAbstractItemModel::rowsInserted, m_wellsDock, showIfAny);
        connect(view->wells(), &QAbstractItemModel::modelReset, m_wellsDock, showIfAny);
        showIfAny();
    }
}

void MainWindow::chooseWellsSource()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    const QStringList kinds = {u"A GeoPackage file"_s, u"A PostgreSQL/PostGIS database"_s};
    bool ok = false;
    const QString kind = QInputDialog::getItem(
        this, u"Keep Wells In"_s, u"The wells of "_s + view->windowTitle() + u" are kept in:"_s,
        kinds, isDatabaseSource(view->wellsSource()) ? 1 : 0, false, &ok);
    if (!ok)
        return;
    QString source;
    if (kind == kinds[0]) {
        source = QFileDialog::getSaveFileName(this, u"Keep Wells In"_s, view->wellsSource(),
                                              u"GeoPackage (*.gpkg)"_s, nullptr,
                                              QFileDialog::DontConfirmOverwrite);
        if (!source.isEmpty() && !source.endsWith(u".gpkg"_s, Qt::CaseInsensitive))
            source += u".gpkg"_s;
    } else {
        source = QInputDialog::getText(
            this, u"Keep Wells In"_s, u"Connection (the wells go to its table \"wells\"):"_s,
            QLineEdit::Normal,
            isDatabaseSource(view->wellsSource()) ? view->wellsSource()
                                                  : u"PG:host=localhost dbname=permits user="_s,
            &ok);
        if (!ok)
            source.clear();
        else if (!isDatabaseSource(source))
            source.prepend(u"PG:"_s);
    }
    if (!source.isEmpty() && view->keepWellsIn(source))
        setStatusText(1, u"The wells are kept in "_s + sourceName(source) + u"."_s);
}

void MainWindow::editPrintTitle()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    bool ok = false;
    const QString title =
        QInputDialog::getText(this, u"Print Title"_s, u"The title printed over the map:"_s,
                              QLineEdit::Normal, view->printTitle(), &ok);
    if (ok)
        view->setPrintTitle(title);
}
