#include "core/engine/point_writer.h"

#include "core/common/number_text.h"
#include "core/engine/gdal_session.h"
#include "core/engine/map_crs.h"

#include <QDir>
#include <QFileInfo>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <memory>

using namespace Qt::StringLiterals;

QString pointFormatDriver(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"gpkg"_s)
        return u"GPKG"_s;
    if (ext == u"geojson"_s)
        return u"GeoJSON"_s;
    if (ext == u"kml"_s)
        return u"KML"_s;
    if (ext == u"shp"_s)
        return u"ESRI Shapefile"_s;
    return {};
}

namespace {

// The system the points are written in (none: no system), and how they get there from NAD83 UTM
// `zone` (none: they are in it already). Returns why not, or nothing.
QString targetSystem(const QString &format, const QString &targetWkt, int zone,
                     std::unique_ptr<OGRSpatialReference> &target,
                     std::unique_ptr<OGRCoordinateTransformation> &toTarget)
{
    if (format == u"KML"_s) {
        target = std::make_unique<OGRSpatialReference>();
        target->SetWellKnownGeogCS("NAD83");
    } else if (!targetWkt.isEmpty()) {
        target = std::make_unique<OGRSpatialReference>();
        if (target->importFromWkt(targetWkt.toUtf8().constData()) != OGRERR_NONE)
            return u"the theme's coordinate system is unreadable"_s;
    } else if (zone > 0) {
        target = nad83UtmSystem(zone);
    }
    if (target)
        target->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    if (target && zone > 0) {
        const auto source = nad83UtmSystem(zone);
        if (!source->IsSame(target.get())) {
            toTarget.reset(OGRCreateCoordinateTransformation(source.get(), target.get()));
            if (!toTarget)
                return u"the points cannot be transformed into "_s +
                       QString::fromUtf8(target->GetName());
        }
    }
    return {};
}

} // namespace

QString writePointLayer(const QString &path, const QStringList &header,
                        const QList<QStringList> &rows,
                        const QList<std::optional<MapPoint>> &points, int zone,
                        const QString &targetWkt, const QList<FieldKind> &kinds)
{
    ensureGdalRegistered();
    GdalErrorTrap trap;
    const QString format = pointFormatDriver(path);
    // KML through libkml where GDAL has it: its attributes read back by their names.
    GDALDriver *driver =
        format == u"KML"_s ? GetGDALDriverManager()->GetDriverByName("LIBKML") : nullptr;
    if (!driver)
        driver = GetGDALDriverManager()->GetDriverByName(format.toUtf8().constData());
    if (!driver)
        return u"no writer for "_s + path;
    const QByteArray name = path.toUtf8();
    if (QFileInfo::exists(path))
        driver->Delete(name.constData());
    GDALDatasetUniquePtr out(driver->Create(name.constData(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!out)
        return u"Cannot write "_s + path + u": "_s + trap.lastMessage();

    std::unique_ptr<OGRSpatialReference> target;
    std::unique_ptr<OGRCoordinateTransformation> toTarget;
    if (const QString why = targetSystem(format, targetWkt, zone, target, toTarget); !why.isEmpty())
        return u"Cannot write "_s + path + u": "_s + why;
    OGRLayer *layer = out->CreateLayer(QFileInfo(path).completeBaseName().toUtf8().constData(),
                                       target.get(), wkbPoint, nullptr);
    if (!layer)
        return u"Cannot write "_s + path + u": "_s + trap.lastMessage();
    const auto kindOf = [&kinds](qsizetype c) { return kinds.value(c, FieldKind::Text); };
    for (qsizetype c = 0; c < header.size(); ++c) {
        const FieldKind kind = kindOf(c);
        OGRFieldDefn field(header[c].toUtf8().constData(), kind == FieldKind::Real ? OFTReal
                                                           : kind == FieldKind::DateTime
                                                               ? OFTDateTime
                                                               : OFTString);
        if (layer->CreateField(&field) != OGRERR_NONE)
            return u"Cannot write "_s + path + u": "_s + trap.lastMessage();
    }
    for (qsizetype r = 0; r < rows.size(); ++r) {
        OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(layer->GetLayerDefn()));
        for (qsizetype c = 0; c < header.size(); ++c) {
            // Text as it is, a time in ISO 8601 (which OGR reads), a number as a number; an
            // empty number or time is null.
            const QString cell = rows[r].value(c);
            if (kindOf(c) != FieldKind::Text && cell.isEmpty()) {
                feature->SetFieldNull(int(c));
            } else if (kindOf(c) == FieldKind::Real) {
                const std::optional<double> n = parseNumber(cell);
                if (!n)
                    return u"Cannot write "_s + path + u": \""_s + cell + u"\" in the column "_s +
                           header[c] + u" is not a number"_s;
                feature->SetField(int(c), *n);
            } else {
                feature->SetField(int(c), cell.toUtf8().constData());
            }
        }
        if (const std::optional<MapPoint> &p = points.value(r)) {
            OGRPoint point(p->X, p->Y);
            if (toTarget)
                point.transform(toTarget.get());
            feature->SetGeometry(&point);
        }
        if (layer->CreateFeature(feature.get()) != OGRERR_NONE)
            return u"Cannot write "_s + path + u": "_s + trap.lastMessage();
    }
    out.reset(); // flushes; a failure there is a failed write too
    if (trap.failures())
        return u"Cannot write "_s + path + u": "_s + trap.lastMessage();
    return {};
}
