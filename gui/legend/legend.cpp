#include "gui/legend/legend.h"

#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/common/twips.h"
#include "core/document/legend_order.h"
#include "core/document/quad_images.h"
#include "core/document/theme_list.h"
#include "core/engine/image_layer.h"
#include "core/engine/map_crs.h"
#include "core/engine/vector_layer.h"
#include "core/plss/plss_query.h"
#include "core/plss/plss_schema.h"
#include "gui/legend/legend_row.h"
#include "gui/legend/symbol_dialog.h"

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

Legend::Legend(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"legend"_s);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(u"legendScroll"_s);
    m_scroll->setWidgetResizable(false);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_container = new QWidget;
    m_container->setObjectName(u"legendContainer"_s);
    m_container->installEventFilter(this);
    m_container->resize(1, 1);
    m_scroll->setWidget(m_container);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    runOptionsDialog = [](SymbolDialog &dialog) { dialog.exec(); };
    chooseFolder = [this](const QString &prompt) {
        return QFileDialog::getExistingDirectory(window(), prompt);
    };
}

Legend::~Legend() = default;

double Legend::twipsPerPixel() const
{
    return ::twipsPerPixel(logicalDpiY());
}

void Legend::setThemes(ThemeList *themes)
{
    if (m_themes)
        disconnect(m_themes, nullptr, this, nullptr);
    m_themes = themes;
    if (m_themes) {
        connect(m_themes, &ThemeList::themeAdded, this, &Legend::syncRows);
        connect(m_themes, &ThemeList::themesRemoved, this, &Legend::syncRows);
        connect(m_themes, &ThemeList::reordered, this, &Legend::syncRows);
        auto refreshRow = [this](qsizetype index) {
            if (LegendRow *row = rowOf(index))
                row->refresh();
        };
        connect(m_themes, &ThemeList::activeChanged, this, refreshRow);
        connect(m_themes, &ThemeList::appearanceChanged, this, refreshRow);
    }
    syncRows();
}

LegendRow *Legend::rowOf(qsizetype index) const
{
    if (!m_themes || index < 0 || index >= m_themes->size())
        return nullptr;
    const quint64 key = m_themes->at(index).key;
    for (LegendRow *row : m_items) {
        if (row->themeKey() == key)
            return row;
    }
    return nullptr;
}

void Legend::syncRows()
{
    QList<LegendRow *> rows;
    const qsizetype n = m_themes ? m_themes->size() : 0;
    for (qsizetype i = 0; i < n; ++i) {
        LegendRow *row = rowOf(i);
        if (!row) {
            row = new LegendRow(m_themes, m_themes->at(i).key, m_container);
            connect(row, &LegendRow::pressed, this,
                    [this](LegendRow *r, Qt::MouseButton button, Qt::KeyboardModifiers keys,
                           const QPointF &at) {
                        startDrag(r, at);
                        if (button == Qt::LeftButton) {
                            m_dragStartY = rowTopTwips(r) + at.y() * twipsPerPixel();
                            selectRow(r, keys);
                        }
                    });
            connect(row, &LegendRow::moved, this, &Legend::dragTo);
            connect(row, &LegendRow::released, this, &Legend::endDrag);
            connect(row, &LegendRow::optionsRequested, this, &Legend::showOptionsDialog);
            row->show();
        }
        rows.append(row);
    }
    for (LegendRow *row : std::as_const(m_items)) {
        if (!rows.contains(row)) {
            if (m_anchor == qint64(row->themeKey()))
                m_anchor = -1;
            row->hide();
            row->deleteLater(); // it may be the row whose release is being handled
        }
    }
    m_items = rows;
    // Every row as wide as the widest.
    int widest = 0;
    for (LegendRow *r : std::as_const(m_items)) {
        r->refresh();
        widest = std::max(widest, r->width());
    }
    for (LegendRow *r : std::as_const(m_items))
        r->resize(widest, r->height());
    arrangeRows();
    resizeContainer();
    if (!m_items.isEmpty())
        m_scroll->verticalScrollBar()->setSingleStep(m_items.last()->height() + 1);
}

std::shared_ptr<MapLayer> Legend::loadLayer(const QString &themeName, const QString &themePath)
{
    std::shared_ptr<MapLayer> layer;
    const int mapZone = m_themes ? m_themes->mapZone() : 0;
    QString reason;
    if (!isImagePath(themePath)) {
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
        auto vector = VectorLayer::open(themePath, progress, mapZone);
        if (vector->cancelled())
            return vector; // the user's own choice: no message
        reason = vector->errorText();
        layer = vector;
    } else {
        auto image = ImageLayer::open(themePath, mapZone);
        reason = image->errorText();
        layer = image;
    }
    // What went wrong, in GDAL's words, on the line after the program's own.
    if (!layer->isValid() && m_messages)
        m_messages->show(u"Error: file "_s + themePath + u" did not load."_s +
                             (reason.isEmpty() ? QString() : u"\n"_s + reason),
                         MessageIcon::None);
    return layer;
}

std::shared_ptr<MapLayer> Legend::addTheme(const QString &themeName, const QString &themePath,
                                           bool isActive, bool isShown)
{
    std::shared_ptr<MapLayer> layer = loadLayer(themeName, themePath);
    if (!layer->isValid() || !m_themes)
        return layer;
    layer->setVisible(isShown);
    m_themes->add(Theme{themeName, themePath, isActive, layer, 0, {}, {}});
    return layer;
}

void Legend::resizeContainer()
{
    if (m_items.isEmpty()) {
        m_container->resize(1, 1);
        return;
    }
    const double tpp = twipsPerPixel();
    const LegendRow *any = m_items.last();
    const int n = int(m_items.size());
    const double height = any->heightTwips() * n + n * LegendRowGap;
    const double width = any->widthTwips() + LegendRowGap;
    m_container->resize(int(std::lround(width / tpp)), int(std::lround(height / tpp)));
}

void Legend::arrangeRows()
{
    const double tpp = twipsPerPixel();
    const int n = int(m_items.size());
    for (int p = 1; p <= n; ++p) {
        LegendRow *row = m_items[p - 1];
        const double top = legendRowTop(p, n, row->heightTwips());
        row->move(int(std::lround(LegendRowLeft / tpp)), int(std::lround(top / tpp)));
        row->setId(p);
    }
}

void Legend::redrawLayer(const MapLayer &theLayer)
{
    for (qsizetype i = 0; m_themes && i < m_themes->size(); ++i) {
        if (m_themes->at(i).layer.get() == &theLayer)
            m_themes->notifyRestyled(i);
    }
}

void Legend::showOptionsDialog(LegendRow *row)
{
    showSymbolDialog(row);
}

void Legend::showActiveThemeSymbol()
{
    for (qsizetype i = m_themes ? m_themes->size() - 1 : -1; i >= 0; --i) {
        if (m_themes->at(i).active) {
            if (LegendRow *row = rowOf(i))
                showSymbolDialog(row);
            return;
        }
    }
}

void Legend::showSymbolDialog(LegendRow *row)
{
    const std::shared_ptr<MapLayer> layer = row->layer();
    if (!layer)
        return;
    if (layer->layerType() == MapLayer::LayerType::Vector) {
        auto &vector = static_cast<VectorLayer &>(*layer);
        ::Symbol &symbol = vector.symbol();
        SymbolDialog dialog(row);
        dialog.setSizeText(formatNumber(symbol.size));
        dialog.setHollow(symbol.fillStyle() == FillStyle::Transparent);
        dialog.setColors(symbol.color, symbol.outlineColor);
        switch (vector.shapeType()) {
        case ShapeType::Points:
            dialog.setMode(0);
            break;
        case ShapeType::Lines:
            dialog.setMode(1);
            break;
        case ShapeType::Polygons:
            dialog.setMode(2);
            break;
        default:
            break;
        }
        dialog.selectStyle(symbol.style);
        QStringList fields;
        for (const FieldInfo &f : vector.fields())
            fields << f.name;
        dialog.setLabelFields(fields, symbol.labelField);
        runOptionsDialog(dialog);
        if (dialog.confirmed) {
            symbol.color = dialog.symbolColor;
            symbol.outlineColor = dialog.symbolOutlineColor;
            symbol.size = dialog.symbolSize;
            // The dialog keeps Hollow and a fill's style in agreement; no style chosen keeps
            // the one the theme had.
            if (dialog.symbolStyle >= 0)
                symbol.style = dialog.symbolStyle;
            symbol.labelField = dialog.labelField;
        }
    }
    redrawLayer(*layer);
}

double Legend::rowTopTwips(const LegendRow *row) const
{
    return row->y() * twipsPerPixel();
}

void Legend::selectRow(LegendRow *row, Qt::KeyboardModifiers modifiers)
{
    const int clicked = row->id();
    // The list's modifier mask: 1 Shift, 2 Ctrl, 4 Alt.
    const int shift = (modifiers & Qt::ShiftModifier ? 1 : 0) |
                      (modifiers & Qt::ControlModifier ? 2 : 0) |
                      (modifiers & Qt::AltModifier ? 4 : 0);
    m_dragArmed = true;
    QList<bool> active;
    int anchor = 0;
    for (qsizetype i = 0; i < m_themes->size(); ++i) {
        active.append(m_themes->at(i).active);
        if (qint64(m_themes->at(i).key) == m_anchor)
            anchor = int(i) + 1;
    }
    const QList<bool> after = legendSelectionAfterClick(active, clicked, shift, anchor);
    for (qsizetype i = 0; i < after.size(); ++i)
        m_themes->setActive(i, after[i]);
    if (shift == 0)
        m_anchor = qint64(row->themeKey());
}

void Legend::startDrag(LegendRow *row, const QPointF &)
{
    m_dragSource = row->id();
    m_dragArmed = false; // armed by selectRow, which only a left press calls
}

void Legend::dragTo(LegendRow *row, const QPointF &at)
{
    // The rows are laid out in twips, the design units of the legend.
    const double d = rowTopTwips(row) + at.y() * twipsPerPixel() - m_dragStartY;
    const int indicator =
        legendDropIndicator(m_dragSource, int(m_items.size()), d, row->heightTwips());
    if (indicator >= 0) {
        m_dropIndicator = indicator;
        m_container->update();
    }
}

void Legend::endDrag(LegendRow *row, const QPointF &at)
{
    const int n = int(m_items.size());
    const double d = rowTopTwips(row) + at.y() * twipsPerPixel() - m_dragStartY;
    const int target = legendDropTarget(m_dragSource, n, d, row->heightTwips());
    // Only a drag begun with the left button reorders; a right click never moves a theme.
    if (m_dragArmed && target != m_dragSource && m_dragSource >= 1 && m_dragSource <= n) {
        QList<int> order;
        for (int old : legendReordered(n, m_dragSource, target))
            order.append(old - 1);
        m_themes->reorder(order);
    }
    m_dragArmed = false;
    m_dropIndicator = -1;
    m_container->update();
}

void Legend::deleteActiveThemes()
{
    if (m_themes)
        m_themes->removeIf([](const Theme &t) { return t.active; });
}

void Legend::deleteThemes()
{
    if (m_themes)
        m_themes->clear();
}

LayerList Legend::activeLayers() const
{
    return m_themes ? m_themes->activeVectorLayers() : LayerList();
}

LayerList Legend::layers() const
{
    return m_themes ? m_themes->layers() : LayerList();
}

QList<ProjectTheme> Legend::saveProject() const
{
    return m_themes ? m_themes->toProject() : QList<ProjectTheme>();
}

void Legend::loadProject(const ParsedProject &project)
{
    deleteThemes();
    for (const ProjectBlock &b : project.themes) {
        const auto layer = loadLayer(b.title, b.path);
        if (!layer->isValid() || !m_themes) // a theme that did not load leaves its settings unread
            continue;
        Theme theme = themeFromProject(b, layer);
        if (!theme.plssFields.isEmpty()) {
            // Named PLSS fields that no longer fit the table are said, and the theme stays as
            // it is without them.
            QString error;
            const std::optional<PlssFields> fields = parsePlssFields(theme.plssFields, &error);
            if (!fields || layer->layerType() != MapLayer::LayerType::Vector ||
                !applyPlssFields(static_cast<VectorLayer &>(*layer), *fields, &error)) {
                if (m_messages)
                    m_messages->show(error.isEmpty() ? u"The theme "_s + b.title +
                                                           u" cannot have PLSS fields."_s
                                                     : error,
                                     MessageIcon::Exclamation);
                theme.plssFields.clear();
            }
        }
        m_themes->add(std::move(theme));
    }
    if (!project.skipped.isEmpty() && m_messages)
        m_messages->show(project.skipped.join(u'\n'), MessageIcon::Exclamation);
    if (!project.error.isEmpty() && m_messages)
        m_messages->show(project.error, MessageIcon::None);
}

void Legend::setQuadImageFolder(const QString &folder)
{
    m_quadImageFolder = folder;
    if (!m_quadImageFolder.isEmpty() && !m_quadImageFolder.endsWith(u'/'))
        m_quadImageFolder += u'/';
}

void Legend::openHotlink(const MapPoint &point, double tolerance)
{
    const LayerList active = activeLayers();
    for (qsizetype i = active.size() - 1; i >= 0; --i) {
        const auto &layer = static_cast<const VectorLayer &>(*active[i]);
        if (!hasQuadNameField(layer))
            continue;
        for (const QString &file : quadImageFiles(layer.featuresAt(point, tolerance))) {
            if (!QFileInfo::exists(file) && !QFileInfo::exists(m_quadImageFolder + file)) {
                setQuadImageFolder(chooseFolder(u"Select the directory with the files."_s));
                if (!m_quadImageFolder.isEmpty()) {
                    Q_EMIT quadImageFolderChosen(m_quadImageFolder);
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
            addTheme(file, path, true, true);
        }
    }
}

bool Legend::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_container && event->type() == QEvent::Paint && m_dropIndicator > 0 &&
        !m_items.isEmpty()) {
        // The drop line, in the middle of the gap above the row at dropIndicatorIndex.
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
