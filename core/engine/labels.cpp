#include "core/engine/labels.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

double medianOf(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double shorterSide(const MapRect &r)
{
    return std::min(std::abs(r.width()), std::abs(r.top() - r.bottom()));
}

} // namespace

void LayerLabels::measure(const std::vector<MapRect> &featureBoxes)
{
    std::vector<double> sizes;
    sizes.reserve(featureBoxes.size());
    for (std::size_t i = 0; i < featureBoxes.size() && i < features.size(); ++i) {
        if (!features[i].isEmpty())
            sizes.push_back(shorterSide(featureBoxes[i]));
    }
    typicalFeature = medianOf(std::move(sizes));
    sizes.clear();
    for (const Group &g : groups)
        sizes.push_back(shorterSide(g.extent));
    typicalGroup = medianOf(std::move(sizes));
}

namespace {

quint64 cellKey(qint64 x, qint64 y)
{
    return (quint64(quint32(x)) << 32) | quint32(y);
}

} // namespace

bool LabelPlacer::fits(const QRectF &r) const
{
    const qint64 x0 = qint64(std::floor(r.left() / m_cell));
    const qint64 x1 = qint64(std::floor(r.right() / m_cell));
    const qint64 y0 = qint64(std::floor(r.top() / m_cell));
    const qint64 y1 = qint64(std::floor(r.bottom() / m_cell));
    for (qint64 x = x0; x <= x1; ++x) {
        for (qint64 y = y0; y <= y1; ++y) {
            const auto found = m_taken.constFind(cellKey(x, y));
            if (found == m_taken.cend())
                continue;
            for (const QRectF &other : *found) {
                if (other.intersects(r))
                    return false;
            }
        }
    }
    return true;
}

bool LabelPlacer::take(const QRectF &r)
{
    if (!fits(r))
        return false;
    for (qint64 x = qint64(std::floor(r.left() / m_cell));
         x <= qint64(std::floor(r.right() / m_cell)); ++x) {
        for (qint64 y = qint64(std::floor(r.top() / m_cell));
             y <= qint64(std::floor(r.bottom() / m_cell)); ++y)
            m_taken[cellKey(x, y)].append(r);
    }
    return true;
}

LabelPainter::LabelPainter(QPainter &painter, const QFont &font, const QColor &color)
    : m_painter(painter)
    , m_ascent(QFontMetricsF(font, painter.device()).ascent())
{
    const QPaintDevice *device = painter.device();
    m_pad = device ? std::max(1, device->logicalDpiX()) / 96.0 : 1.0;
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
}

LabelPainter::~LabelPainter()
{
    m_painter.restore();
}

void LabelPainter::draw(const QRectF &box, const QString &text)
{
    m_painter.fillRect(box.adjusted(-m_pad, 0, m_pad, 0), Qt::white);
    // From its baseline: no layout of a rectangle, the quickest way text is drawn.
    m_painter.drawText(QPointF(box.left(), box.top() + m_ascent), text);
}
