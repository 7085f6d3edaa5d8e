#include "gui/common/resizer.h"

#include "core/common/twips.h"
#include "core/document/project_file.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSettings>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Colours as the settings store keeps them: numbered as in a project file, or a system colour
// (the button face, an invalid QColor here) with the top bit set.
QColor storedColor(quint32 value)
{
    if (value & 0x80000000u)
        return QColor();
    return colorFromProject(value);
}

quint32 colorToStore(const QColor &color)
{
    return color.isValid() ? projectColor(color) : Resizer::ButtonFace;
}

// A list pane's border lies outside the control: it is shifted out by this much and made twice
// as long across the split.
constexpr int ListViewBorder = 15;

} // namespace

Resizer::Resizer(QWidget *parent)
    : QFrame(parent)
{
    m_bar = new QLabel(this);
    m_bar->setObjectName(u"resizer"_s);
    m_bar->installEventFilter(this);
    m_bar->lower();
    applyFrame();
}

double Resizer::twipsPerPixel() const
{
    return ::twipsPerPixel(logicalDpiY());
}

int Resizer::toPixels(double twips) const
{
    return int(std::lround(twips / twipsPerPixel()));
}

QRect Resizer::insideTwips() const
{
    const QRect c = contentsRect();
    const double tpp = twipsPerPixel();
    return QRect(int(std::lround(c.x() * tpp)), int(std::lround(c.y() * tpp)),
                 int(std::lround(c.width() * tpp)), int(std::lround(c.height() * tpp)));
}

int Resizer::roomAcross() const
{
    const QRect inside = insideTwips();
    return m_orientation == 0 ? inside.height() : inside.width();
}

Resizer::Panes Resizer::panes() const
{
    Panes p;
    int found = 0;
    for (QObject *child : children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || w == m_bar || w->isWindow())
            continue;
        p.contained[found++] = w;
        if (found == 2)
            break;
    }
    p.pane[0] = m_invert ? p.contained[1] : p.contained[0];
    p.pane[1] = m_invert ? p.contained[0] : p.contained[1];
    return p;
}

int Resizer::paneSize(const QWidget *pane) const
{
    const double tpp = twipsPerPixel();
    return int(std::lround((m_orientation == 0 ? pane->height() : pane->width()) * tpp));
}

void Resizer::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    arrange();
}

void Resizer::arrange()
{
    const QRect inside = insideTwips();
    m_bar->setGeometry(contentsRect());
    const Panes p = panes();
    if (!p.pane[0] || !p.pane[1])
        return;
    const bool vertical = m_orientation == 0; // panes one above the other
    const int across = vertical ? inside.height() : inside.width();
    const int along = vertical ? inside.width() : inside.height();

    if (m_visible[0] && m_visible[1] && (p.pane[0]->isHidden() || p.pane[1]->isHidden())) {
        p.pane[0]->show();
        p.pane[1]->show();
        m_pane1Size = (across - m_separatorSize) / 2;
    }
    int h = m_pane1Size >= 0 ? m_pane1Size : paneSize(p.pane[0]);
    if (h < m_minSize[0])
        h = m_minSize[0];
    else if (across - h - m_separatorSize < m_minSize[1])
        h = across - m_separatorSize - m_minSize[1];
    m_pane1Size = h;

    // Rectangles in twips inside the control: pane 1, the bar, pane 2.
    auto rectAt = [&](int start, int length) {
        return vertical ? QRect(inside.x(), inside.y() + start, along, length)
                        : QRect(inside.x() + start, inside.y(), length, along);
    };
    QRect rects[2] = {rectAt(0, h), rectAt(h + m_separatorSize, across - h - m_separatorSize)};
    const QRect barRect = rectAt(h, m_separatorSize);

    for (int i = 0; i < 2; ++i) {
        if (!qobject_cast<QAbstractItemView *>(p.pane[i]))
            continue;
        // Out by the border on the top and left, longer by both borders across the split.
        QRect &r = rects[i];
        r.translate(-ListViewBorder, -ListViewBorder);
        if (vertical)
            r.setWidth(r.width() + 2 * ListViewBorder);
        else
            r.setHeight(r.height() + 2 * ListViewBorder);
    }

    // The visible flags belong to the contained widgets, wherever they sit.
    const int hiddenPane = !m_visible[0]   ? (p.pane[0] == p.contained[0] ? 0 : 1)
                           : !m_visible[1] ? (p.pane[0] == p.contained[1] ? 0 : 1)
                                           : -1;
    if (hiddenPane >= 0) {
        const QRect all = inside;
        rects[hiddenPane] = vertical ? QRect(inside.x(), inside.bottom() + 1, along, 0)
                                     : QRect(inside.right() + 1, inside.y(), 0, along);
        rects[1 - hiddenPane] = all;
    }

    auto toPixelRect = [this](const QRect &t) {
        return QRect(toPixels(t.x()), toPixels(t.y()), toPixels(t.width()), toPixels(t.height()));
    };
    for (int i = 0; i < 2; ++i) {
        p.pane[i]->setGeometry(toPixelRect(rects[i]));
        p.pane[i]->setVisible(i != hiddenPane);
    }
    m_bar->setGeometry(toPixelRect(barRect));
    m_bar->setVisible(hiddenPane < 0);
    m_bar->setCursor(vertical ? Qt::SizeVerCursor : Qt::SizeHorCursor);
}

void Resizer::drag(double offsetTwips)
{
    const Panes p = panes();
    if (!p.pane[0] || !p.pane[1] || m_pane1Size < 0)
        return;
    const int pane2 = control2Size();
    int d = int(std::lround(offsetTwips));
    if (m_pane1Size + d < m_minSize[0])
        d = m_minSize[0] - m_pane1Size;
    if (pane2 - d < m_minSize[1])
        d = pane2 - m_minSize[1];
    if (d == 0)
        return;
    m_pane1Size += d;
    arrange();
    Q_EMIT propertyChanged(u"control1Size"_s);
}

bool Resizer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_bar || !isEnabled())
        return QFrame::eventFilter(watched, event);
    const double tpp = twipsPerPixel();
    if (event->type() == QEvent::MouseButtonPress) {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton)
            m_press = e->position() * tpp;
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->buttons() & Qt::LeftButton) {
            // The bar moves under the mouse, so the press point inside it stays where it was.
            const QPointF at = e->position() * tpp;
            drag(m_orientation == 0 ? at.y() - m_press.y() : at.x() - m_press.x());
        }
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void Resizer::setSeparatorSize(int twips)
{
    m_separatorSize = std::max(0, twips);
    arrange();
}

void Resizer::setOrientation(int orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation == 0 ? 0 : 1;
    m_pane1Size = -1; // the old size was along the other direction
    const Panes p = panes();
    if (p.pane[0] && p.pane[1]) {
        m_pane1Size = (roomAcross() - m_separatorSize) / 2;
    }
    arrange();
}

void Resizer::setBorderStyle(int style)
{
    m_borderStyle = style;
    applyFrame();
    arrange();
}

void Resizer::setInvertControls(bool invert)
{
    m_invert = invert;
    arrange();
}

void Resizer::setBackColor(const QColor &color)
{
    m_backColor = color;
    applyFrame();
}

void Resizer::setAppearance(int appearance)
{
    m_appearance = appearance;
    applyFrame();
}

void Resizer::setEnabledProperty(bool enabled)
{
    setEnabled(enabled);
}

void Resizer::applyFrame()
{
    setFrameShape(m_borderStyle == 0 ? QFrame::NoFrame : QFrame::Box);
    setFrameShadow(m_appearance == 0 ? QFrame::Plain : QFrame::Sunken);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, m_backColor.isValid()
                                       ? m_backColor
                                       : QApplication::palette().color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);
}

void Resizer::setMinControlSize1(int twips)
{
    m_minSize[0] = std::max(0, twips);
    arrange();
}

void Resizer::setMinControlSize2(int twips)
{
    m_minSize[1] = std::max(0, twips);
    arrange();
}

void Resizer::setControlVisible(int index, bool visible)
{
    m_visible[index] = visible;
    if (!visible && !m_visible[1 - index]) {
        m_visible[1 - index] = true;
        Q_EMIT propertyChanged(index == 0 ? u"control2Visible"_s : u"control1Visible"_s);
    }
    arrange();
    Q_EMIT propertyChanged(index == 0 ? u"control1Visible"_s : u"control2Visible"_s);
}

int Resizer::control1Size() const
{
    return std::max(0, m_pane1Size);
}

int Resizer::control2Size() const
{
    if (m_pane1Size < 0)
        return 0;
    return std::max(0, roomAcross() - m_pane1Size - m_separatorSize);
}

void Resizer::setControl1Size(int twips)
{
    if (twips <= 0)
        return; // never laid out: the panes keep the sizes they were placed with
    m_pane1Size = twips;
    arrange(); // limits it to what both minimums allow
}

void Resizer::setControl2Size(int twips)
{
    if (twips <= 0)
        return;
    m_pane1Size = std::max(0, roomAcross() - m_separatorSize - twips);
    arrange();
}

namespace {
// The properties in the order the store is read and written, with the names the store keeps
// them under (those of the first versions, so stores written then read back the same).
struct StoredProperty
{
    const char *property;
    const char *key;
};
const StoredProperty StoredProperties[] = {{"separatorSize", "SeparatorSize"},
                                           {"orientation", "Orientation"},
                                           {"borderStyle", "BorderStyle"},
                                           {"invertControls", "InvertControls"},
                                           {"backColor", "BackColor"},
                                           {"appearance", "Appearance"},
                                           {"enabledProperty", "Enabled"},
                                           {"controlName1", "ControlName1"},
                                           {"controlName2", "ControlName2"},
                                           {"minControlSize1", "MinControlSize1"},
                                           {"minControlSize2", "MinControlSize2"},
                                           {"control1Visible", "Control1Visible"},
                                           {"control2Visible", "Control2Visible"},
                                           {"control1Size", "Control1Size"},
                                           {"control2Size", "Control2Size"}};

// What the store keeps of a property: the colour as its number, the rest as they are.
QVariant storedValue(const Resizer &resizer, const char *name)
{
    if (qstrcmp(name, "backColor") == 0)
        return colorToStore(resizer.backColor());
    return resizer.property(name);
}
} // namespace

void Resizer::writeSettings(QSettings &store) const
{
    for (const StoredProperty &p : StoredProperties)
        store.setValue(QLatin1StringView(p.key), storedValue(*this, p.property));
}

void Resizer::readSettings(const QSettings &store)
{
    // A fresh control's values stand for whatever the store lacks.
    const Resizer defaults;
    for (const StoredProperty &p : StoredProperties) {
        // Both sizes describe one split; the first pane's, when known, decides.
        if (qstrcmp(p.property, "control2Size") == 0 && control1Size() > 0 &&
            store.value(u"Control1Size"_s).toInt() > 0)
            continue;
        const QVariant fallback = storedValue(defaults, p.property);
        QVariant value = store.value(QLatin1StringView(p.key), fallback);
        if (!value.convert(fallback.metaType()))
            value = fallback; // unreadable: the default, as when missing
        if (qstrcmp(p.property, "backColor") == 0)
            setBackColor(storedColor(value.toUInt()));
        else
            setProperty(p.property, value);
    }
}
