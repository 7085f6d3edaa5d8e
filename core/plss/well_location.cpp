#include "core/plss/well_location.h"

#include "core/common/number_text.h"
#include "core/engine/vector_layer.h"
#include "core/plss/aliquot.h"
#include "core/plss/footage.h"

namespace {

void setLocation(WellLocation &result, const MapPoint &p)
{
    result.located = true;
    result.location = p;
    result.easting = formatNumber(roundTo(p.X, 2));
    result.northing = formatNumber(roundTo(p.Y, 2));
}

// Both commands start alike: the section, its extent for zooming, its corners.
struct Section
{
    MapPolygon polygon;
    CornerArray corners{};
};

std::optional<Section> findSection(const VectorLayer &theme, const SectionEntries &entries,
                                   WellLocation &result, MessageService &messages)
{
    const auto poly = findSectionPolygon(theme, entries, messages);
    if (!poly)
        return std::nullopt;
    result.sectionFound = true;
    result.sectionExtent = poly->extent();
    Section section{*poly, {}};
    CornerArray extentCorners{};
    if (!GetPolyCorners(*poly, extentCorners, section.corners, messages))
        return std::nullopt;
    return section;
}

} // namespace

WellLocation locateByQuarterCalls(const VectorLayer &theme, const SectionEntries &entries,
                                  const std::array<QString, 4> &calls, MessageService &messages)
{
    WellLocation result;
    const auto section = findSection(theme, entries, result, messages);
    if (!section)
        return result;
    const auto subdivided = subdivideByCalls(section->corners, calls, messages);
    if (!subdivided)
        return result;
    result.lines = subdivided->lines;
    setLocation(result, subdivided->location);
    return result;
}

WellLocation locateByFootageCalls(const VectorLayer &theme, const SectionEntries &entries,
                                  const QString &fcX, const QString &fcY, MessageService &messages)
{
    WellLocation result;
    const auto section = findSection(theme, entries, result, messages);
    if (!section)
        return result;
    bool empty = false;
    const auto p =
        placeByFootageCalls(section->polygon, section->corners, fcX, fcY, messages, &empty);
    result.clearOutputs = empty;
    if (p)
        setLocation(result, *p);
    return result;
}
