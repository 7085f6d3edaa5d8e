#include "gui/map/map_scale_bar.h"

#include "core/common/number_text.h"
#include "core/common/twips.h"
#include "core/engine/map_scale.h"
#include "gui/map/map.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

ScaleBarHost::~ScaleBarHost() = default;

MapScaleBar::MapScaleBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"scaleBar"_s);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(u"Scale"_s), 0, 0, 1, 2);
    layout->addWidget(new QLabel(u"1:"_s), 1, 0);
    m_scaleText = new QLineEdit(u"1"_s);
    m_scaleText->setObjectName(u"scaleText"_s);
    m_scaleText->installEventFilter(this);
    layout->addWidget(m_scaleText, 1, 1);
    auto *picture = new QWidget;
    picture->setObjectName(u"scalePicture"_s);
    layout->addWidget(picture, 2, 0, 1, 2);
}

double MapScaleBar::scale() const
{
    const Map *map = m_view ? m_view->map() : nullptr;
    if (!map || !map->viewport().isValid())
        return 0.0;
    return mapScale(map->extent().width(), map->width() * twipsPerPixel(map->logicalDpiX()));
}

void MapScaleBar::updateScale()
{
    m_scaleText->setText(formatNumber(roundTo(scale(), 0)));
}

void MapScaleBar::applyTypedScale(int keyCode)
{
    if (keyCode != Qt::Key_Return && keyCode != Qt::Key_Enter)
        return;
    const double current = scale();
    const auto wanted = parseNumber(m_scaleText->text());
    // Only a positive scale on a map that has one can be reached.
    if (!m_view || !(current > 0) || !wanted || !(*wanted > 0))
        return;
    m_view->rescale(current, *wanted);
}

bool MapScaleBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scaleText && event->type() == QEvent::KeyRelease)
        applyTypedScale(static_cast<QKeyEvent *>(event)->key());
    return QWidget::eventFilter(watched, event);
}
