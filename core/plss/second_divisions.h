#pragma once

#include "core/plss/aliquot.h"

#include <QList>
#include <QString>

#include <array>
#include <memory>
#include <optional>

class MapLayer;
class VectorLayer;

// The BLM's second divisions: the quarter-quarters, government lots and other parts of each
// section as surveyed, one polygon each (CadNSDI's PLSSSecondDivision, or PLSSIntersected with
// its quarter and quarter-quarter columns). Where a map holds them, a description is placed on
// the land as surveyed instead of by a rule.

// Which field holds what; empty names are absent.
struct DivisionFields
{
    QString label;          // "SENE", "L 3" (SECDIVLAB)
    QString type;           // A aliquot, L lot, B remainder, O unnumbered lot, Z unsurveyed
    QString lot;            // the government lot's number (GOVLOT)
    QString quarter;        // "NE" (QSEC)
    QString quarterQuarter; // "SE" (QQSEC): with the quarter, the SENE

    bool operator==(const DivisionFields &) const = default;
};

// The fields of the BLM's schemas, when the layer is in one of them: SECDIVID or FRSTDIVID with
// SECDIVLAB; or FRSTDIVID with QSEC and QQSEC.
std::optional<DivisionFields> blmDivisionFields(const VectorLayer &layer);
// "division_label=LAB,division_type=TYP,lot=LOT,quarter=Q,quarter_quarter=QQ"; a label or a
// quarter is needed. Nothing, with the reason, for anything else.
std::optional<DivisionFields> parseDivisionFields(const QString &text, QString *error);
// Whether the layer is a polygon theme in a second-division schema.
bool isSecondDivisionTheme(const MapLayer &layer);

// Where an aliquot part lies in a nominal square section, (0, 0) at the SW corner and (1, 1) at
// the NE; the calls largest first ("NE", "N/2"). Nothing for a text that is not a part.
struct NominalBox
{
    double west = 0, south = 0, east = 1, north = 1;
    bool within(const NominalBox &other) const;
};
std::optional<NominalBox> nominalBox(const QList<QString> &callsLargestFirst);
// A label as the BLM writes it, smallest part first ("SENE", "N2NE", "NE"): its calls, largest
// first; nothing when it is not an aliquot label.
std::optional<QList<QString>> labelCalls(const QString &label);

// A description placed on second divisions.
struct DivisionPlace
{
    MapPoint point;
    MapPolygon parcel; // the union of the parts
    double radiusFeet = 0;
};

class SecondDivisions
{
public:
    struct Part
    {
        int row = -1;
        QString label; // as the table gives it, or made of the quarter columns
        int lot = 0;   // 0: not a lot
        QChar type;    // 'A', 'L', 'B', 'O', 'Z', or '\0' when not given
        std::optional<NominalBox> box;
        QList<QString> calls; // the aliquot calls of the label, largest first
        MapPolygon polygon;
        MapPoint inside; // a point inside the part
    };

    // Reads the parts of the layer with the given fields (from blmDivisionFields when none).
    // Nothing, with the reason, when the layer has no such fields.
    static std::shared_ptr<const SecondDivisions> read(std::shared_ptr<const VectorLayer> layer,
                                                       std::optional<DivisionFields> fields,
                                                       QString *error);

    const VectorLayer &layer() const { return *m_layer; }
    // The parts whose inside point lies in the section.
    QList<const Part *> partsIn(const MapPolygon &section) const;
    // The label of the part holding the point ("NESW", "L 3"), or empty.
    QString labelAt(const MapPoint &point) const;

    // A lot of the section: nothing when the section has no parts here (`covered` false) or no
    // such lot (`covered` true).
    std::optional<DivisionPlace> placeLot(const MapPolygon &section, int lot, bool *covered) const;
    // Aliquot calls (largest first, quarters and halves): the union of the parts they name, or
    // the quarter-quarter that holds a deeper call divided by the classic rule. Nothing when
    // the parts here do not describe the tract. `classicParcel` is the tract by the rule, which
    // places lots and parts without a label.
    std::optional<DivisionPlace> placeCalls(const MapPolygon &section,
                                            const std::array<QString, 4> &calls,
                                            const CornerArray &classicParcel) const;

private:
    std::shared_ptr<const VectorLayer> m_layer;
    std::vector<Part> m_parts; // by row
};

// The label of a part given as its quarter ("NE") and quarter-quarter, which may hold its own
// call ("SE") or the whole label ("SENE"): "SENE".
QString labelOfQuarters(const QString &quarter, const QString &quarterQuarter);

// A place on the union of polygons: the centroid, or a point on the surface where the centroid
// falls outside; the radius to the farthest vertex.
std::optional<DivisionPlace> placeOnUnion(const QList<MapPolygon> &polygons);

// The sections a second-division theme divides, made whole again: one polygon per section
// (the union of its parts, grouped by FRSTDIVID or the start of SECDIVID) with the BLM's
// first-division fields, so that the theme serves as its own section theme. Nothing, with the
// reason, when the parts do not name their sections.
std::shared_ptr<VectorLayer> sectionsFromDivisions(const VectorLayer &divisions, QString *error);
