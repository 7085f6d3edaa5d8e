#pragma once

#include "core/engine/geometry.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class Map;
class VectorLayer;
class QLabel;
class QLineEdit;
class QPushButton;
class QListWidget;

// "Locate in Theme": builds an attribute expression for one theme from its field names and the
// distinct values of a field; "New Set" makes it the theme's highlight expression (its tag), drawn
// in yellow at every redraw. Keeps the theme alive; does not own the map, and empties itself when
// the map goes (its map window closed).
class QueryWindow : public QWidget
{
    Q_OBJECT

public:
    explicit QueryWindow(QWidget *parent = nullptr);

    void setLayer(std::shared_ptr<VectorLayer> layer);
    void setMap(Map *map);
    Map *map() const { return m_map; }
    const VectorLayer *layer() const { return m_layer.get(); }
    // Forgets the theme and the map: the lists and the query text are emptied.
    void clear();

    // Fills the field list from the theme (done when the window is shown after closing).
    void loadFields();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showFieldValues();
    // Draws the theme's features that match the query and says how many they are.
    void newSet();
    // Shows the matches of the last New Set.
    void zoomToSet();

    std::shared_ptr<VectorLayer> m_layer;
    QPointer<Map> m_map;
    bool m_loaded = false;
    QListWidget *m_fields = nullptr;
    QListWidget *m_values = nullptr;
    QLineEdit *m_expression = nullptr;
    QLabel *m_matchCount = nullptr;
    QPushButton *m_zoomToSet = nullptr;
    MapRect m_matchExtent = MapRect::null();
};

// Text of a value as it goes into an expression: text fields in single quotes (an embedded quote
// doubled, so the expression stays valid), other fields as they are.
QString expressionLiteral(const QVariant &value, bool textField);
