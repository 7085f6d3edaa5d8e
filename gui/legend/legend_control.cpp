#include "gui/legend/legend_control.h"

#include "core/common/message_service.h"
#include "core/common/twips.h"
#include "core/document/legend_order.h"
#include "core/document/quad_images.h"
#include "core/engine/image_layer.h"
#include "core/engine/vector_layer.h"
#include "gui/legend/legend_item_control.h"
#include "gui/legend/legend_options_dialog.h"
#include "gui/map/map_widget.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {
// Themes of at least this many features show a progress dialog while they load.
constexpr qint64 LargeTheme = 20000;
} // namespace

LegendControl::LegendControl(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"MapLegendControl"_s);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(u"LegendScroll"_s);
    m_scroll->setWidgetResizable(false);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_container = new QWidget;
    m_container->setObjectName(u"LegendContainer"_s);
    m_container->installEventFilter(this);
    m_container->resize(1, 1);
    m_scroll->setWidget(m_container);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    runOptionsDialog = [](frmLegendOptionsDlg &dialog) { dialog.exec(); };
    chooseFolder = [this](const QString &prompt) {
        return QFileDialog::getExistingDirectory(window(), prompt);
    };
}

LegendControl::~LegendControl() = default;

double LegendControl::twipsPerPixel() const
{
    return ::twipsPerPixel(logicalDpiY());
}

std::shared_ptr<MapLayer> LegendControl::AddTheme(const QString &themeName,
                                                  const QString &themePath, bool IsActive,
                                                  bool IsVisible)
{
    std::shared_ptr<MapLayer> layer;
    if (themePath.endsWith(u".shp"_s)) { // exactly lower case, as project files rely on
        // A large theme shows how far its loading has got, and may be cancelled.
        std::unique_ptr<QProgressDialog> dialog;
        auto progress = [&](qint64 done, qint64 total) {
            if (total < LargeTheme)
                return true;
            if (!dialog) {
                dialog = std::make_unique<QProgressDialog>(u"Loading "_s + themeName + u"..."_s,
                                                           u"Cancel"_s, 0, int(total), window());
                dialog->setWindowTitle(appTitle());
                dialog->setWindowModality(Qt::WindowModal);
                dialog->setMinimumDuration(300);
            }
            dialog->setValue(int(done)); // a modal dialog lets the windows paint meanwhile
            return !dialog->wasCanceled();
        };
        layer = VectorLayer::open(themePath, progress);
        if (static_cast<const VectorLayer &>(*layer).cancelled())
            return layer; // the user's own choice: no message
    } else {
        layer = ImageLayer::open(themePath);
    }
    if (!layer->Valid()) {
        if (m_messages)
            m_messages->show(u"Error: file "_s + themePath + u" did not load."_s,
                             MessageIcon::None);
        return layer;
    }
    if (m_map)
        m_map->addLayer(layer);
    const QString key = QString::number(m_keyCounter) + u"theme"_s;
    ++m_keyCounter;
    auto *row = new LegendItemControl(this, m_container);
    row->setObjectName(key);
    row->setKey(key);
    row->hide();
    m_items.append(row);
    ArrangeLegends();
    row->setTitle(themeName);
    row->setPath(themePath);
    row->setMapLayer(layer);
    row->setIsActive(IsActive);
    row->setIsVisible(IsVisible);
    // Every row as wide as the widest.
    int widest = 0;
    for (const LegendItemControl *r : std::as_const(m_items))
        widest = std::max(widest, r->width());
    for (LegendItemControl *r : std::as_const(m_items))
        r->resize(widest, r->height());
    ArrangeLegends();
    resizeContainer();
    row->show();
    m_scroll->verticalScrollBar()->setSingleStep(row->height() + 1);
    return layer;
}

void LegendControl::resizeContainer()
{
    if (m_items.isEmpty()) {
        m_container->resize(1, 1);
        return;
    }
    const double tpp = twipsPerPixel();
    const LegendItemControl *any = m_items.last();
    const int n = int(m_items.size());
    const double height = any->heightTwips() * n + n * LegendRowGap;
    const double width = any->widthTwips() + LegendRowGap;
    m_container->resize(int(std::lround(width / tpp)), int(std::lround(height / tpp)));
}

void LegendControl::ArrangeLegends()
{
    const double tpp = twipsPerPixel();
    const int n = int(m_items.size());
    for (int p = 1; p <= n; ++p) {
        LegendItemControl *row = m_items[p - 1];
        const double top = legendRowTop(p, n, row->heightTwips());
        row->move(int(std::lround(LegendRowLeft / tpp)), int(std::lround(top / tpp)));
        row->setID(p);
    }
}

void LegendControl::RedrawLayer(const MapLayer &theLayer)
{
    if (m_map)
        m_map->refreshRect(theLayer.extent());
}

double LegendControl::rowTopTwips(const LegendItemControl *row) const
{
    return row->y() * twipsPerPixel();
}

void LegendControl::SetActive(LegendItemControl *lic, double, double Y, int Shift)
{
    const int clicked = lic->ID();
    m_dragStartY = rowTopTwips(lic) + Y;
    m_dragArmed = true;
    QList<bool> active;
    for (const LegendItemControl *row : std::as_const(m_items))
        active.append(row->IsActive());
    int anchor = m_anchor ? int(m_items.indexOf(m_anchor)) + 1 : 0;
    const QList<bool> after = legendSelectionAfterClick(active, clicked, Shift, anchor);
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_items[i]->setIsActive(after[i]);
    if (Shift == 0)
        m_anchor = lic;
}

void LegendControl::StartMouseDrag(LegendItemControl *lic, double, double)
{
    m_dragSource = lic->ID();
    m_dragArmed = false; // armed by SetActive, which only a left press calls
}

void LegendControl::MouseDrag(LegendItemControl *lic, double, double Y)
{
    const double d = rowTopTwips(lic) + Y - m_dragStartY;
    const int indicator =
        legendDropIndicator(m_dragSource, int(m_items.size()), d, lic->heightTwips());
    if (indicator >= 0) {
        m_dropIndicator = indicator;
        m_container->update();
    }
}

void LegendControl::EndMouseDrag(LegendItemControl *lic, double, double Y)
{
    const int n = int(m_items.size());
    const double d = rowTopTwips(lic) + Y - m_dragStartY;
    const int target = legendDropTarget(m_dragSource, n, d, lic->heightTwips());
    // Only a drag begun with the left button reorders; a right click never moves a theme.
    if (m_dragArmed && target != m_dragSource && m_dragSource >= 1 && m_dragSource <= n) {
        QList<LegendItemControl *> reordered;
        for (int old : legendReordered(n, m_dragSource, target))
            reordered.append(m_items[old - 1]);
        m_items = reordered;
        if (m_map) {
            const MapRect extent = m_map->extent();
            m_map->clearLayers();
            for (LegendItemControl *row : std::as_const(m_items))
                m_map->addLayer(row->MapLayer());
            m_map->setExtent(extent);
        }
        ArrangeLegends();
        if (m_map)
            m_map->refresh();
    }
    m_dragArmed = false;
    m_dropIndicator = -1;
    m_container->update();
}

void LegendControl::removeRow(int position)
{
    LegendItemControl *row = m_items[position - 1];
    if (m_map)
        m_map->removeLayer(m_map->layerCount() - position);
    if (m_anchor == row)
        m_anchor = nullptr;
    m_items.removeAt(position - 1);
    row->deleteLater();
    row->hide();
}

void LegendControl::DeleteActiveThemes()
{
    const qsizetype before = m_items.size();
    for (int p = int(m_items.size()); p >= 1; --p) {
        if (m_items[p - 1]->IsActive())
            removeRow(p);
    }
    ArrangeLegends();
    resizeContainer();
    if (m_items.size() != before)
        Q_EMIT ThemesRemoved();
}

void LegendControl::DeleteThemes()
{
    const bool any = !m_items.isEmpty();
    for (int p = int(m_items.size()); p >= 1; --p)
        removeRow(p);
    ArrangeLegends();
    resizeContainer();
    if (any)
        Q_EMIT ThemesRemoved();
}

LayerList LegendControl::GetActiveLayerList() const
{
    LayerList list;
    for (const LegendItemControl *row : m_items) {
        if (row->IsActive() && row->MapLayer() &&
            row->MapLayer()->LayerType() == MapLayer::VectorLayerType)
            list.append(row->MapLayer());
    }
    return list;
}

LayerList LegendControl::GetLayerList() const
{
    LayerList list;
    for (const LegendItemControl *row : m_items)
        list.append(row->MapLayer());
    return list;
}

QList<ProjectTheme> LegendControl::SaveProject() const
{
    QList<ProjectTheme> themes;
    for (const LegendItemControl *row : m_items) {
        ProjectTheme t;
        t.title = row->title();
        t.path = row->Path();
        t.active = row->IsActive();
        t.visible = row->IsVisible();
        const auto &layer = row->MapLayer();
        t.isMap = layer && layer->LayerType() == MapLayer::VectorLayerType;
        if (t.isMap) {
            const ::Symbol &s = static_cast<const VectorLayer &>(*layer).Symbol();
            t.color = s.Color;
            t.outlineColor = s.OutlineColor;
            t.size = s.Size;
            t.style = s.Style;
        }
        themes.append(t);
    }
    return themes;
}

void LegendControl::ReadProject(const ParsedProject &project)
{
    DeleteThemes();
    for (const ProjectBlock &b : project.themes) {
        const auto layer = AddTheme(b.title, b.path, true, true);
        if (!layer->Valid())
            continue; // its settings belong to no row: on with the next theme
        LegendItemControl *row = m_items.last();
        if (b.active)
            row->setIsActive(*b.active);
        if (b.visible)
            row->setIsVisible(*b.visible);
        if (layer->LayerType() == MapLayer::VectorLayerType && b.isMap.value_or(false)) {
            ::Symbol &s = static_cast<VectorLayer &>(*layer).Symbol();
            if (b.color)
                s.Color = *b.color;
            if (b.outlineColor)
                s.OutlineColor = *b.outlineColor;
            if (b.size)
                s.Size = *b.size;
            if (b.style)
                s.Style = *b.style;
        }
    }
    if (!project.skipped.isEmpty() && m_messages)
        m_messages->show(project.skipped.join(u'\n'), MessageIcon::Exclamation);
    if (!project.error.isEmpty() && m_messages)
        m_messages->show(project.error, MessageIcon::None);
    if (m_map)
        m_map->refresh();
}

void LegendControl::CheckHotlink(const MapPoint &point, double tolerance)
{
    const LayerList active = GetActiveLayerList();
    for (qsizetype i = active.size() - 1; i >= 0; --i) {
        const auto &layer = static_cast<const VectorLayer &>(*active[i]);
        if (!hasQuadNameField(layer))
            continue;
        for (const QString &file : quadImageFiles(layer.FeaturesAt(point, tolerance))) {
            if (!QFileInfo::exists(file) && !QFileInfo::exists(m_quadImageFolder + file)) {
                m_quadImageFolder = chooseFolder(u"Select the directory with the files."_s);
                if (!m_quadImageFolder.isEmpty()) {
                    if (!m_quadImageFolder.endsWith(u'/'))
                        m_quadImageFolder += u'/';
                    if (!QFileInfo::exists(m_quadImageFolder + file)) {
                        if (m_messages)
                            m_messages->show(u"Failed to find "_s + m_quadImageFolder + file,
                                             MessageIcon::Stop);
                        return;
                    }
                }
            }
            // From the image folder when it is there, else from the working folder (the image
            // folder may have been chosen for other quadrangles).
            const QString path =
                QFileInfo::exists(m_quadImageFolder + file) ? m_quadImageFolder + file : file;
            AddTheme(file, path, true, true);
        }
    }
}

bool LegendControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_container && event->type() == QEvent::Paint && m_dropIndicator > 0 &&
        !m_items.isEmpty()) {
        // The drop line, in the middle of the gap above the row at DropIndicatorIndex.
        const double tpp = twipsPerPixel();
        const int k = int(m_items.size()) - m_dropIndicator;
        const double rowHeight = m_items.first()->heightTwips();
        const int y =
            int(std::lround((rowHeight * k + k * LegendRowGap) / tpp)) - int(std::lround(50 / tpp));
        QPainter painter(m_container);
        painter.setPen(QPen(Qt::blue, 1));
        painter.drawLine(0, y, m_container->width(), y);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
