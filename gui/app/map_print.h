#pragma once

#include <QRectF>

class Map;
class QPrinter;

// Where the parts of a printed map page go, in device pixels of the printer's page.
struct PrintedPageLayout
{
    QRectF map;          // the page less 20 pixels at the right and the bottom
    QPointF creditStart; // three quarters across and down, before the first line's height
};
PrintedPageLayout printedPageLayout(double pageWidth, double pageHeight);

// Images on a printed page get at least this many pixels per inch of their printed size.
inline constexpr double PrintedImageDpi = 300;

// The two credit lines under which the logo sits.
inline constexpr const char16_t *CreditLine1 = u"Created by Halden";
inline constexpr const char16_t *CreditLine2 = u"Support Group";

// Prints the map as shown on one landscape page: the map over the page, the credit lines in
// "Times New Roman" 14 and the logo below them at three quarters of the page. False when the
// printer could not start the page. Does not take ownership of either.
bool printMap(Map &map, QPrinter &printer);

class QPrintDialog;
class QWidget;
// The Print dialog: its own printers and a PDF file, no page ranges.
QPrintDialog *makePrintDialog(QPrinter &printer, QWidget *parent);
