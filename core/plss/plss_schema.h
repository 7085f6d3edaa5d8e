#pragma once

#include <QString>

#include <optional>

class VectorLayer;

// Section themes in schemas other than the five layouts the lookup knows by their field names:
// the BLM's national schema (CadNSDI: the township in one code, PLSSID, the section in
// FRSTDIVNO), or any table whose fields the user names. The named fields are decoded once into
// columns of the layer (searched and indexed like any field), which the lookup and the reverse
// location read when the five layouts find nothing.

// Which field holds what. Section is needed, and township and range or a township code.
struct PlssFields
{
    QString section;
    QString township; // a number, or number and letter together ("12N")
    QString townshipDirection;
    QString range;
    QString rangeDirection;
    QString meridian;
    QString townshipCode; // a BLM-style township code (PLSSID)
    QString divisionType; // BLM's FRSTDIVTYP: only "SN" rows are sections
    // A theme of second divisions (quarter-quarters and lots) in a schema of its own: the
    // label ("SENE", "L 3") or the quarter and quarter-quarter, the type, the lot number.
    QString secondLabel;
    QString secondType;
    QString lot;
    QString quarter;
    QString quarterQuarter;

    bool operator==(const PlssFields &) const = default;
    bool namesSection() const { return !section.isEmpty(); }
    bool namesDivisions() const { return !secondLabel.isEmpty() || !quarter.isEmpty(); }
};

// "section=SEC,township=TWP,..." with the keys section, township, township_direction, range,
// range_direction, meridian and township_code, or for second divisions division_label,
// division_type, lot, quarter and quarter_quarter; nothing, with the reason, for anything else.
std::optional<PlssFields> parsePlssFields(const QString &text, QString *error);
QString plssFieldsText(const PlssFields &fields);

// The BLM national schema's fields when the layer has PLSSID and FRSTDIVNO (any case).
std::optional<PlssFields> blmSchemaFields(const VectorLayer &layer);

// A BLM township code, such as ND051530N0950W0: state, meridian code, township number with its
// fraction digit (2: a half) and direction, range likewise, duplicate flag.
struct PlssId
{
    int meridian = 0;
    double township = 0;
    QString townshipDirection;
    double range = 0;
    QString rangeDirection;
};
std::optional<PlssId> decodePlssId(const QString &code);

// Decodes the named fields into the layer's PLSS columns. A field that does not exist, or that
// holds something other than a number where a number is needed, gives false and a message
// naming the field and the theme; the layer then stays as it was.
bool applyPlssFields(VectorLayer &layer, const PlssFields &fields, QString *error);
// Whether the table gives the meridian or a direction column (else what is typed for it is no
// condition).
bool plssColumnKnown(const VectorLayer &layer, const QString &column);
// Whether the layer has PLSS columns from named fields.
bool hasNamedPlssFields(const VectorLayer &layer);
// A BLM-schema theme gets its columns on first use; true when the layer has named fields now.
bool prepareNamedPlssFields(VectorLayer &layer);

// The columns the named fields are decoded into.
namespace plsscolumn {
inline const QString section = QStringLiteral("tw__section");
inline const QString township = QStringLiteral("tw__township");
inline const QString townshipDirection = QStringLiteral("tw__tdir");
inline const QString range = QStringLiteral("tw__range");
inline const QString rangeDirection = QStringLiteral("tw__rdir");
inline const QString meridian = QStringLiteral("tw__meridian");
// Second divisions in a schema of their own, named: their label, type and lot, as text.
inline const QString divisionLabel = QStringLiteral("tw__divlabel");
inline const QString divisionType = QStringLiteral("tw__divtype");
inline const QString lot = QStringLiteral("tw__lot");
} // namespace plsscolumn
