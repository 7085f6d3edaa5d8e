#include "gui/legend/legend_item_control.h"

#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/common/twips.h"
#include "core/engine/vector_layer.h"
#include "gui/legend/legend_control.h"
#include "gui/legend/legend_options_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double RowHeightTwips = 705;

int modifierMask(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

} // namespace

LegendItemControl::LegendItemControl(LegendControl *legend, QWidget *parent)
    : QFrame(parent)
    , m_legend(legend)
{
    setFrameShape(QFrame::NoFrame);
    const double tpp = twipsPerPixel();
    auto px = [tpp](double twips) { return int(std::lround(twips / tpp)); };
    DisplayCheck = new QCheckBox(this);
    DisplayCheck->setObjectName(u"DisplayCheck"_s);
    DisplayCheck->setGeometry(px(5), 0, px(255), px(495));
    ThemeLabel = new QLabel(this);
    ThemeLabel->setObjectName(u"ThemeLabel"_s);
    ThemeLabel->move(px(240), px(120));
    // The whole row takes the mouse, so positions are always the row's own.
    ThemeLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(px(3000), px(RowHeightTwips));
    connect(DisplayCheck, &QCheckBox::clicked, this,
            [this](bool checked) { setIsVisible(checked); });
}

double LegendItemControl::twipsPerPixel() const
{
    return ::twipsPerPixel(logicalDpiY());
}

double LegendItemControl::widthTwips() const
{
    return width() * twipsPerPixel();
}

double LegendItemControl::heightTwips() const
{
    return height() * twipsPerPixel();
}

void LegendItemControl::setTitle(const QString &title)
{
    m_title = title;
    ThemeLabel->setText(title);
    ThemeLabel->adjustSize();
    resize(ThemeLabel->width() + int(std::lround(500 / twipsPerPixel())), height());
}

void LegendItemControl::setPath(const QString &path)
{
    m_path = path;
    ThemeLabel->setToolTip(path);
    setToolTip(path);
}

bool LegendItemControl::IsVisible() const
{
    return DisplayCheck->isChecked();
}

void LegendItemControl::setIsVisible(bool visible)
{
    DisplayCheck->setChecked(visible);
    if (m_layer) {
        m_layer->setVisible(visible);
        m_legend->RedrawLayer(*m_layer);
    }
}

void LegendItemControl::setIsActive(bool active)
{
    m_active = active;
    setFrameShape(active ? QFrame::Box : QFrame::NoFrame);
}

void LegendItemControl::setMapLayer(std::shared_ptr<::MapLayer> layer)
{
    m_layer = std::move(layer);
    if (m_layer)
        m_layer->setVisible(DisplayCheck->isChecked());
}

void LegendItemControl::ShowOptionsDlg()
{
    if (!m_layer)
        return;
    if (m_layer->LayerType() == ::MapLayer::VectorLayerType) {
        auto &layer = static_cast<VectorLayer &>(*m_layer);
        ::Symbol &symbol = layer.Symbol();
        frmLegendOptionsDlg dialog(this);
        dialog.setSizeText(formatNumber(symbol.Size));
        dialog.setHollow(symbol.Style == qint16(FillStyle::Transparent));
        dialog.setColors(symbol.Color, symbol.OutlineColor);
        switch (layer.ShapeType()) {
        case VectorLayer::PointShapes:
            dialog.SetMode(0);
            break;
        case VectorLayer::LineShapes:
            dialog.SetMode(1);
            break;
        case VectorLayer::PolygonShapes:
            dialog.SetMode(2);
            break;
        default:
            break;
        }
        dialog.selectStyle(symbol.Style);
        m_legend->runOptionsDialog(dialog);
        if (dialog.DialogOK) {
            symbol.Style = dialog.IsHollow ? 1 : 0;
            symbol.Color = dialog.SymbolColor;
            symbol.OutlineColor = dialog.SymbolOutlineColor;
            symbol.Size = dialog.SymbolSize;
            if (dialog.SymbolStyle >= 0) // the chosen style decides
                symbol.Style = dialog.SymbolStyle;
        }
    }
    m_legend->RedrawLayer(*m_layer);
}

void LegendItemControl::mousePressEvent(QMouseEvent *event)
{
    const double tpp = twipsPerPixel();
    const double x = event->position().x() * tpp, y = event->position().y() * tpp;
    m_legend->StartMouseDrag(this, x, y);
    if (event->button() == Qt::LeftButton) {
        m_legend->SetActive(this, x, y, modifierMask(event->modifiers()));
        m_mouseDown = true;
        update();
    }
}

void LegendItemControl::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) {
        const double tpp = twipsPerPixel();
        m_legend->MouseDrag(this, event->position().x() * tpp, event->position().y() * tpp);
    }
}

void LegendItemControl::mouseReleaseEvent(QMouseEvent *event)
{
    const double tpp = twipsPerPixel();
    m_mouseDown = false;
    update();
    // Last: the legend may rearrange (and so move) this row.
    m_legend->EndMouseDrag(this, event->position().x() * tpp, event->position().y() * tpp);
}

void LegendItemControl::mouseDoubleClickEvent(QMouseEvent *)
{
    ShowOptionsDlg();
}

void LegendItemControl::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!m_mouseDown)
        return;
    // A hatch while the left button is down on the row: the row being dragged.
    QPainter painter(this);
    painter.setPen(QPen(QColor(0x64, 0x64, 0x64), 1));
    for (int x = 0; x < width(); x += 10)
        painter.drawLine(x, 0, x, height());
}
