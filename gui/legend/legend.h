#pragma once

#include "core/document/project_file.h"
#include "core/engine/map_renderer.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>

class LegendRow;
class SymbolDialog;
class MapLayer;
class MessageService;
class QScrollArea;
class ThemeList;

// The legend of one map window: shows its theme list, one row per theme (the newest theme is
// the top row; collection position 1 is the bottom row), and edits it: selection, drag to
// reorder, visibility, symbols, adding and deleting themes. Keeps no order or state of its own
// beyond the row widgets. Does not take ownership of the list or the message service.
class Legend : public QWidget
{
    Q_OBJECT

public:
    explicit Legend(QWidget *parent = nullptr);
    ~Legend() override;

    void setThemes(ThemeList *themes);
    ThemeList *themes() const { return m_themes; }
    void setMessageService(MessageService *messages) { m_messages = messages; }

    // Opens the file (a shapefile when the path ends in ".shp" in any case, an image otherwise),
    // puts it on top of the list and returns the layer; a file that does not load is reported and
    // returned unadded.
    std::shared_ptr<MapLayer> addTheme(const QString &themeName, const QString &themePath,
                                       bool isActive = false, bool isShown = false);
    void arrangeRows();
    // Redraws the theme of the layer on the map (after its symbol changed).
    void redrawLayer(const MapLayer &theLayer);
    // The symbol dialog of a row's vector theme; the chosen symbol goes to the layer, which is
    // redrawn (also after Cancel, and for image themes, which have no dialog).
    // A double click on a row: the symbol dialog of its theme.
    void showOptionsDialog(LegendRow *row);
    // The symbol dialog of a row; of the top active theme (Themes > Theme Symbol...).
    void showSymbolDialog(LegendRow *row);
    void showActiveThemeSymbol();
    // A left click on a row, with the keys held: selects as a list does (Shift a range, Ctrl
    // one more) and arms a drag that may reorder.
    void selectRow(LegendRow *row, Qt::KeyboardModifiers modifiers);
    void deleteActiveThemes();
    void deleteThemes();
    // The themes in collection order (bottom row first); only active vector themes for the
    // active list. Empty lists are empty.
    LayerList activeLayers() const;
    LayerList layers() const;

    // The themes as a project stores them, bottom row first.
    QList<ProjectTheme> saveProject() const;
    // Replaces every theme by the project's; themes whose files do not load are reported and
    // left out, and a reading that stopped part-way is reported after what was read is shown.
    void loadProject(const ParsedProject &project);

    // A click of the hot-link tool at a map point (points and lines found within `tolerance`
    // map units): adds the image named by the "QUADNAME" field of each record there in the
    // active themes, looking for it in the working folder, then in quadImageFolder, asking for
    // that folder when the image is in neither.
    void openHotlink(const MapPoint &point, double tolerance);
    // The folder of quadrangle images, with a trailing "/" once chosen; empty until then.
    const QString &quadImageFolder() const { return m_quadImageFolder; }
    void setQuadImageFolder(const QString &folder);
    // Shows the folder chooser with a prompt; empty when cancelled. Replaceable in tests.
    std::function<QString(const QString &prompt)> chooseFolder;

    // A drag of a row; positions in pixels from the row's top left.
    void startDrag(LegendRow *row, const QPointF &at);
    void dragTo(LegendRow *row, const QPointF &at);
    void endDrag(LegendRow *row, const QPointF &at);

    // Shows the symbol dialog modally; replaceable so tests can answer it.
    std::function<void(SymbolDialog &)> runOptionsDialog;

    // Rows in collection order.
    const QList<LegendRow *> &rows() const { return m_items; }
    int dropIndicatorIndex() const { return m_dropIndicator; }
    QWidget *container() const { return m_container; }

Q_SIGNALS:
    // The user chose the folder of the quadrangle images (the program keeps it).
    void quadImageFolderChosen(const QString &folder);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    double twipsPerPixel() const;
    double rowTopTwips(const LegendRow *row) const;
    void resizeContainer();
    // Makes the rows those of the list, in its order.
    void syncRows();
    LegendRow *rowOf(qsizetype index) const;
    std::shared_ptr<MapLayer> loadLayer(const QString &themeName, const QString &themePath);

    ThemeList *m_themes = nullptr;
    MessageService *m_messages = nullptr;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_container = nullptr; // LegendContainer
    QList<LegendRow *> m_items;     // the list's rows, in its order
    qint64 m_anchor = -1;           // key of the theme a plain click selected last
    double m_dragStartY = 0;
    int m_dragSource = -1;
    bool m_dragArmed = false; // a left press started the drag: only that may reorder
    int m_dropIndicator = 0;
    QString m_quadImageFolder;
};
