#pragma once

#include "core/document/project_file.h"
#include "core/engine/map_renderer.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// One theme of a map window: what the legend shows as a row and the map draws as a layer.
// Whether it is drawn is the layer's own Visible flag, so it is kept in one place.
struct Theme
{
    QString title;
    QString source; // the path as given (and as a project stores it)
    bool active = false;
    std::shared_ptr<MapLayer> layer;
    quint64 key = 0;     // unique within its list, given by the list
    QString plssFields;  // the PLSS fields the user named ("section=SEC,..."), if any
    QString labels = {}; // which labels its layer was given (the list keeps them in step)

    bool visible() const { return layer && layer->isVisible(); }
};

// The themes of one map window in collection order: index 0 is the bottom legend row and is
// drawn first; the last index is the top row, the newest theme, drawn last. The map draws from
// this list, the legend shows and edits it, the project file is written from it; each hears of
// changes through the signals.
class ThemeList : public QObject
{
    Q_OBJECT

public:
    explicit ThemeList(QObject *parent = nullptr);

    qsizetype size() const { return m_themes.size(); }
    bool isEmpty() const { return m_themes.isEmpty(); }
    const Theme &at(qsizetype index) const { return m_themes.at(index); }
    // Index of the theme with `key`, -1 when it has gone.
    qsizetype indexOfKey(quint64 key) const;

    // Puts a theme on top and returns its index; a theme without a layer is not added (-1).
    qsizetype add(Theme theme);
    // A theme of a loaded layer, on top: titled by the layer's name, its source the layer's file,
    // shown as the layer is.
    qsizetype addLayer(std::shared_ptr<MapLayer> layer);
    void remove(qsizetype index);
    // Removes the themes for which `which` is true; returns how many went.
    qsizetype removeIf(const std::function<bool(const Theme &)> &which);
    void clear();
    // `order` names, for each new position, the old 0-based index (a permutation).
    void reorder(const QList<int> &order);
    void setActive(qsizetype index, bool active);
    void setVisible(qsizetype index, bool visible);
    // Keeps the PLSS fields named for a theme (already applied to its layer), for the project.
    void setPlssFields(qsizetype index, const QString &fields);
    // Tells the views that a theme's look changed (its symbol).
    void notifyRestyled(qsizetype index);

    // The NAD83 UTM zone the map works in: that of the first theme (from the bottom) whose
    // coordinates are held in a zone; 0 while none is (no themes, or none declaring a system).
    int mapZone() const;
    // "NAD83 / UTM zone 13N", or what is known without a zone.
    QString mapSystemName() const;

    // Layers in collection order (bottom first), and as the map draws them (top first).
    LayerList layers() const;
    LayerList drawOrder() const;
    // Active vector themes' layers, bottom first.
    LayerList activeVectorLayers() const;
    // Every active theme's layer, bottom first.
    LayerList activeLayers() const;

    // The themes as a project file stores them, bottom first.
    QList<ProjectTheme> toProject() const;

Q_SIGNALS:
    void themeAdded(qsizetype index);
    void themesRemoved();
    void reordered();
    // Selected or not; nothing to redraw.
    void activeChanged(qsizetype index);
    // Shown or hidden, or restyled: the map redraws it.
    void appearanceChanged(qsizetype index);

private:
    QList<Theme> m_themes;
    quint64 m_nextKey = 0;
};

// A theme read from a project block onto a loaded layer: the block's title and path, its
// active and visible flags (shown and active when unread) and, for a vector theme stored as
// one, its symbol.
Theme themeFromProject(const ProjectBlock &block, std::shared_ptr<MapLayer> layer);

// What File > Properties says of a theme: one "Caption: value" line each for its title, source,
// kind, feature count (vector themes), extent and coordinate system.
QStringList themeProperties(const Theme &theme);
