#pragma once

#include <QColor>
#include <QFrame>
#include <QPointF>

class QLabel;
class QSettings;

// A container that lays out the first two widgets placed in it as two panes, one above the other
// (orientation 0) or side by side (1), with a bar between them that the user drags. Sizes are in
// twips. Every property can be written to and read back from a settings store under its own
// name, in a fixed order; a missing value takes its default. Owns the bar; the panes are
// ordinary children.
class Resizer : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(int separatorSize READ separatorSize WRITE setSeparatorSize)
    Q_PROPERTY(int orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(int borderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool invertControls READ invertControls WRITE setInvertControls)
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(int appearance READ appearance WRITE setAppearance)
    Q_PROPERTY(bool enabledProperty READ enabledProperty WRITE setEnabledProperty)
    Q_PROPERTY(QString controlName1 READ controlName1 WRITE setControlName1)
    Q_PROPERTY(QString controlName2 READ controlName2 WRITE setControlName2)
    Q_PROPERTY(int minControlSize1 READ minControlSize1 WRITE setMinControlSize1)
    Q_PROPERTY(int minControlSize2 READ minControlSize2 WRITE setMinControlSize2)
    Q_PROPERTY(bool control1Visible READ control1Visible WRITE setControl1Visible)
    Q_PROPERTY(bool control2Visible READ control2Visible WRITE setControl2Visible)
    Q_PROPERTY(int control1Size READ control1Size WRITE setControl1Size)
    Q_PROPERTY(int control2Size READ control2Size WRITE setControl2Size)

public:
    // The system's button-face colour, as the settings store keeps it.
    static constexpr quint32 ButtonFace = 0x8000000F;

    explicit Resizer(QWidget *parent = nullptr);

    int separatorSize() const { return m_separatorSize; }
    void setSeparatorSize(int twips);
    int orientation() const { return m_orientation; }
    void setOrientation(int orientation);
    int borderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    bool invertControls() const { return m_invert; }
    void setInvertControls(bool invert);
    // The bar's colour; an invalid colour (the default) is the system's button face.
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    int appearance() const { return m_appearance; }
    void setAppearance(int appearance);
    bool enabledProperty() const { return isEnabled(); }
    void setEnabledProperty(bool enabled);
    QString controlName1() const { return m_controlName[0]; }
    void setControlName1(const QString &name) { m_controlName[0] = name; }
    QString controlName2() const { return m_controlName[1]; }
    void setControlName2(const QString &name) { m_controlName[1] = name; }
    // The smallest sizes of the top or left pane (1) and the bottom or right pane (2).
    int minControlSize1() const { return m_minSize[0]; }
    void setMinControlSize1(int twips);
    int minControlSize2() const { return m_minSize[1]; }
    void setMinControlSize2(int twips);
    // Whether the first and the second contained widget are shown, wherever they are placed.
    // One of them is always shown: hiding both shows the other again.
    bool control1Visible() const { return m_visible[0]; }
    void setControl1Visible(bool visible) { setControlVisible(0, visible); }
    bool control2Visible() const { return m_visible[1]; }
    void setControl2Visible(bool visible) { setControlVisible(1, visible); }
    // Sizes of the top or left pane (1) and the bottom or right pane (2) along the split; a
    // written size is limited so that neither pane falls below its minimum.
    int control1Size() const;
    void setControl1Size(int twips);
    int control2Size() const;
    void setControl2Size(int twips);

    void writeSettings(QSettings &store) const;
    void readSettings(const QSettings &store);

    // Places the panes and the bar; runs on every resize.
    void arrange();

    QLabel *bar() const { return m_bar; }

Q_SIGNALS:
    // A property changed in a way the settings store should keep.
    void propertyChanged(const QString &name);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Panes
    {
        QWidget *pane[2] = {nullptr, nullptr};      // by position: top or left, bottom or right
        QWidget *contained[2] = {nullptr, nullptr}; // in the order they were placed
    };
    Panes panes() const;
    double twipsPerPixel() const;
    int toPixels(double twips) const;
    // Size along the split of the pane at a position, in twips.
    int paneSize(const QWidget *pane) const;
    QRect insideTwips() const;
    // The inside size along the split (height when stacked, width side by side), twips.
    int roomAcross() const;
    void setControlVisible(int index, bool visible);
    void applyFrame();
    void drag(double offsetTwips);

    QLabel *m_bar = nullptr; // the bar the user drags
    int m_separatorSize = 45;
    int m_orientation = 1;
    int m_borderStyle = 1;
    bool m_invert = false;
    QColor m_backColor;
    int m_appearance = 1;
    QString m_controlName[2];
    int m_minSize[2] = {90, 90};
    bool m_visible[2] = {true, true};
    int m_pane1Size = -1; // the top or left pane's size, twips; -1 until first laid out
    QPointF m_press;      // where the left button went down on the bar, twips inside the bar
};
