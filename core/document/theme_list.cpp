#include "core/document/theme_list.h"

#include "core/engine/map_crs.h"
#include "core/engine/vector_layer.h"
#include "core/plss/plss_query.h"
#include "core/plss/reverse_location.h"

using namespace Qt::StringLiterals;

ThemeList::ThemeList(QObject *parent)
    : QObject(parent)
{}

qsizetype ThemeList::indexOfKey(quint64 key) const
{
    for (qsizetype i = 0; i < m_themes.size(); ++i) {
        if (m_themes[i].key == key)
            return i;
    }
    return -1;
}

namespace {

// The labels a theme's symbol asks for, set on its layer when they differ from those set.
void applyLabels(Theme &theme)
{
    if (theme.layer->layerType() != MapLayer::LayerType::Vector)
        return;
    auto &vector = static_cast<VectorLayer &>(*theme.layer);
    const QString &field = vector.symbol().labelField;
    const bool section = field.isEmpty() && isPlssSectionTheme(vector);
    const QString applied = section ? u"<section>"_s : field.isEmpty() ? Symbol::NoLabels : field;
    if (theme.labels == applied)
        return;
    theme.labels = applied;
    if (section)
        vector.setLabelSource(sectionLabels, 6); // a township is six sections across
    else if (field.isEmpty() || field == Symbol::NoLabels)
        vector.setLabelSource({});
    else
        vector.setLabelSource(VectorLayer::fieldLabels(field));
}

} // namespace

qsizetype ThemeList::add(Theme theme)
{
    if (!theme.layer)
        return -1;
    applyLabels(theme);
    theme.key = m_nextKey++;
    m_themes.append(std::move(theme));
    const qsizetype index = m_themes.size() - 1;
    Q_EMIT themeAdded(index);
    return index;
}

qsizetype ThemeList::addLayer(std::shared_ptr<MapLayer> layer)
{
    if (!layer)
        return -1;
    Theme theme;
    theme.title = layer->name();
    theme.source = layer->file();
    theme.layer = std::move(layer);
    return add(std::move(theme));
}

void ThemeList::remove(qsizetype index)
{
    if (index < 0 || index >= m_themes.size())
        return;
    m_themes.removeAt(index);
    Q_EMIT themesRemoved();
}

qsizetype ThemeList::removeIf(const std::function<bool(const Theme &)> &which)
{
    const qsizetype removed = m_themes.removeIf(which);
    if (removed > 0)
        Q_EMIT themesRemoved();
    return removed;
}

void ThemeList::clear()
{
    removeIf([](const Theme &) { return true; });
}

void ThemeList::reorder(const QList<int> &order)
{
    if (order.size() != m_themes.size())
        return;
    QList<Theme> moved;
    moved.reserve(m_themes.size());
    QList<bool> taken(m_themes.size(), false);
    for (int old : order) {
        if (old < 0 || old >= m_themes.size() || taken[old])
            return; // not a permutation: nothing moves
        taken[old] = true;
        moved.append(m_themes[old]);
    }
    m_themes = std::move(moved);
    Q_EMIT reordered();
}

void ThemeList::setActive(qsizetype index, bool active)
{
    if (index < 0 || index >= m_themes.size() || m_themes[index].active == active)
        return;
    m_themes[index].active = active;
    Q_EMIT activeChanged(index);
}

void ThemeList::setVisible(qsizetype index, bool visible)
{
    if (index < 0 || index >= m_themes.size() || m_themes[index].visible() == visible)
        return;
    m_themes[index].layer->setVisible(visible);
    Q_EMIT appearanceChanged(index);
}

void ThemeList::setPlssFields(qsizetype index, const QString &fields)
{
    if (index >= 0 && index < m_themes.size()) {
        m_themes[index].plssFields = fields;
        applyLabels(m_themes[index]);
    }
}

void ThemeList::notifyRestyled(qsizetype index)
{
    if (index >= 0 && index < m_themes.size()) {
        applyLabels(m_themes[index]);
        Q_EMIT appearanceChanged(index);
    }
}

int ThemeList::mapZone() const
{
    for (const Theme &t : m_themes) {
        if (const std::optional<int> zone = t.layer->utmZone())
            return *zone;
    }
    return 0;
}

QString ThemeList::mapSystemName() const
{
    if (const int zone = mapZone())
        return utmZoneName(zone);
    return m_themes.isEmpty() ? QString() : u"No coordinate system declared"_s;
}

LayerList ThemeList::layers() const
{
    LayerList list;
    list.reserve(m_themes.size());
    for (const Theme &t : m_themes)
        list.append(t.layer);
    return list;
}

LayerList ThemeList::drawOrder() const
{
    LayerList list;
    list.reserve(m_themes.size());
    for (auto it = m_themes.crbegin(); it != m_themes.crend(); ++it)
        list.append(it->layer);
    return list;
}

LayerList ThemeList::activeVectorLayers() const
{
    LayerList list;
    for (const Theme &t : m_themes) {
        if (t.active && t.layer->layerType() == MapLayer::LayerType::Vector)
            list.append(t.layer);
    }
    return list;
}

LayerList ThemeList::activeLayers() const
{
    LayerList list;
    for (const Theme &t : m_themes) {
        if (t.active)
            list.append(t.layer);
    }
    return list;
}

QList<ProjectTheme> ThemeList::toProject() const
{
    QList<ProjectTheme> themes;
    for (const Theme &theme : m_themes) {
        ProjectTheme t;
        t.title = theme.title;
        t.path = theme.source;
        t.active = theme.active;
        t.visible = theme.visible();
        t.plssFields = theme.plssFields;
        t.isMap = theme.layer->layerType() == MapLayer::LayerType::Vector;
        if (t.isMap) {
            const ::Symbol &s = static_cast<const VectorLayer &>(*theme.layer).symbol();
            t.color = s.color;
            t.outlineColor = s.outlineColor;
            t.size = s.size;
            t.style = s.style;
            t.labelField = s.labelField;
        }
        themes.append(t);
    }
    return themes;
}

Theme themeFromProject(const ProjectBlock &block, std::shared_ptr<MapLayer> layer)
{
    Theme theme;
    theme.title = block.title;
    theme.source = block.path;
    theme.active = block.active.value_or(true);
    theme.plssFields = block.plssFields;
    theme.layer = std::move(layer);
    if (!theme.layer)
        return theme;
    theme.layer->setVisible(block.visible.value_or(true));
    if (theme.layer->layerType() == MapLayer::LayerType::Vector && block.isMap.value_or(false)) {
        ::Symbol &s = static_cast<VectorLayer &>(*theme.layer).symbol();
        if (block.color)
            s.color = *block.color;
        if (block.outlineColor)
            s.outlineColor = *block.outlineColor;
        if (block.size)
            s.size = *block.size;
        if (block.style)
            s.style = *block.style;
        s.labelField = block.labelField;
    }
    return theme;
}

QStringList themeProperties(const Theme &theme)
{
    QStringList lines{u"Theme: "_s + theme.title, u"Source: "_s + theme.source};
    const MapLayer &layer = *theme.layer;
    if (layer.layerType() == MapLayer::LayerType::Vector) {
        const auto &vector = static_cast<const VectorLayer &>(layer);
        const QString kind = vector.shapeType() == ShapeType::Points  ? u"points"_s
                             : vector.shapeType() == ShapeType::Lines ? u"lines"_s
                                                                      : u"polygons"_s;
        lines << u"Kind: vector, "_s + kind
              << u"Features: "_s + QString::number(vector.featureCount());
    } else {
        lines << u"Kind: image"_s;
    }
    const MapRect e = layer.extent();
    auto n = [](double v) { return QString::number(v, 'f', 2); };
    lines << u"Extent: "_s + n(e.left()) + u", "_s + n(e.bottom()) + u" to "_s + n(e.right()) +
                 u", "_s + n(e.top());
    lines << u"Coordinate system: "_s + (layer.coordinateSystemName().isEmpty()
                                             ? u"none declared"_s
                                             : layer.coordinateSystemName());
    return lines;
}
