#pragma once

#include <QFrame>

#include <memory>

class MapLayer;
class QCheckBox;
class QLabel;
class QPainter;
class ThemeList;

// One row of the legend, showing one theme of the theme list: a check box that says whether the
// theme is drawn and the theme's title, its path as the tool tip, a border when active. What it
// shows it reads from the list; the check box and the symbol dialog change the list. Presses,
// moves, releases and double clicks are signalled for the legend's selection and drag.
class LegendRow : public QFrame
{
    Q_OBJECT

public:
    LegendRow(ThemeList *themes, quint64 key, QWidget *parent);

    QString title() const;
    QString path() const;
    bool isShown() const;
    void setShown(bool visible);
    bool isActive() const;
    void setActive(bool active);
    std::shared_ptr<::MapLayer> layer() const;
    quint64 themeKey() const { return m_key; }
    QString key() const;
    int id() const { return m_id; }
    void setId(int id) { m_id = id; }

    // Shows the theme's state as the list now holds it.
    void refresh();

    // Row size in twips (the design height is 705; the width follows the title).
    double widthTwips() const;
    double heightTwips() const;

    // Asks for the symbol dialog of this row's theme (the legend shows it).
    void showOptionsDialog();

Q_SIGNALS:
    // Positions in pixels from the row's top left.
    void pressed(LegendRow *row, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                 const QPointF &at);
    void moved(LegendRow *row, const QPointF &at);
    void released(LegendRow *row, const QPointF &at);
    void optionsRequested(LegendRow *row);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    double twipsPerPixel() const;
    qsizetype index() const;
    // A small picture of the theme's symbol before its title.
    void paintSwatch(QPainter &painter) const;

    ThemeList *m_themes;
    quint64 m_key;
    QCheckBox *m_shown = nullptr;
    QLabel *m_themeName = nullptr;
    int m_id = 0;
    bool m_mouseDown = false;
};
