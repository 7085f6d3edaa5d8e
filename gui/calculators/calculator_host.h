#pragma once

#include "core/engine/map_renderer.h"

class Map;
class MessageService;

// What the calculator panel uses of the map window that holds it: the legend's themes, the map
// (where its marks and lines are drawn) and where messages go.
class CalculatorHost
{
public:
    virtual ~CalculatorHost();
    // The legend's themes in its collection order; the first of a name is the one searched.
    virtual LayerList themes() const = 0;
    virtual Map *map() = 0;
    virtual MessageService &messages() = 0;
    // A calculation needs a PLSS section theme and the map has none: says so. A map window also
    // offers to name the PLSS fields of a polygon theme it holds.
    virtual void sectionThemeMissing();
};

// What is said when a calculation finds no section theme to search.
QString noSectionThemeMessage();
