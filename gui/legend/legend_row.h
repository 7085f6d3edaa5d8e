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
class LegendItemControl : public QFrame
{
    Q_OBJECT

public:
    LegendItemControl(ThemeList *themes, quint64 key, QWidget *parent);

    QString title() const;
    QString Path() const;
    bool IsVisible() const;
    void setIsVisible(bool visible);
    bool IsActive() const;
    void setIsActive(bool active);
    std::shared_ptr<::MapLayer> MapLayer() const;
    quint64 themeKey() const { return m_key; }
    QString Key() const;
    int ID() const { return m_id; }
    void setID(int id) { m_id = id; }

    // Shows the theme's state as the list now holds it.
    void refresh();

    // Row size in twips (the design height is 705; the width follows the title).
    double widthTwips() const;
    double heightTwips() const;

    // Asks for the symbol dialog of this row's theme (the legend shows it).
    void ShowOptionsDlg();

Q_SIGNALS:
    // Positions in twips from the row's top left; `shift` is 1 Shift, 2 Ctrl, 4 Alt.
    void MouseDown(LegendItemControl *row, int button, int shift, double x, double y);
    void MouseMove(LegendItemControl *row, double x, double y);
    void MouseUp(LegendItemControl *row, double x, double y);
    void OptionsRequested(LegendItemControl *row);

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
    QCheckBox *DisplayCheck = nullptr;
    QLabel *ThemeLabel = nullptr;
    int m_id = 0;
    bool m_mouseDown = false;
};
