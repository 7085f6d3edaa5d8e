#pragma once

#include "core/engine/geometry.h"
#include "core/engine/map_renderer.h"
#include "core/engine/record_set.h"

#include <QString>

#include <array>
#include <optional>

class MessageService;
class VectorLayer;

// The PLSS section table layouts the lookup understands, and the query expressions over them.

// True when the text holds no character outside A-Z and a-z (the empty text counts as letters).
bool isAlphaText(const QString &text);

// A well's section description as the user typed it.
struct SectionEntries
{
    QString section;
    QString township; // "12N": number and an optional direction letter
    QString range;    // "34W"
    QString meridian; // "6", "06" or empty for no meridian condition
};

// The entries turned into the pieces of the query expressions.
struct SectionDescription
{
    qint16 section = 0;
    QString township;          // number in general form: "12"
    QString range;             // "34"
    QString townshipDirection; // last letter as typed, or empty
    QString rangeDirection;
    QString townshipText; // whole entries as typed, for the layout that stores them so
    QString rangeText;
    QString meridian; // as typed, or empty
};

// Reads the entries. An empty or non-numeric section, township, range or meridian, or a section
// outside the 16-bit range, gives nothing and a message that names the box.
std::optional<SectionDescription> parseSectionEntries(const SectionEntries &entries,
                                                      QString *error);

// One expression per table layout, in the order they are tried.
std::array<QString, 5> buildSectionExpressions(const SectionDescription &description);

// The expression over the columns decoded from named fields (the BLM schema, a user's choice).
// A typed direction or meridian is a condition only where the theme gives it.
QString namedFieldsExpression(const SectionDescription &description, const VectorLayer &theme);

// A section theme is a polygon theme whose fields include section, township and range (or sect,
// twp and rng), names compared without regard to case, or that is in the BLM's national schema
// or has had its PLSS fields named.
bool isPlssSectionTheme(const MapLayer &layer);
// If the layer is a section theme: draws it hollow with a green outline of width 2 and says
// true.
bool recognisePlssSectionTheme(MapLayer &layer);

// The first theme of the list whose name is exactly `name`, if it is a vector theme.
std::shared_ptr<VectorLayer> findThemeByName(const LayerList &layers, const QString &name);

// Searches the theme with each layout's expression until one finds the section and returns its
// polygon; when none does, says "Unable to locate PLSS section." and which section is not in
// which theme; or why the entries are refused.
std::optional<MapPolygon> findSectionPolygon(const VectorLayer &theme,
                                             const SectionEntries &entries,
                                             MessageService &messages);
