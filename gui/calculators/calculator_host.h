#pragma once

#include "core/engine/map_renderer.h"

class Map;
class MapGraphics;
class MessageService;
class QWidget;

// What the calculator panel uses of the map window that holds it: the legend's themes, the map,
// the graphics list, the form that shows the busy pointer and where messages go.
class CalculatorHost
{
public:
    virtual ~CalculatorHost();
    // The legend's themes in its collection order; the first of a name is the one searched.
    virtual LayerList themes() const = 0;
    virtual Map *map() = 0;
    virtual MapGraphics &graphics() = 0;
    virtual QWidget *form() = 0;
    virtual MessageService &messages() = 0;
    // A calculation needs a PLSS section theme and the map has none: says so. A map window also
    // offers to name the PLSS fields of a polygon theme it holds.
    virtual void sectionThemeMissing();
};

// What is said when a calculation finds no section theme to search.
QString noSectionThemeMessage();
