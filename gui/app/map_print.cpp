#include "gui/app/map_print.h"

#include "gui/common/program_resources.h"
#include "gui/map/map.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

using namespace Qt::StringLiterals;

PrintedPageLayout printedPageLayout(double pageWidth, double pageHeight)
{
    PrintedPageLayout layout;
    layout.map = QRectF(0, 0, std::max(0.0, pageWidth - 20), std::max(0.0, pageHeight - 20));
    layout.creditStart = QPointF(0.75 * pageWidth, 0.75 * pageHeight);
    return layout;
}

bool printMap(Map &map, QPrinter &printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const PrintedPageLayout layout = printedPageLayout(printer.width(), printer.height());
    // The page is laid out in screen pixels, but paper shows far more: images are placed at
    // PrintedImageDpi of their printed size where the file has the pixels for it.
    map.outputMap(painter, layout.map, PrintedImageDpi / printer.resolution());

    // Each line goes one line height lower than the position before it, and printing it moves
    // the position down by its own height, as a printer's current position does.
    QFont font(u"Times New Roman"_s, 14);
    font.setStyleHint(QFont::Serif);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, &printer);
    const double x = layout.creditStart.x();
    double y = layout.creditStart.y();
    for (const char16_t *line : {CreditLine1, CreditLine2}) {
        const QString text = QString::fromUtf16(line);
        y += metrics.height();
        painter.drawText(QRectF(x, y, metrics.horizontalAdvance(text) + 1, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop, text);
        y += metrics.height();
    }

    // The logo at its natural size: its screen size, whatever the printer's resolution.
    loadProgramResources();
    const QImage logo(u":/tractwise/logo.png"_s);
    if (!logo.isNull()) {
        const double scale = printer.logicalDpiX() / 96.0;
        painter.drawImage(QRectF(x, y, logo.width() * scale, logo.height() * scale), logo);
    }
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
