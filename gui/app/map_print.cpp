#include "gui/app/map_print.h"

#include "core/common/number_text.h"
#include "core/document/theme_list.h"
#include "core/engine/vector_layer.h"
#include "gui/common/program_resources.h"
#include "gui/map/map.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>

#include <cmath>

using namespace Qt::StringLiterals;

PrintedPageLayout printedPageLayout(double pageWidth, double pageHeight, double resolution,
                                    double titleHeight, double tableHeight)
{
    const double margin = 0.4 * resolution;
    const double gap = 0.15 * resolution;
    const double inner = std::max(0.0, pageWidth - 2 * margin);
    PrintedPageLayout layout;
    layout.title = QRectF(margin, margin, inner, titleHeight);
    const double columnWidth = 0.24 * inner;
    const double top = margin + titleHeight + gap;
    const double bottom =
        std::max(top, pageHeight - margin - (tableHeight > 0 ? tableHeight + gap : 0));
    layout.map = QRectF(margin, top, std::max(0.0, inner - columnWidth - gap), bottom - top);
    layout.column = QRectF(layout.map.right() + gap, top, columnWidth,
                           std::max(0.0, pageHeight - margin - top));
    if (tableHeight > 0)
        layout.table = QRectF(margin, bottom + gap, layout.map.width(), tableHeight);
    return layout;
}

namespace {

struct Page
{
    QPainter &painter;
    QPrinter &printer;
    QFont text;
    QFont bold;
    QFontMetricsF metrics;
    double line; // one line of text, with its leading
    double res;
};

// The swatch of a theme in the legend: its fill and outline, line or marker.
void drawSwatch(Page &page, const QRectF &box, const MapLayer &layer)
{
    QPainter &p = page.painter;
    p.save();
    if (layer.layerType() != MapLayer::LayerType::Vector) {
        p.setPen(QPen(Qt::darkGray, 1));
        p.setBrush(QBrush(Qt::gray, Qt::Dense5Pattern));
        p.drawRect(box);
        p.restore();
        return;
    }
    const auto &vector = static_cast<const VectorLayer &>(layer);
    const ::Symbol &s = vector.symbol();
    const double width = std::max(1.0, s.size * page.res / 96);
    if (vector.shapeType() == ShapeType::Lines) {
        p.setPen(QPen(s.color, width));
        p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
    } else if (vector.shapeType() == ShapeType::Points) {
        p.setPen(QPen(s.outlineColor, 1));
        p.setBrush(s.color);
        const double r = box.height() / 3;
        p.drawEllipse(box.center(), r, r);
    } else {
        p.setPen(s.outline ? QPen(s.outlineColor, width) : QPen(Qt::NoPen));
        p.setBrush(s.fillStyle() == FillStyle::Transparent ? QBrush(Qt::NoBrush) : QBrush(s.color));
        p.drawRect(box);
    }
    p.restore();
}

// The legend of the visible themes, top first; returns where it ends.
double drawLegend(Page &page, const Map &map, const QRectF &column, double limit)
{
    QPainter &p = page.painter;
    p.setFont(page.bold);
    p.drawText(QRectF(column.left(), column.top(), column.width(), page.line),
               Qt::AlignLeft | Qt::AlignVCenter, u"Legend"_s);
    double y = column.top() + 1.3 * page.line;
    const ThemeList *themes = map.themes();
    p.setFont(page.text);
    for (qsizetype i = themes ? themes->size() - 1 : -1; i >= 0 && y + page.line <= limit; --i) {
        const Theme &t = themes->at(i);
        if (!t.visible())
            continue;
        const QRectF swatch(column.left(), y + 0.15 * page.line, 0.35 * page.res, 0.7 * page.line);
        drawSwatch(page, swatch, *t.layer);
        const QRectF label(swatch.right() + 0.1 * page.res, y,
                           column.right() - swatch.right() - 0.1 * page.res, page.line);
        p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter,
                   page.metrics.elidedText(t.title, Qt::ElideMiddle, label.width()));
        y += 1.2 * page.line;
    }
    return y;
}

// A bar of a round length in metres or kilometres, about a third of the column, with the
// representative fraction under it; then the north arrow. Returns where they end.
double drawScaleAndNorth(Page &page, const MapViewport &printed, const QRectF &column, double y)
{
    QPainter &p = page.painter;
    const double metresPerPixel = printed.unitsPerPixel();
    if (!printed.isValid() || !std::isfinite(metresPerPixel) || metresPerPixel <= 0)
        return y;
    const double wanted = 0.4 * column.width() * metresPerPixel;
    const double power = std::pow(10.0, std::floor(std::log10(wanted)));
    double length = power;
    for (double step : {2.0, 5.0, 10.0}) {
        if (step * power <= wanted)
            length = step * power;
    }
    const double bar = length / metresPerPixel;
    y += 0.6 * page.line;
    const QRectF box(column.left(), y, bar, 0.25 * page.line);
    p.setPen(QPen(Qt::black, std::max(1.0, page.res / 150)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    p.fillRect(QRectF(box.left(), box.top(), bar / 2, box.height()), Qt::black);
    const QString units =
        length >= 1000 ? formatNumber(length / 1000) + u" km"_s : formatNumber(length) + u" m"_s;
    p.setFont(page.text);
    p.drawText(
        QRectF(box.right() + 0.08 * page.res, y - 0.4 * page.line, column.width(), page.line),
        Qt::AlignLeft | Qt::AlignVCenter, units);
    const double fraction = metresPerPixel * page.res / 0.0254;
    y += 0.5 * page.line;
    p.drawText(QRectF(column.left(), y, column.width(), page.line),
               Qt::AlignLeft | Qt::AlignVCenter,
               u"Scale 1:"_s + QLocale(QLocale::English).toString(std::llround(fraction)));
    y += 1.4 * page.line;
    // Grid north: the map is drawn in UTM.
    const double h = 0.45 * page.res;
    const QPointF tip(column.left() + 0.2 * page.res, y);
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(0.12 * page.res, h));
    arrow.lineTo(tip + QPointF(0, 0.75 * h));
    arrow.lineTo(tip + QPointF(-0.12 * page.res, h));
    arrow.closeSubpath();
    p.setBrush(Qt::black);
    p.drawPath(arrow);
    p.setFont(page.bold);
    p.drawText(QRectF(tip.x() + 0.2 * page.res, y, column.width(), page.line),
               Qt::AlignLeft | Qt::AlignVCenter, u"N"_s);
    return y + h + 0.5 * page.line;
}

// The date, then the credit lines and the logo at the foot of the column.
void drawFoot(Page &page, const QRectF &column, double y, const QDate &date)
{
    QPainter &p = page.painter;
    p.setFont(page.text);
    p.drawText(QRectF(column.left(), y, column.width(), page.line),
               Qt::AlignLeft | Qt::AlignVCenter, u"Printed "_s + date.toString(Qt::ISODate));
    loadProgramResources();
    const QImage logo(u":/tractwise/logo.png"_s);
    const double scale = page.printer.logicalDpiX() / 96.0;
    const double logoHeight = logo.isNull() ? 0 : logo.height() * scale;
    double at = std::max(y + 1.5 * page.line, column.bottom() - logoHeight - 2 * page.line);
    for (const char16_t *line : {CreditLine1, CreditLine2}) {
        p.drawText(QRectF(column.left(), at, column.width(), page.line),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf16(line));
        at += page.line;
    }
    if (!logo.isNull())
        p.drawImage(QRectF(column.left(), at, logo.width() * scale, logoHeight), logo);
}

// The wells located on the printed map, in the table's order.
QList<const Well *> wellsOn(const QList<Well> &wells, const MapRect &extent)
{
    QList<const Well *> on;
    for (const Well &w : wells) {
        if (w.located && w.point.X >= extent.left() && w.point.X <= extent.right() &&
            w.point.Y >= extent.bottom() && w.point.Y <= extent.top())
            on.append(&w);
    }
    return on;
}

// The description as given, or the entry's calls, section, township and range.
QString descriptionOf(const WellEntry &e)
{
    if (!e.description.isEmpty())
        return e.description;
    const QString parts =
        callsText(e) + u" sec. "_s + e.section + u", T"_s + e.township + u", R"_s + e.range;
    return parts.trimmed();
}

// At most `rows` lines under the header: the wells, or as many as leave a line to say how
// many more the map shows.
void drawWellsTable(Page &page, const QRectF &table, const QList<const Well *> &wells,
                    qsizetype rows)
{
    QPainter &p = page.painter;
    static const double share[] = {0.13, 0.39, 0.12, 0.12, 0.12, 0.12};
    const QStringList header = {u"Id"_s,       u"Description"_s, u"Easting"_s,
                                u"Northing"_s, u"Latitude"_s,    u"Longitude"_s};
    const auto row = [&](double y, const QStringList &cells, const QFont &font) {
        p.setFont(font);
        const QFontMetricsF m(font, &page.printer);
        double x = table.left();
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const double w = share[c] * table.width();
            const Qt::Alignment align = c >= 2 ? Qt::AlignRight : Qt::AlignLeft;
            p.drawText(QRectF(x, y, w - 0.08 * page.res, page.line), align | Qt::AlignVCenter,
                       m.elidedText(cells[c], Qt::ElideRight, w - 0.08 * page.res));
            x += w;
        }
    };
    double y = table.top();
    row(y, header, page.bold);
    y += page.line;
    p.setPen(QPen(Qt::black, std::max(1.0, page.res / 150)));
    p.drawLine(QPointF(table.left(), y), QPointF(table.right(), y));
    const qsizetype listed = wells.size() <= rows ? wells.size() : rows - 1;
    for (qsizetype i = 0; i < listed; ++i, y += page.line) {
        const Well &w = *wells[i];
        row(y,
            {w.entry.id, descriptionOf(w.shown()), w.easting, w.northing, w.latitude, w.longitude},
            page.text);
    }
    if (wells.size() > listed) {
        p.setFont(page.text);
        p.drawText(QRectF(table.left(), y, table.width(), page.line),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   u"... and %1 more wells on the map."_s.arg(wells.size() - listed));
    }
}

} // namespace

bool printMap(Map &map, QPrinter &printer, const PrintContent &content)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QFont text(u"DejaVu Sans"_s);
    text.setStyleHint(QFont::SansSerif);
    text.setPointSizeF(9);
    QFont bold = text;
    bold.setBold(true);
    QFont titleFont = bold;
    titleFont.setPointSizeF(16);
    Page page{painter,
              printer,
              text,
              bold,
              QFontMetricsF(text, &printer),
              0,
              double(printer.resolution())};
    page.line = 1.35 * page.metrics.height();
    painter.setPen(Qt::black);

    // The table's room is reckoned from the wells in the extent shown on screen; the page shows
    // at least that, and its table lists the wells on the printed map in that room.
    const qsizetype shown = wellsOn(content.wells, map.extent()).size();
    const qsizetype rows = shown > 0 ? std::min<qsizetype>(shown + 1, PrintedWellRows + 1) : 0;
    const double tableHeight = rows == 0 ? 0 : (rows + 1.3) * page.line;
    const QFontMetricsF titleMetrics(titleFont, &printer);
    const PrintedPageLayout layout = printedPageLayout(printer.width(), printer.height(), page.res,
                                                       1.4 * titleMetrics.height(), tableHeight);

    painter.setFont(titleFont);
    painter.drawText(layout.title, Qt::AlignLeft | Qt::AlignVCenter,
                     titleMetrics.elidedText(content.title, Qt::ElideMiddle, layout.title.width()));
    // The page is laid out in screen pixels, but paper shows far more: images are placed at
    // PrintedImageDpi of their printed size where the file has the pixels for it.
    const MapViewport printed =
        map.outputMap(painter, layout.map, PrintedImageDpi / printer.resolution());
    painter.setPen(QPen(Qt::black, std::max(1.0, page.res / 150)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(layout.map);

    double y = drawLegend(page, map, layout.column, layout.column.center().y());
    y = drawScaleAndNorth(page, printed, layout.column, y + 0.5 * page.line);
    drawFoot(page, layout.column, y, content.date);
    if (rows > 0)
        drawWellsTable(page, layout.table, wellsOn(content.wells, printed.extent()), rows);
    return painter.end();
}

QPrintDialog *makePrintDialog(QPrinter &printer, QWidget *parent)
{
    auto *dialog = new QPrintDialog(&printer, parent);
    dialog->setWindowTitle(u"Print"_s);
    // Printing to a file is what a machine without a printer has: a PDF of the page.
    dialog->setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog;
}
