#pragma once

#include <QFrame>

#include <memory>

class LegendControl;
class MapLayer;
class QCheckBox;
class QLabel;

// One row of the legend: a check box that says whether the theme is drawn and the theme's
// title, its path as the tool tip, a border when active. Presses, moves and releases go to the
// legend's selection and drag operations. Keeps its layer alive; belongs to the legend.
class LegendItemControl : public QFrame
{
    Q_OBJECT

public:
    LegendItemControl(LegendControl *legend, QWidget *parent);

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QString Path() const { return m_path; }
    void setPath(const QString &path);
    bool IsVisible() const;
    void setIsVisible(bool visible);
    bool IsActive() const { return m_active; }
    void setIsActive(bool active);
    const std::shared_ptr<::MapLayer> &MapLayer() const { return m_layer; }
    void setMapLayer(std::shared_ptr<::MapLayer> layer);
    QString Key() const { return m_key; }
    void setKey(const QString &key) { m_key = key; }
    int ID() const { return m_id; }
    void setID(int id) { m_id = id; }

    // Row size in twips (the design height is 705; the width follows the title).
    double widthTwips() const;
    double heightTwips() const;

    // The symbol dialog for a vector theme; the chosen symbol goes to the layer, which is
    // redrawn (also after Cancel, and for image themes, which have no dialog).
    void ShowOptionsDlg();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    double twipsPerPixel() const;

    LegendControl *m_legend;
    QCheckBox *DisplayCheck = nullptr;
    QLabel *ThemeLabel = nullptr;
    QString m_title;
    QString m_path;
    QString m_key;
    int m_id = 0;
    bool m_active = false;
    bool m_mouseDown = false;
    std::shared_ptr<::MapLayer> m_layer;
};
