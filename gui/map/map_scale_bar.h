#pragma once

#include <QWidget>

class Map;
class QLineEdit;

// What the scale bar uses of its map window: the map, and the rescale operation that scales the
// extent about its centre by newScale / currentScale.
class ScaleBarHost
{
public:
    virtual ~ScaleBarHost();
    virtual Map *map() = 0;
    virtual void rescale(double currentScale, double newScale) = 0;
};

// Shows the map's scale as 1:n and zooms the map to a scale typed in and confirmed with Enter.
// Does not take ownership of the host.
class MapScaleBar : public QWidget
{
    Q_OBJECT

public:
    explicit MapScaleBar(QWidget *parent = nullptr);

    void setHost(ScaleBarHost *theview) { m_view = theview; }
    double scale() const;
    // Called after every redraw of the map, so the text follows zooms, pans and resizes.
    void updateScale();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyTypedScale(int keyCode);

    ScaleBarHost *m_view = nullptr;
    QLineEdit *m_scaleText = nullptr;
};
