// The map window's wells (the list, its marks, where it is kept) and its printed page's content.
#include "core/common/message_service.h"
#include "core/document/theme_list.h"
#include "core/engine/vector_layer.h"
#include "core/wells/well_store.h"
#include "gui/app/map_window.h"
#include "gui/calculators/well_calculator.h"
#include "gui/map/map.h"
#include "gui/map/map_overlays.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

void MapWindow::buildWells()
{
    m_wells = new WellsModel(this);
    m_wells->setLocator([this](const WellEntry &entry) {
        if (const auto locator = wellLocator())
            return locator(entry);
        EntryLocation none;
        none.message = u"There is no section theme to locate the well on."_s;
        return none;
    });
    m_wellsOverlay =
        m_map->addOverlay(std::make_unique<WellsOverlay>(m_wells), MapOverlay::Level::Marks);
    const auto repaint = [this] { m_map->refreshOverlays(); };
    connect(m_wells, &QAbstractItemModel::rowsInserted, this, repaint);
    connect(m_wells, &QAbstractItemModel::dataChanged, this, repaint);
    connect(m_wells, &QAbstractItemModel::modelReset, this, [this] {
        m_wellsOverlay->setSelected({});
        m_map->refreshOverlays();
    });
    connect(m_wells, &QAbstractItemModel::rowsRemoved, this, [this] {
        m_wellsOverlay->setSelected({});
        m_map->refreshOverlays();
    });
    // Every forward Calculate adds its well, numbered.
    connect(m_calculator, &WellCalculator::wellLocated, this, [this](const WellEntry &entry) {
        const auto locator = wellLocator();
        if (!locator)
            return;
        Well well;
        well.entry = entry;
        well.take(locator(entry), QDateTime::currentDateTimeUtc());
        m_wells->appendWells({well});
    });
    // And every reverse one, at the point typed or clicked.
    connect(m_calculator, &WellCalculator::pointDescribed, this, &MapWindow::addDescribedPoint);
}

void MapWindow::addDescribedPoint(const WellEntry &entry, const MapPoint &point)
{
    Well well;
    well.entry = entry;
    well.take(pointLocation(point, m_themes->mapZone()), QDateTime::currentDateTimeUtc());
    m_wells->appendWells({well});
}

WellsModel::Locator MapWindow::wellLocator()
{
    const std::shared_ptr<VectorLayer> theme = m_calculator->sectionTheme();
    if (!theme)
        return nullptr;
    const LocateOptions options = m_calculator->locateOptions();
    // The divisions the options point to live as long as the locator, wherever it runs.
    return [theme, options, divisions = m_calculator->divisions()](const WellEntry &entry) {
        return locateEntry(*theme, entry, options);
    };
}

void MapWindow::selectWells(const QSet<int> &rows)
{
    m_wellsOverlay->setSelected(rows);
    m_map->refreshOverlays();
}

void MapWindow::zoomToWell(int row)
{
    if (row < 0 || row >= m_wells->rowCount() || !m_wells->well(row).located)
        return;
    // A quarter section's width around the well.
    const MapPoint p = m_wells->well(row).point;
    constexpr double Half = 400;
    m_map->setExtent(MapRect(p.X - Half, p.X + Half, p.Y + Half, p.Y - Half));
}

bool MapWindow::keepWellsIn(const QString &source)
{
    if (source == m_wellsSource)
        return keepWells();
    // All of them go to the new place (those it holds already by their ids rewritten); should
    // that fail they stay kept where they were.
    QString error;
    if (!::keepWells(source, *m_wells, m_themes->mapZone(), &error, KeepMode::Everything)) {
        messages().show(u"The wells could not be kept: "_s + error, MessageIcon::Stop);
        return false;
    }
    m_wellsSource = source;
    return true;
}

bool MapWindow::keepWells()
{
    if (m_wellsSource.isEmpty() || !m_wells->isModified())
        return true;
    QString error;
    if (::keepWells(m_wellsSource, *m_wells, m_themes->mapZone(), &error))
        return true;
    messages().show(u"The wells could not be kept: "_s + error, MessageIcon::Stop);
    return false;
}

void MapWindow::loadWells(const QString &source, const QString &projectFile)
{
    m_wellsSource = source;
    QList<Well> wells;
    QString error;
    if (!source.isEmpty() && !isDatabaseSource(source) && !QFileInfo::exists(source))
        error = source + u" is not there"_s;
    else if (!source.isEmpty())
        readWells(source, wells, &error);
    if (!error.isEmpty())
        messages().show(u"The wells of "_s + QFileInfo(projectFile).fileName() +
                            u" could not be read: "_s + error,
                        MessageIcon::Exclamation);
    m_wells->resetWells(wells);
}

QString MapWindow::printTitle() const
{
    if (!m_printTitle.isEmpty())
        return m_printTitle;
    if (!m_projectFile.isEmpty())
        return QFileInfo(m_projectFile).completeBaseName();
    // "Document 1": the caption of the frame the main window puts the map window in.
    return parentWidget() ? parentWidget()->windowTitle() : windowTitle();
}

PrintContent MapWindow::printContent() const
{
    PrintContent content;
    content.title = printTitle();
    content.wells = m_wells->wells();
    return content;
}
