#include "core/wells/well_store.h"

#include "core/common/number_text.h"
#include "core/engine/gdal_session.h"
#include "core/engine/map_crs.h"
#include "core/engine/point_writer.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct FieldSpec
{
    const char *name;
    OGRFieldType type;
};

// The fields of the layer, in this order.
constexpr FieldSpec Fields[] = {
    {"id", OFTString},          {"description", OFTString}, {"meridian", OFTString},
    {"township", OFTString},    {"range", OFTString},       {"section", OFTString},
    {"q160", OFTString},        {"q40", OFTString},         {"q10", OFTString},
    {"q2_5", OFTString},        {"fc_x", OFTString},        {"fc_y", OFTString},
    {"lot", OFTString},         {"tie_corner", OFTString},  {"tie_ns", OFTString},
    {"tie_ew", OFTString},      {"easting", OFTReal},       {"northing", OFTReal},
    {"latitude", OFTReal},      {"longitude", OFTReal},     {"radius_ft", OFTReal},
    {"method", OFTString},      {"status", OFTString},      {"note", OFTString},
    {"located_at", OFTDateTime}};

QList<QString *> entryTexts(WellEntry &e)
{
    return {&e.id,       &e.description, &e.meridian,      &e.township,   &e.range, &e.section,
            &e.calls[0], &e.calls[1],    &e.calls[2],      &e.calls[3],   &e.fcX,   &e.fcY,
            &e.lot,      &e.tieCorner,   &e.tieNorthSouth, &e.tieEastWest};
}

QList<QString *> resultNumbers(Well &w)
{
    return {&w.easting, &w.northing, &w.latitude, &w.longitude, &w.radiusFeet};
}

QString failed(const QString &source, const QString &why)
{
    return sourceName(source) + u": "_s + why;
}

// The dataset at `source`, for update or only for reading; created when a GeoPackage is not
// there yet (and `create`). Null, with the reason, when it cannot be opened.
GDALDatasetUniquePtr openSource(const QString &source, bool create, bool update, bool *absent,
                                QString *error)
{
    ensureGdalRegistered();
    GdalErrorTrap trap;
    const QByteArray name = source.toUtf8();
    *absent = false;
    if (!isDatabaseSource(source) && !QFileInfo::exists(source)) {
        *absent = true;
        if (!create)
            return nullptr;
        GDALDriver *gpkg = GetGDALDriverManager()->GetDriverByName("GPKG");
        GDALDatasetUniquePtr ds(gpkg ? gpkg->Create(name.constData(), 0, 0, 0, GDT_Unknown, nullptr)
                                     : nullptr);
        if (!ds)
            *error = failed(source, u"cannot be created: "_s + trap.lastMessage());
        return ds;
    }
    const char *const drivers[] = {isDatabaseSource(source) ? "PostgreSQL" : "GPKG", nullptr};
    GDALDatasetUniquePtr ds(GDALDataset::Open(name.constData(),
                                              GDAL_OF_VECTOR | (update ? GDAL_OF_UPDATE : 0),
                                              drivers, nullptr, nullptr));
    if (!ds) {
        QString why = trap.lastMessage().simplified();
        if (why.isEmpty())
            why = isDatabaseSource(source) ? u"the database cannot be reached"_s
                                           : u"it is not a GeoPackage"_s;
        *error = failed(source, u"cannot be opened: "_s + why);
    }
    return ds;
}

// The wells layer of a dataset, checked to be a point layer with the fields; null with the
// reason when it is not, or (when `create`) after creating it.
OGRLayer *wellsLayer(GDALDataset &ds, const QString &source, bool create, int zone, QString *error)
{
    GdalErrorTrap trap;
    OGRLayer *layer = ds.GetLayerByName(WellsLayerName);
    if (!layer) {
        if (!create)
            return nullptr;
        const auto system = zone > 0 ? nad83UtmSystem(zone) : nullptr;
        char **options = CSLSetNameValue(nullptr, "FID", "fid");
        layer = ds.CreateLayer(WellsLayerName, system.get(), wkbPoint, options);
        CSLDestroy(options);
        if (!layer) {
            *error =
                failed(source, u"the layer \"wells\" cannot be created: "_s + trap.lastMessage());
            return nullptr;
        }
    }
    if (wkbFlatten(layer->GetGeomType()) != wkbPoint) {
        *error = failed(
            source, u"the layer \"wells\" holds "_s +
                        QString::fromUtf8(OGRGeometryTypeToName(layer->GetGeomType())).toLower() +
                        u", not points."_s);
        return nullptr;
    }
    OGRFeatureDefn *defn = layer->GetLayerDefn();
    for (const FieldSpec &f : Fields) {
        if (!create || defn->GetFieldIndex(f.name) >= 0) // a reader takes what is there
            continue;
        OGRFieldDefn field(f.name, f.type);
        if (layer->CreateField(&field) != OGRERR_NONE) {
            *error = failed(source, u"the field \""_s + QString::fromUtf8(f.name) +
                                        u"\" cannot be added: "_s + trap.lastMessage());
            return nullptr;
        }
    }
    return layer;
}

Well wellOf(OGRFeature &f)
{
    Well w;
    OGRFeatureDefn *defn = f.GetDefnRef();
    const auto text = [&](const char *name) {
        const int i = defn->GetFieldIndex(name);
        return i >= 0 && f.IsFieldSetAndNotNull(i) ? QString::fromUtf8(f.GetFieldAsString(i))
                                                   : QString();
    };
    const QList<QString *> texts = entryTexts(w.entry);
    for (qsizetype i = 0; i < texts.size(); ++i)
        *texts[i] = text(Fields[i].name);
    const QList<QString *> numbers = resultNumbers(w);
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const int at = defn->GetFieldIndex(Fields[16 + i].name);
        if (at >= 0 && f.IsFieldSetAndNotNull(at))
            *numbers[i] = formatNumber(f.GetFieldAsDouble(at));
    }
    w.resolved = resolvedEntry(w.entry);
    w.method = text("method");
    w.status = text("status");
    w.note = text("note");
    const auto e = parseNumber(w.easting), n = parseNumber(w.northing);
    w.located = e && n;
    if (w.located)
        w.point = MapPoint{*e, *n};
    const int at = defn->GetFieldIndex("located_at");
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, tz = 0;
    float s = 0;
    if (at >= 0 && f.IsFieldSetAndNotNull(at) &&
        f.GetFieldAsDateTime(at, &y, &mo, &d, &h, &mi, &s, &tz))
        w.locatedAt = QDateTime(QDate(y, mo, d), QTime(h, mi, int(s)), Qt::UTC);
    w.storeId = f.GetFID();
    w.changed = false;
    return w;
}

void fillFeature(OGRFeature &f, const Well &well)
{
    Well w = well;
    const QList<QString *> texts = entryTexts(w.entry);
    for (qsizetype i = 0; i < texts.size(); ++i)
        f.SetField(Fields[i].name, texts[i]->toUtf8().constData());
    const QList<QString *> numbers = resultNumbers(w);
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (const auto n = parseNumber(*numbers[i]))
            f.SetField(Fields[16 + i].name, *n);
        else
            f.SetFieldNull(f.GetFieldIndex(Fields[16 + i].name));
    }
    f.SetField("method", w.method.toUtf8().constData());
    f.SetField("status", w.status.toUtf8().constData());
    f.SetField("note", w.note.toUtf8().constData());
    if (w.locatedAt.isValid()) {
        const QDateTime t = w.locatedAt.toUTC();
        f.SetField(f.GetFieldIndex("located_at"), t.date().year(), t.date().month(), t.date().day(),
                   t.time().hour(), t.time().minute(), float(t.time().second()), 100);
    }
    if (w.located) {
        OGRPoint p(w.point.X, w.point.Y);
        f.SetGeometry(&p);
    } else {
        f.SetGeometryDirectly(nullptr);
    }
}

} // namespace

QString sourceName(const QString &source)
{
    if (!isDatabaseSource(source))
        return QFileInfo(source).fileName();
    static const QRegularExpression password(u"password\\s*=\\s*('[^']*'|\\S*)"_s,
                                             QRegularExpression::CaseInsensitiveOption);
    QString shown = source;
    return shown.replace(password, u"password=***"_s);
}

bool readWells(const QString &source, QList<Well> &wells, QString *error)
{
    bool absent = false;
    error->clear();
    wells.clear();
    GDALDatasetUniquePtr ds = openSource(source, false, false, &absent, error);
    if (!ds)
        return absent;
    OGRLayer *layer = wellsLayer(*ds, source, false, 0, error);
    if (!layer)
        return error->isEmpty(); // no layer yet: no wells
    layer->ResetReading();
    for (auto &f : *layer)
        wells.append(wellOf(*f));
    return true;
}

namespace {

// Writes the changes into an open transaction; false with the reason at the first that fails.
bool writeChanges(OGRLayer &layer, const WellsModel &model, bool all, QHash<int, qint64> &storeIds,
                  QString *why)
{
    GdalErrorTrap trap;
    // Every well to a place that may hold some of them already: those with the same id are
    // rewritten, not added twice.
    QHash<QString, qint64> kept;
    if (all) {
        layer.ResetReading();
        for (auto &f : layer)
            kept.insert(QString::fromUtf8(f->GetFieldAsString("id")), f->GetFID());
    }
    for (qint64 fid : all ? QList<qint64>() : model.removedIds()) {
        const OGRErr e = layer.DeleteFeature(fid);
        if (e != OGRERR_NONE && e != OGRERR_NON_EXISTING_FEATURE) { // gone already: fine
            *why = u"a removed well cannot be deleted: "_s + trap.lastMessage();
            return false;
        }
    }
    QList<int> rows = model.changedRows();
    if (all) {
        rows.clear();
        for (int r = 0; r < model.rowCount(); ++r)
            rows.append(r);
    }
    for (int row : rows) {
        const Well &w = model.well(row);
        OGRFeatureUniquePtr f(OGRFeature::CreateFeature(layer.GetLayerDefn()));
        fillFeature(*f, w);
        OGRErr e = OGRERR_NON_EXISTING_FEATURE;
        const qint64 fid = all ? kept.value(w.entry.id, -1) : w.storeId;
        if (fid >= 0) {
            f->SetFID(fid);
            e = layer.SetFeature(f.get());
        }
        if (e == OGRERR_NON_EXISTING_FEATURE) { // new, or deleted by someone else meanwhile
            f->SetFID(OGRNullFID);
            e = layer.CreateFeature(f.get());
        }
        if (e != OGRERR_NONE) {
            *why = u"well "_s + w.entry.id + u" cannot be written: "_s + trap.lastMessage();
            return false;
        }
        storeIds.insert(row, f->GetFID());
    }
    return true;
}

} // namespace

bool keepWells(const QString &source, WellsModel &model, int zone, QString *error, KeepMode mode)
{
    // Inserts one by one, so each new well learns its feature id.
    CPLConfigOptionSetter noCopy("PG_USE_COPY", "NO", false);
    bool absent = false;
    GDALDatasetUniquePtr ds = openSource(source, true, true, &absent, error);
    if (!ds)
        return false;
    OGRLayer *layer = wellsLayer(*ds, source, true, zone, error);
    if (!layer)
        return false;
    GdalErrorTrap trap;
    if (ds->StartTransaction() != OGRERR_NONE) {
        *error = failed(source, u"cannot start a transaction: "_s + trap.lastMessage());
        return false;
    }
    // A new file holds none of them: all go there.
    const bool all = mode == KeepMode::Everything || absent;
    QHash<int, qint64> storeIds;
    QString why;
    if (!writeChanges(*layer, model, all, storeIds, &why)) {
        ds->RollbackTransaction();
        *error = failed(source, why);
        return false;
    }
    if (ds->CommitTransaction() != OGRERR_NONE) {
        *error = failed(source, u"the changes cannot be committed: "_s + trap.lastMessage());
        return false;
    }
    // Committed: kept, whatever closing the connection says.
    model.markKept(storeIds);
    return true;
}

QString exportWells(const QString &path, const QList<Well> &wells, int zone)
{
    const QStringList header = {u"id"_s,       u"description"_s, u"meridian"_s,  u"township"_s,
                                u"range"_s,    u"section"_s,     u"calls"_s,     u"easting"_s,
                                u"northing"_s, u"latitude"_s,    u"longitude"_s, u"radius_ft"_s,
                                u"method"_s,   u"status"_s,      u"note"_s,      u"located_at"_s};
    QList<FieldKind> kinds(header.size(), FieldKind::Text);
    for (qsizetype c = 7; c <= 11; ++c)
        kinds[c] = FieldKind::Real;
    kinds.last() = FieldKind::DateTime;
    QList<QStringList> rows;
    QList<std::optional<MapPoint>> points;
    for (const Well &w : wells) {
        const WellEntry &e = w.shown();
        rows.append(
            {e.id, e.description, e.meridian, e.township, e.range, e.section, callsText(e),
             w.easting, w.northing, w.latitude, w.longitude, w.radiusFeet, w.method, w.status,
             w.note,
             w.locatedAt.isValid() ? w.locatedAt.toUTC().toString(Qt::ISODate) : QString()});
        points.append(w.located ? std::optional<MapPoint>(w.point) : std::nullopt);
    }
    return writePointLayer(path, header, rows, points, zone, QString(), kinds);
}
