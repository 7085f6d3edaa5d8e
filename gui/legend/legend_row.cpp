#include "gui/legend/legend_row.h"

#include "core/common/twips.h"
#include "core/document/theme_list.h"
#include "core/engine/symbol.h"
#include "core/engine/vector_layer.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double RowHeightTwips = 705;
constexpr int SwatchWidth = 18; // pixels: the theme's symbol between the check box and title

} // namespace

LegendRow::LegendRow(ThemeList *themes, quint64 key, QWidget *parent)
    : QFrame(parent)
    , m_themes(themes)
    , m_key(key)
{
    setObjectName(this->key());
    setFrameShape(QFrame::NoFrame);
    const double tpp = twipsPerPixel();
    auto px = [tpp](double twips) { return int(std::lround(twips / tpp)); };
    m_shown = new QCheckBox(this);
    m_shown->setObjectName(u"shown"_s);
    // Clear of the box an active row is framed with.
    m_shown->setGeometry(px(75), 0, px(255), px(495));
    m_themeName = new QLabel(this);
    m_themeName->setObjectName(u"themeName"_s);
    m_themeName->move(px(345) + SwatchWidth + 4, px(120));
    // The whole row takes the mouse, so positions are always the row's own.
    m_themeName->setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(px(3000), px(RowHeightTwips));
    connect(m_shown, &QCheckBox::clicked, this, [this](bool checked) { setShown(checked); });
    refresh();
}

qsizetype LegendRow::index() const
{
    return m_themes->indexOfKey(m_key);
}

QString LegendRow::key() const
{
    return QString::number(m_key) + u"theme"_s;
}

QString LegendRow::title() const
{
    const qsizetype i = index();
    return i >= 0 ? m_themes->at(i).title : QString();
}

QString LegendRow::path() const
{
    const qsizetype i = index();
    return i >= 0 ? m_themes->at(i).source : QString();
}

bool LegendRow::isShown() const
{
    const qsizetype i = index();
    return i >= 0 && m_themes->at(i).visible();
}

void LegendRow::setShown(bool visible)
{
    m_themes->setVisible(index(), visible);
}

bool LegendRow::isActive() const
{
    const qsizetype i = index();
    return i >= 0 && m_themes->at(i).active;
}

void LegendRow::setActive(bool active)
{
    m_themes->setActive(index(), active);
}

std::shared_ptr<::MapLayer> LegendRow::layer() const
{
    const qsizetype i = index();
    return i >= 0 ? m_themes->at(i).layer : nullptr;
}

void LegendRow::refresh()
{
    const qsizetype i = index();
    if (i < 0)
        return;
    const Theme &theme = m_themes->at(i);
    m_shown->setChecked(theme.visible());
    setFrameShape(theme.active ? QFrame::Box : QFrame::NoFrame);
    if (m_themeName->text() != theme.title) {
        m_themeName->setText(theme.title);
        m_themeName->adjustSize();
        resize(m_themeName->x() + m_themeName->width() + int(std::lround(260 / twipsPerPixel())),
               height());
    }
    m_themeName->setToolTip(theme.source);
    setToolTip(theme.source);
    update(); // the swatch
}

double LegendRow::twipsPerPixel() const
{
    return ::twipsPerPixel(logicalDpiY());
}

double LegendRow::widthTwips() const
{
    return width() * twipsPerPixel();
}

double LegendRow::heightTwips() const
{
    return height() * twipsPerPixel();
}

void LegendRow::showOptionsDialog()
{
    Q_EMIT optionsRequested(this);
}

void LegendRow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_mouseDown = true;
        update();
    }
    Q_EMIT pressed(this, event->button(), event->modifiers(), event->position());
}

void LegendRow::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        Q_EMIT moved(this, event->position());
}

void LegendRow::mouseReleaseEvent(QMouseEvent *event)
{
    m_mouseDown = false;
    update();
    // Last: the legend may rearrange (and so move or remove) this row.
    Q_EMIT released(this, event->position());
}

void LegendRow::mouseDoubleClickEvent(QMouseEvent *)
{
    showOptionsDialog();
}

void LegendRow::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    paintSwatch(painter);
    if (!m_mouseDown)
        return;
    // A hatch while the left button is down on the row: the row being dragged.
    painter.setPen(QPen(QColor(0x64, 0x64, 0x64), 1));
    for (int x = 0; x < width(); x += 10)
        painter.drawLine(x, 0, x, height());
}

void LegendRow::paintSwatch(QPainter &painter) const
{
    const std::shared_ptr<::MapLayer> layer = this->layer();
    if (!layer || layer->layerType() != ::MapLayer::LayerType::Vector)
        return;
    const auto &vector = static_cast<const VectorLayer &>(*layer);
    const ::Symbol &symbol = vector.symbol();
    const QRectF box(m_themeName->x() - SwatchWidth - 4, m_themeName->y() + 1, SwatchWidth,
                     std::max(8, m_themeName->height() - 2));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    switch (vector.shapeType()) {
    case ShapeType::Points: {
        ::Symbol marker = symbol;
        marker.size = std::min(symbol.size, box.height() - 2);
        drawMarker(painter, box.center(), marker);
        break;
    }
    case ShapeType::Lines:
        setupLine(painter, symbol);
        painter.drawLine(QPointF(box.left(), box.center().y()),
                         QPointF(box.right(), box.center().y()));
        break;
    default:
        setupFill(painter, symbol);
        painter.drawRect(box.adjusted(1, 1, -1, -1));
        break;
    }
    painter.restore();
}
