#pragma once

#include "core/wells/wells_model.h"

#include <QDate>
#include <QList>
#include <QRectF>
#include <QString>

class Map;
class QPrinter;

// What a printed page shows besides the map: its title, the date, and the wells of the window
// (those on the printed map are listed under it).
struct PrintContent
{
    QString title;
    QDate date = QDate::currentDate();
    QList<Well> wells;
};

// Where the parts of a printed map page go, in device pixels of the printer's page: the title
// across the top, the map, the column at its right (legend, scale bar, north arrow, date,
// credits and logo) and, when there are wells, their table under the map.
struct PrintedPageLayout
{
    QRectF title;
    QRectF map;
    QRectF column;
    QRectF table; // empty without wells
};
// `tableHeight` is the height the wells' table needs (0 for none); `resolution` the page's
// pixels per inch, `titleHeight` that of the title's line.
PrintedPageLayout printedPageLayout(double pageWidth, double pageHeight, double resolution,
                                    double titleHeight, double tableHeight);

// Images on a printed page get at least this many pixels per inch of their printed size.
inline constexpr double PrintedImageDpi = 300;
// At most this many wells are listed under the map; a line says how many more there are.
inline constexpr int PrintedWellRows = 12;

// The two credit lines under which the logo sits.
inline constexpr const char16_t *CreditLine1 = u"Created by Halden";
inline constexpr const char16_t *CreditLine2 = u"Support Group";

// Prints the map as shown on one landscape page (letter, A4 or any other the printer has) with
// the title, the legend of the visible themes, a scale bar, a north arrow, the date, the credit
// lines and the logo, and the table of the wells on the printed map. False when the printer
// could not start the page. Does not take ownership of either.
bool printMap(Map &map, QPrinter &printer, const PrintContent &content = {});

class QPrintDialog;
class QWidget;
// The Print dialog: its own printers and a PDF file, no page ranges.
QPrintDialog *makePrintDialog(QPrinter &printer, QWidget *parent);
