#include "core/plss/second_divisions.h"

#include "core/common/message_service.h"
#include "core/engine/vector_layer.h"
#include "core/plss/footage.h"
#include "core/plss/plss_schema.h"

#include <QRegularExpression>
#include <QStringList>

#include <cpl_vsi.h>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_geometry.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace {

QString fieldText(const VectorLayer &layer, int row, int field)
{
    return field < 0 ? QString() : layer.value(row, field).toString().trimmed();
}

// A lot number as a table writes it: "3", "03", "3.0", "L 3", "L3".
int lotNumber(const QString &text)
{
    static const QRegularExpression form(u"^(?:L(?:OT)?\\s*)?0*(\\d{1,3})(?:\\.0+)?$"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(text.trimmed());
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

std::unique_ptr<OGRGeometry> toOgr(const QList<MapPolygon> &polygons)
{
    auto multi = std::make_unique<OGRMultiPolygon>();
    for (const MapPolygon &polygon : polygons) {
        for (const MapPolygon::Part &part : polygon.parts()) {
            if (part.size() < 3)
                continue;
            OGRLinearRing ring;
            for (const MapPoint &p : part)
                ring.addPoint(p.X, p.Y);
            ring.closeRings();
            OGRPolygon one;
            one.addRing(&ring);
            multi->addGeometry(&one);
        }
    }
    return multi;
}

MapPolygon fromOgr(const OGRGeometry &geometry)
{
    QList<MapPolygon::Part> parts;
    const auto addPolygon = [&parts](const OGRPolygon &polygon) {
        for (int r = -1; r < polygon.getNumInteriorRings(); ++r) {
            const OGRLinearRing *ring =
                r < 0 ? polygon.getExteriorRing() : polygon.getInteriorRing(r);
            if (!ring)
                continue;
            MapPolygon::Part part;
            for (int i = 0; i < ring->getNumPoints(); ++i)
                part.append({ring->getX(i), ring->getY(i)});
            parts.append(part);
        }
    };
    const OGRwkbGeometryType type = wkbFlatten(geometry.getGeometryType());
    if (type == wkbPolygon) {
        addPolygon(*geometry.toPolygon());
    } else if (type == wkbMultiPolygon) {
        for (const OGRPolygon *polygon : *geometry.toMultiPolygon())
            addPolygon(*polygon);
    }
    return MapPolygon(parts);
}

MapPoint vertexMean(const MapPolygon &polygon)
{
    double x = 0, y = 0;
    int n = 0;
    for (const MapPolygon::Part &part : polygon.parts()) {
        for (const MapPoint &p : part) {
            x += p.X;
            y += p.Y;
            ++n;
        }
    }
    return n == 0 ? MapPoint{} : MapPoint{x / n, y / n};
}

// The system a layer's coordinates are held in: NAD83 UTM when they were reprojected as they
// loaded, else the layer's own; null for none. The caller destroys it.
OGRSpatialReferenceH heldSystem(const VectorLayer &layer)
{
    OGRSpatialReferenceH srs = nullptr;
    if (const auto zone = layer.utmZone()) {
        srs = OSRNewSpatialReference(nullptr);
        if (OSRImportFromEPSG(srs, 26900 + *zone) != OGRERR_NONE) {
            OSRDestroySpatialReference(srs);
            srs = nullptr;
        }
    } else if (!layer.coordinateSystemWkt().isEmpty()) {
        srs = OSRNewSpatialReference(layer.coordinateSystemWkt().toUtf8().constData());
    }
    if (srs)
        OSRSetAxisMappingStrategy(srs, OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

} // namespace

QString labelOfQuarters(const QString &quarter, const QString &quarterQuarter)
{
    const QString q = quarter.trimmed().toUpper(), qq = quarterQuarter.trimmed().toUpper();
    return qq.size() == 4 && qq.endsWith(q) ? qq : qq + q;
}

bool NominalBox::within(const NominalBox &o) const
{
    constexpr double e = 1e-9;
    return west >= o.west - e && east <= o.east + e && south >= o.south - e && north <= o.north + e;
}

std::optional<NominalBox> nominalBox(const QList<QString> &calls)
{
    NominalBox b;
    for (const QString &call : calls) {
        const double midX = (b.west + b.east) / 2, midY = (b.south + b.north) / 2;
        if (const auto q = quarterFromCall(call)) {
            (*q == Quarter::NE || *q == Quarter::SE ? b.west : b.east) = midX;
            (*q == Quarter::NE || *q == Quarter::NW ? b.south : b.north) = midY;
        } else if (const auto h = halfFromCall(call)) {
            if (*h == Half::N)
                b.south = midY;
            else if (*h == Half::S)
                b.north = midY;
            else if (*h == Half::E)
                b.west = midX;
            else
                b.east = midX;
        } else {
            return std::nullopt;
        }
    }
    return b;
}

std::optional<QList<QString>> labelCalls(const QString &label)
{
    QString text = label.toUpper();
    text.remove(u' ');
    text.remove(u'/');
    if (text.isEmpty() || text.size() % 2 != 0)
        return std::nullopt;
    QList<QString> calls;
    for (qsizetype i = text.size() - 2; i >= 0; i -= 2) {
        const QString pair = text.mid(i, 2);
        if (quarterFromCall(pair))
            calls.append(pair);
        else if (const auto h = halfFromCall(pair))
            calls.append(halfName(*h));
        else
            return std::nullopt;
    }
    return calls;
}

std::optional<DivisionFields> blmDivisionFields(const VectorLayer &layer)
{
    const auto has = [&layer](const QString &name) { return layer.fieldIndex(name) >= 0; };
    DivisionFields f;
    if (has(plsscolumn::divisionLabel)) { // named with the PLSS fields
        f.label = plsscolumn::divisionLabel;
        f.type = plsscolumn::divisionType;
        f.lot = plsscolumn::lot;
        return f;
    }
    const bool identified = has(u"SECDIVID"_s) || has(u"FRSTDIVID"_s);
    if (identified && has(u"SECDIVLAB"_s)) {
        f.label = u"SECDIVLAB"_s;
    } else if (has(u"FRSTDIVID"_s) && has(u"QSEC"_s) && has(u"QQSEC"_s)) {
        f.quarter = u"QSEC"_s;
        f.quarterQuarter = u"QQSEC"_s;
    } else {
        return std::nullopt;
    }
    if (has(u"SECDIVTYP"_s))
        f.type = u"SECDIVTYP"_s;
    if (has(u"GOVLOT"_s))
        f.lot = u"GOVLOT"_s;
    return f;
}

std::optional<DivisionFields> parseDivisionFields(const QString &text, QString *error)
{
    static const std::pair<const char16_t *, QString DivisionFields::*> keys[] = {
        {u"division_label", &DivisionFields::label},
        {u"division_type", &DivisionFields::type},
        {u"lot", &DivisionFields::lot},
        {u"quarter", &DivisionFields::quarter},
        {u"quarter_quarter", &DivisionFields::quarterQuarter}};
    DivisionFields f;
    for (const QString &pair : text.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        const QString key = pair.left(eq).trimmed().toLower();
        const QString value = eq < 0 ? QString() : pair.mid(eq + 1).trimmed();
        const auto *it = std::find_if(std::begin(keys), std::end(keys),
                                      [&](const auto &k) { return key == QStringView(k.first); });
        if (eq < 0 || value.isEmpty() || it == std::end(keys)) {
            *error = u"\""_s + pair.trimmed() +
                     u"\" is not KEY=FIELD with a key of division_label, division_type, lot, "
                     "quarter, quarter_quarter."_s;
            return std::nullopt;
        }
        f.*(it->second) = value;
    }
    if (f.label.isEmpty() && f.quarter.isEmpty()) {
        *error = u"Name the field of the division's label (division_label) or of its quarter "
                 "(quarter)."_s;
        return std::nullopt;
    }
    return f;
}

bool isSecondDivisionTheme(const MapLayer &layer)
{
    const auto *vector = dynamic_cast<const VectorLayer *>(&layer);
    return vector && vector->isValid() && vector->shapeType() == ShapeType::Polygons &&
           blmDivisionFields(*vector).has_value();
}

std::shared_ptr<const SecondDivisions>
SecondDivisions::read(std::shared_ptr<const VectorLayer> layer,
                      std::optional<DivisionFields> fields, QString *error)
{
    if (!fields)
        fields = blmDivisionFields(*layer);
    if (!fields) {
        *error = u"The theme has no second-division fields (SECDIVLAB, or QSEC and QQSEC)."_s;
        return nullptr;
    }
    const auto index = [&layer, error](const QString &name) {
        if (name.isEmpty())
            return -1;
        const int i = layer->fieldIndex(name);
        if (i < 0)
            *error = u"The theme has no field \""_s + name + u"\"."_s;
        return i;
    };
    error->clear();
    const int label = index(fields->label), type = index(fields->type), lot = index(fields->lot),
              quarter = index(fields->quarter), qq = index(fields->quarterQuarter);
    if (!error->isEmpty())
        return nullptr;
    auto d = std::make_shared<SecondDivisions>();
    d->m_layer = layer;
    d->m_parts.resize(std::size_t(layer->featureCount()));
    for (int row = 0; row < layer->featureCount(); ++row) {
        Part &p = d->m_parts[std::size_t(row)];
        p.row = row;
        p.polygon = layer->shapeOf(row);
        const QString typeText = fieldText(*layer, row, type).toUpper();
        p.type = typeText.isEmpty() ? QChar() : typeText[0];
        if (label >= 0) {
            p.label = fieldText(*layer, row, label);
        } else {
            p.label = labelOfQuarters(fieldText(*layer, row, quarter), fieldText(*layer, row, qq));
        }
        p.lot = lotNumber(fieldText(*layer, row, lot));
        if (p.lot == 0 && (p.type == u'L' || p.label.startsWith(u'L')))
            p.lot = lotNumber(p.label);
        if (p.lot == 0 && p.type != u'B' && p.type != u'O' && p.type != u'Z') {
            if (const auto calls = labelCalls(p.label)) {
                p.calls = *calls;
                p.box = nominalBox(*calls);
            }
        }
        // A point inside: the mean of the vertices when it is inside, else one GEOS finds.
        p.inside = vertexMean(p.polygon);
        if (!p.polygon.contains(p.inside)) {
            if (const auto placed = placeOnUnion({p.polygon}))
                p.inside = placed->point;
        }
    }
    return d;
}

QList<const SecondDivisions::Part *> SecondDivisions::partsIn(const MapPolygon &section) const
{
    QList<const Part *> parts;
    const MapRect &e = section.extent();
    if (e.isNull())
        return parts;
    const MapPoint centre{(e.left() + e.right()) / 2, (e.top() + e.bottom()) / 2};
    const RecordSet near = m_layer->searchByDistance(centre, std::hypot(e.width(), e.height()) / 2);
    for (int row : near.rows()) {
        const Part &p = m_parts[std::size_t(row)];
        if (section.contains(p.inside))
            parts.append(&p);
    }
    return parts;
}

QString SecondDivisions::labelAt(const MapPoint &point) const
{
    const RecordSet at = m_layer->searchShape(point);
    if (at.rows().empty())
        return {};
    const Part &p = m_parts[std::size_t(at.rows().front())];
    return p.lot > 0 && p.calls.isEmpty() ? u"L "_s + QString::number(p.lot) : p.label;
}

std::optional<DivisionPlace> placeOnUnion(const QList<MapPolygon> &polygons)
{
    const std::unique_ptr<OGRGeometry> parts = toOgr(polygons);
    if (parts->IsEmpty())
        return std::nullopt;
    std::unique_ptr<OGRGeometry> joined(parts->UnionCascaded());
    if (!joined || joined->IsEmpty())
        return std::nullopt;
    DivisionPlace place;
    place.parcel = fromOgr(*joined);
    OGRPoint centroid;
    if (joined->Centroid(&centroid) != OGRERR_NONE)
        return std::nullopt;
    place.point = {centroid.getX(), centroid.getY()};
    if (!place.parcel.contains(place.point)) {
        OGRGeometryH surface = OGR_G_PointOnSurface(OGRGeometry::ToHandle(joined.get()));
        if (!surface)
            return std::nullopt;
        place.point = {OGR_G_GetX(surface, 0), OGR_G_GetY(surface, 0)};
        OGR_G_DestroyGeometry(surface);
    }
    for (const MapPolygon::Part &part : place.parcel.parts())
        place.radiusFeet = std::max(place.radiusFeet, radiusFeet(place.point, part));
    return place;
}

std::optional<DivisionPlace> SecondDivisions::placeLot(const MapPolygon &section, int lot,
                                                       bool *covered) const
{
    const QList<const Part *> parts = partsIn(section);
    *covered = !parts.isEmpty();
    QList<MapPolygon> polygons;
    for (const Part *p : parts) {
        if (p->lot == lot)
            polygons.append(p->polygon);
    }
    return polygons.isEmpty() ? std::nullopt : placeOnUnion(polygons);
}

std::optional<DivisionPlace> SecondDivisions::placeCalls(const MapPolygon &section,
                                                         const std::array<QString, 4> &calls,
                                                         const CornerArray &classicParcel) const
{
    QList<QString> tract;
    for (const QString &call : calls) {
        if (!isAliquotCall(call))
            break;
        tract.append(call);
    }
    const auto box = nominalBox(tract);
    const QList<const Part *> parts = partsIn(section);
    if (!box || parts.isEmpty())
        return std::nullopt;
    const MapPolygon classic(QList<MapPolygon::Part>{
        {classicParcel[0], classicParcel[1], classicParcel[2], classicParcel[3]}});
    QList<MapPolygon> named;
    for (const Part *p : parts) {
        if (p->box ? p->box->within(*box) : classic.contains(p->inside))
            named.append(p->polygon);
    }
    if (!named.isEmpty())
        return placeOnUnion(named);
    // A deeper call: the part that holds it, divided by the classic rule.
    for (const Part *p : parts) {
        if (!p->box || !box->within(*p->box) || p->calls.size() >= tract.size() ||
            tract.mid(0, p->calls.size()) != p->calls ||
            std::any_of(p->calls.begin(), p->calls.end(),
                        [](const QString &c) { return halfFromCall(c).has_value(); }))
            continue;
        CornerArray extent{}, corners{};
        RecordingMessageService quiet;
        if (!polygonCorners(p->polygon, extent, corners, quiet))
            return std::nullopt;
        std::array<QString, 4> rest;
        for (qsizetype i = p->calls.size(); i < tract.size(); ++i)
            rest[std::size_t(i - p->calls.size())] = tract[i];
        const double half = 804.672 / std::pow(2.0, double(p->calls.size()));
        const auto divided =
            subdivideByCalls(corners, rest, quiet, SubdivisionRule::Classic, 0, half);
        if (!divided)
            return std::nullopt;
        const auto &c = divided->finalParcel;
        DivisionPlace place;
        place.point = divided->location;
        place.parcel = MapPolygon(QList<MapPolygon::Part>{{c[0], c[1], c[2], c[3]}});
        place.radiusFeet = radiusFeet(place.point, place.parcel.parts().first());
        return place;
    }
    return std::nullopt;
}

std::shared_ptr<VectorLayer> sectionsFromDivisions(const VectorLayer &divisions, QString *error)
{
    const int first = divisions.fieldIndex(u"FRSTDIVID"_s);
    const int second = divisions.fieldIndex(u"SECDIVID"_s);
    // FRSTDIVID: a township's PLSSID (15 characters), "SN", the section's two digits and one more.
    static const QRegularExpression sectionId(u"^([A-Z]{2}\\d{6}[NS]\\d{4}[EW]\\d)SN(\\d{2})\\d"_s);
    std::map<QString, QList<MapPolygon>> sections;
    for (int row = 0; row < divisions.featureCount(); ++row) {
        const QString id =
            fieldText(divisions, row, first >= 0 ? first : second).toUpper().left(20);
        if (sectionId.match(id).hasMatch())
            sections[id].append(divisions.shapeOf(row));
    }
    if (sections.empty()) {
        *error = u"The second divisions do not name their sections (FRSTDIVID or SECDIVID)."_s;
        return nullptr;
    }
    static std::atomic<int> serial{0};
    const QString path = u"/vsimem/tractwise-sections-"_s + QString::number(++serial) + u".gpkg"_s;
    GDALDriverH driver = GDALGetDriverByName("GPKG");
    GDALDatasetH ds =
        driver ? GDALCreate(driver, path.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr)
               : nullptr;
    if (!ds) {
        *error = u"Unable to make the sections of the second divisions."_s;
        return nullptr;
    }
    OGRSpatialReferenceH srs = heldSystem(divisions);
    OGRLayerH layer = GDALDatasetCreateLayer(ds, "sections", srs, wkbMultiPolygon, nullptr);
    for (const char *name : {"PLSSID", "FRSTDIVID", "FRSTDIVNO", "FRSTDIVTYP"}) {
        OGRFieldDefnH field = OGR_Fld_Create(name, OFTString);
        OGR_L_CreateField(layer, field, TRUE);
        OGR_Fld_Destroy(field);
    }
    bool written = OGR_L_StartTransaction(layer) == OGRERR_NONE;
    for (const auto &[id, parts] : sections) {
        const std::unique_ptr<OGRGeometry> pieces = toOgr(parts);
        std::unique_ptr<OGRGeometry> joined(pieces->UnionCascaded());
        if (!joined)
            continue;
        std::unique_ptr<OGRGeometry> whole(
            OGRGeometryFactory::forceToMultiPolygon(joined.release()));
        const QRegularExpressionMatch m = sectionId.match(id);
        OGRFeatureH feature = OGR_F_Create(OGR_L_GetLayerDefn(layer));
        OGR_F_SetFieldString(feature, 0, m.captured(1).toUtf8().constData());
        OGR_F_SetFieldString(feature, 1, id.toUtf8().constData());
        OGR_F_SetFieldString(feature, 2,
                             QString::number(m.captured(2).toInt()).toUtf8().constData());
        OGR_F_SetFieldString(feature, 3, "SN");
        OGR_F_SetGeometry(feature, OGRGeometry::ToHandle(whole.get()));
        written = written && OGR_L_CreateFeature(layer, feature) == OGRERR_NONE;
        OGR_F_Destroy(feature);
    }
    written = written && OGR_L_CommitTransaction(layer) == OGRERR_NONE;
    if (srs)
        OSRDestroySpatialReference(srs);
    GDALClose(ds);
    if (!written) {
        VSIUnlink(path.toUtf8().constData());
        *error = u"Unable to make the sections of the second divisions."_s;
        return nullptr;
    }
    auto sectionsLayer = VectorLayer::open(path, {}, divisions.utmZone().value_or(0));
    VSIUnlink(path.toUtf8().constData());
    if (!sectionsLayer->isValid()) {
        *error = sectionsLayer->errorText();
        return nullptr;
    }
    return sectionsLayer;
}
