// Engine benchmarks on a generated theme of 101,124 sections (53 x 53 townships), next to
// GDAL's own route to the same answers. Run through bench/run.sh, which records the figures.
#include "core/common/message_service.h"
#include "core/coords/gps_conversion.h"
#include "core/engine/map_renderer.h"
#include "core/engine/vector_layer.h"
#include "core/plss/description_reader.h"
#include "core/plss/plss_query.h"
#include "core/plss/plss_schema.h"
#include "core/plss/reverse_location.h"
#include "core/wells/well_import.h"
#include "gui/calculators/wells_panel.h"
#include "gui/map/map.h"
#include "gui/map/map_overlays.h"
#include "tests/fixtures/fixtures.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <proj.h>

#include <algorithm>
#include <functional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int TownshipsPerSide = 53;

fixtures::SectionGrid benchGrid()
{
    fixtures::SectionGrid g;
    g.townshipsEast = g.townshipsNorth = TownshipsPerSide;
    g.originX = 200000.0;
    g.originY = 3500000.0;
    g.firstTownship = 1;
    g.firstRange = 1;
    return g;
}

QString dataDir()
{
    const QString dir =
        qEnvironmentVariable("TW_BENCH_DATA", QDir::temp().filePath(u"tractwise-bench"_s));
    QDir().mkpath(dir);
    return dir;
}

// The theme, written once and kept between runs.
QString themePath()
{
    const QString path = dataDir() + u"/sections100k.shp"_s;
    if (!QFile::exists(path)) {
        const QString error = fixtures::writeSectionGrid(path, benchGrid());
        if (!error.isEmpty())
            qFatal("%s", qPrintable(error));
    }
    return path;
}

// The whole country's count of sections (about 2.5 million): 264 x 264 townships of layout 1 in
// NAD83 UTM, written once like the state-sized theme.
constexpr int CountryTownshipsPerSide = 264;
QString countryThemePath()
{
    const QString path = dataDir() + u"/country2500k.shp"_s;
    if (!QFile::exists(path)) {
        fixtures::SectionGrid g = benchGrid();
        g.townshipsEast = g.townshipsNorth = CountryTownshipsPerSide;
        const QString error = fixtures::writeSectionGrid(path, g);
        if (!error.isEmpty())
            qFatal("%s", qPrintable(error));
    }
    return path;
}

// A copy with a .qix spatial index, for OGR's fastest point search.
QString themeWithQixPath()
{
    const QString base = dataDir() + u"/sections100k_qix"_s;
    if (!QFile::exists(base + u".qix"_s)) {
        for (const char *ext : {".shp", ".shx", ".dbf", ".prj"}) {
            QFile::remove(base + QLatin1String(ext));
            QFile::copy(themePath().chopped(4) + QLatin1String(ext), base + QLatin1String(ext));
        }
        GDALDatasetUniquePtr ds(GDALDataset::Open((base + u".shp"_s).toUtf8().constData(),
                                                  GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        ds->ExecuteSQL("CREATE SPATIAL INDEX ON sections100k_qix", nullptr, nullptr);
    }
    return base + u".shp"_s;
}

// The same sections as the BLM publishes a state: a File Geodatabase in geographic NAD83, in the
// national schema (the township in PLSSID, the section in FRSTDIVNO as text).
QString blmThemePath()
{
    const QString path = dataDir() + u"/sections100k_blm.gdb"_s;
    if (!QFileInfo::exists(path)) {
        const QString error = fixtures::translateVector(
            themePath(), path, u"OpenFileGDB"_s, 4269, u"PLSSFirstDivision"_s,
            u"SELECT geometry, 'CO06' || printf('%03d0', township) || base_side || "
            u"printf('%03d0', \"range\") || meridian_s || '0' AS PLSSID, "
            u"printf('%d', section) AS FRSTDIVNO, 'SN' AS FRSTDIVTYP FROM sections100k"_s);
        if (!error.isEmpty())
            qFatal("%s", qPrintable(error));
    }
    return path;
}

std::shared_ptr<VectorLayer> &blmTheme()
{
    static std::shared_ptr<VectorLayer> layer = [] {
        auto l = VectorLayer::open(blmThemePath());
        if (!prepareNamedPlssFields(*l))
            qFatal("the BLM-schema theme is not a section theme");
        return l;
    }();
    return layer;
}

std::shared_ptr<VectorLayer> &theme()
{
    static std::shared_ptr<VectorLayer> layer = VectorLayer::open(themePath());
    return layer;
}

// Random descriptions that exist in the theme.
SectionEntries randomEntries(QRandomGenerator &random)
{
    return {QString::number(1 + random.bounded(36)),
            QString::number(1 + random.bounded(TownshipsPerSide)) + u"N"_s,
            QString::number(1 + random.bounded(TownshipsPerSide)) + u"W"_s, u"6"_s};
}

MapPoint randomPoint(QRandomGenerator &random)
{
    const double side = TownshipsPerSide * 6 * 1609.344;
    return {200000.0 + random.generateDouble() * side, 3500000.0 + random.generateDouble() * side};
}

void BM_ThemeLoad(benchmark::State &state)
{
    const QString path = themePath();
    for (auto _ : state) {
        auto layer = VectorLayer::open(path);
        benchmark::DoNotOptimize(layer->featureCount());
    }
}
BENCHMARK(BM_ThemeLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SectionLookup(benchmark::State &state)
{
    auto layer = theme();
    QRandomGenerator random(1);
    RecordingMessageService messages;
    layer->searchExpression(u"section = 1 and township = 1"_s); // hash indexes built here
    for (auto _ : state) {
        auto poly = findSectionPolygon(*layer, randomEntries(random), messages);
        benchmark::DoNotOptimize(poly);
    }
    if (!messages.messages().isEmpty())
        state.SkipWithError("a lookup failed");
}
BENCHMARK(BM_SectionLookup)->Unit(benchmark::kMicrosecond);

// Opening the state-sized geodatabase: read, reprojected into NAD83 UTM and PLSSID decoded.
void BM_BlmThemeLoad(benchmark::State &state)
{
    const QString path = blmThemePath();
    for (auto _ : state) {
        auto layer = VectorLayer::open(path);
        benchmark::DoNotOptimize(prepareNamedPlssFields(*layer));
    }
}
BENCHMARK(BM_BlmThemeLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BlmSectionLookup(benchmark::State &state)
{
    auto layer = blmTheme();
    QRandomGenerator random(1);
    RecordingMessageService messages;
    (void)findSectionPolygon(*layer, randomEntries(random), messages); // indexes built here
    for (auto _ : state) {
        auto poly = findSectionPolygon(*layer, randomEntries(random), messages);
        benchmark::DoNotOptimize(poly);
    }
    if (!messages.messages().isEmpty())
        state.SkipWithError("a lookup failed");
}
BENCHMARK(BM_BlmSectionLookup)->Unit(benchmark::kMicrosecond);

void BM_OgrAttributeFilter(benchmark::State &state)
{
    GDALDatasetUniquePtr ds(GDALDataset::Open(themePath().toUtf8().constData(), GDAL_OF_VECTOR));
    OGRLayer *layer = ds->GetLayer(0);
    QRandomGenerator random(1);
    for (auto _ : state) {
        const SectionEntries e = randomEntries(random);
        QString error;
        const auto d = parseSectionEntries(e, &error);
        layer->SetAttributeFilter(buildSectionExpressions(*d)[0].toUtf8().constData());
        layer->ResetReading();
        OGRFeatureUniquePtr f(layer->GetNextFeature());
        benchmark::DoNotOptimize(f.get());
    }
}
BENCHMARK(BM_OgrAttributeFilter)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PointInPolygon(benchmark::State &state)
{
    auto layer = theme();
    QRandomGenerator random(2);
    for (auto _ : state) {
        const RecordSet hits = layer->searchShape(randomPoint(random));
        benchmark::DoNotOptimize(hits.count());
    }
}
BENCHMARK(BM_PointInPolygon)->Unit(benchmark::kMicrosecond);

void ogrPointSearch(benchmark::State &state, const QString &path)
{
    GDALDatasetUniquePtr ds(GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_VECTOR));
    OGRLayer *layer = ds->GetLayer(0);
    QRandomGenerator random(2);
    for (auto _ : state) {
        const MapPoint p = randomPoint(random);
        OGRPoint point(p.X, p.Y);
        layer->SetSpatialFilter(&point);
        layer->ResetReading();
        int found = 0;
        while (OGRFeatureUniquePtr f{layer->GetNextFeature()}) {
            if (f->GetGeometryRef()->Contains(&point))
                ++found;
        }
        benchmark::DoNotOptimize(found);
    }
}
void BM_OgrPointSearch(benchmark::State &state)
{
    ogrPointSearch(state, themePath());
}
BENCHMARK(BM_OgrPointSearch)->Unit(benchmark::kMicrosecond)->Iterations(50);
void BM_OgrPointSearchQix(benchmark::State &state)
{
    ogrPointSearch(state, themeWithQixPath());
}
BENCHMARK(BM_OgrPointSearchQix)->Unit(benchmark::kMicrosecond);

// The layer (by default the theme as a section theme is drawn: hollow, green, width 2) drawn
// into 1200 x 900 at the extent.
void renderAt(benchmark::State &state, const MapRect &extent,
              std::shared_ptr<VectorLayer> layer = nullptr)
{
    if (!layer) {
        layer = theme();
        recognisePlssSectionTheme(*layer);
    }
    QImage image(1200, 900, QImage::Format_ARGB32_Premultiplied);
    const MapViewport viewport(extent, QSizeF(1200, 900));
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        renderMap(painter, viewport, {layer});
    }
}
void BM_RenderFullExtent(benchmark::State &state)
{
    renderAt(state, theme()->extent());
}
BENCHMARK(BM_RenderFullExtent)->Unit(benchmark::kMillisecond);
void BM_RenderOneTownship(benchmark::State &state)
{
    const double side = 6 * 1609.344;
    const double x = 200000.0 + 26 * side, y = 3500000.0 + 26 * side;
    renderAt(state, MapRect(x, x + side, y + side, y));
}
BENCHMARK(BM_RenderOneTownship)->Unit(benchmark::kMillisecond);

// The map window's redraw as a user sees it: the widget re-rendering its back buffer after a
// zoom to one township and after a pan of a quarter of the view.
void BM_MapWidgetZoomToTownship(benchmark::State &state)
{
    ThemeList themes;
    Map map;
    map.setThemes(&themes);
    map.resize(1200, 900);
    themes.addLayer(theme());
    const double side = 6 * 1609.344;
    const double x = 200000.0 + 26 * side, y = 3500000.0 + 26 * side;
    int i = 0;
    for (auto _ : state) {
        const double shift = (i++ % 2) * side;
        map.setExtent(MapRect(x + shift, x + shift + side, y + side, y));
        benchmark::DoNotOptimize(map.grabMap());
    }
}
BENCHMARK(BM_MapWidgetZoomToTownship)->Unit(benchmark::kMillisecond);

void BM_MapWidgetPanAtTownshipScale(benchmark::State &state)
{
    ThemeList themes;
    Map map;
    map.setThemes(&themes);
    map.resize(1200, 900);
    themes.addLayer(theme());
    const double side = 6 * 1609.344;
    const double y = 3500000.0 + 26 * side;
    int i = 0;
    for (auto _ : state) {
        // Quarter-township steps back and forth across the middle of the theme.
        const double x = 200000.0 + 20 * side + (i++ % 40) * side / 4;
        map.setExtent(MapRect(x, x + side, y + side, y));
        benchmark::DoNotOptimize(map.grabMap());
    }
}
BENCHMARK(BM_MapWidgetPanAtTownshipScale)->Unit(benchmark::kMillisecond);

void BM_GeographicToUtm(benchmark::State &state)
{
    double lat = 31.0, lon = -108.0, e = 0, n = 0;
    for (auto _ : state) {
        geographicToUtm(lat, lon, 13, e, n);
        benchmark::DoNotOptimize(e);
        benchmark::DoNotOptimize(n);
        lat += 1e-6;
    }
}
BENCHMARK(BM_GeographicToUtm)->Unit(benchmark::kNanosecond);

void BM_ProjPerPoint(benchmark::State &state)
{
    PJ_CONTEXT *ctx = proj_context_create();
    PJ *raw = proj_create_crs_to_crs(ctx, "EPSG:4269", "EPSG:26913", nullptr);
    PJ *pj = proj_normalize_for_visualization(ctx, raw);
    double lat = 31.0;
    for (auto _ : state) {
        PJ_COORD c = proj_trans(pj, PJ_FWD, proj_coord(-108.0, lat, 0, 0));
        benchmark::DoNotOptimize(c);
        lat += 1e-6;
    }
    proj_destroy(pj);
    proj_destroy(raw);
    proj_context_destroy(ctx);
}
BENCHMARK(BM_ProjPerPoint)->Unit(benchmark::kNanosecond);

// Five thousand permits across the theme, as pasted into the Wells panel: quarter calls of a
// random section of the 53 x 53 townships.
QString permitText()
{
    QRandomGenerator random(7);
    static const char *quarters[] = {"NE", "NW", "SE", "SW"};
    QStringList lines;
    for (int i = 1; i <= 5000; ++i) {
        const SectionEntries e = randomEntries(random);
        lines << u"P-%1\t%2 %3 sec. %4, T%5, R%6, 6th PM"_s.arg(i).arg(
            QLatin1String(quarters[random.bounded(4)]), QLatin1String(quarters[random.bounded(4)]),
            e.section, e.township, e.range);
    }
    return lines.join(u'\n');
}

// The Wells panel's import of 5,000 pasted permits: read, then located on every core.
void BM_WellsImportLocate5000(benchmark::State &state)
{
    const QString text = permitText();
    auto layer = theme();
    const WellsModel::Locator locator = [layer](const WellEntry &e) {
        return locateEntry(*layer, e, {});
    };
    qsizetype located = 0;
    for (auto _ : state) {
        const WellImport read = readWellsText(text, {});
        const auto wells = locateWells(read.entries, locator);
        located =
            std::count_if(wells->begin(), wells->end(), [](const Well &w) { return w.located; });
    }
    state.counters["located"] = double(located);
}
BENCHMARK(BM_WellsImportLocate5000)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same through the Wells panel as a user pastes them: read, located with the progress
// dialog, appended to the table, its columns fitted.
void BM_WellsPanelPaste5000(benchmark::State &state)
{
    const QString text = permitText();
    auto layer = theme();
    for (auto _ : state) {
        WellsModel model;
        WellsPanel panel;
        panel.setModel(&model);
        panel.setLocatorSource([layer] {
            return WellsModel::Locator(
                [layer](const WellEntry &e) { return locateEntry(*layer, e, {}); });
        });
        panel.importText(text);
        if (model.rowCount() != 5000)
            state.SkipWithError("not all rows were added");
    }
}
BENCHMARK(BM_WellsPanelPaste5000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The full redraw of the theme with 5,000 wells marked and labelled over it (beside
// BM_RenderFullExtent, the same without them), and the wells alone.
WellsModel &fiveThousandWells()
{
    static WellsModel model;
    if (model.rowCount() == 0) {
        auto layer = theme();
        const auto wells =
            locateWells(readWellsText(permitText(), {}).entries,
                        [layer](const WellEntry &e) { return locateEntry(*layer, e, {}); });
        model.appendWells(*wells);
    }
    return model;
}
void renderWithWells(benchmark::State &state, const MapRect &extent, bool sections)
{
    auto layer = theme();
    recognisePlssSectionTheme(*layer);
    WellsOverlay overlay(&fiveThousandWells());
    QImage image(1200, 900, QImage::Format_ARGB32_Premultiplied);
    const MapViewport viewport(extent, QSizeF(1200, 900));
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        if (sections)
            renderMap(painter, viewport, {layer});
        overlay.paint(painter, viewport);
    }
}
void BM_RenderFullExtentWithWells(benchmark::State &state)
{
    renderWithWells(state, theme()->extent(), true);
}
BENCHMARK(BM_RenderFullExtentWithWells)->Unit(benchmark::kMillisecond);
void BM_WellsOnlyFullExtent(benchmark::State &state)
{
    renderWithWells(state, theme()->extent(), false);
}
BENCHMARK(BM_WellsOnlyFullExtent)->Unit(benchmark::kMillisecond);

// Section numbers and township labels: at full extent none fit (nothing is asked of the
// labels), at one township the 36 numbers, at a tenth of the state the township labels.
void renderLabelled(benchmark::State &state, const MapRect &extent)
{
    static std::shared_ptr<VectorLayer> labelled = [] {
        auto l = VectorLayer::open(themePath());
        recognisePlssSectionTheme(*l);
        l->setLabelSource(sectionLabels, 6);
        return l;
    }();
    renderAt(state, extent, labelled);
}
void BM_RenderFullExtentLabelled(benchmark::State &state)
{
    renderLabelled(state, theme()->extent());
}
BENCHMARK(BM_RenderFullExtentLabelled)->Unit(benchmark::kMillisecond);
void BM_RenderOneTownshipLabelled(benchmark::State &state)
{
    const double side = 6 * 1609.344;
    const double x = 200000.0 + 26 * side, y = 3500000.0 + 26 * side;
    renderLabelled(state, MapRect(x, x + side, y + side, y));
}
BENCHMARK(BM_RenderOneTownshipLabelled)->Unit(benchmark::kMillisecond);
void BM_RenderTownshipLabels(benchmark::State &state)
{
    const double side = 6 * 1609.344;
    const double x = 200000.0 + 20 * side, y = 3500000.0 + 20 * side;
    renderLabelled(state, MapRect(x, x + 8 * side, y + 6 * side, y));
}
BENCHMARK(BM_RenderTownshipLabels)->Unit(benchmark::kMillisecond);

// One legal description read, in the three forms bench/run.sh writes for batch parse.
void BM_ReadLegalDescription(benchmark::State &state)
{
    static const QString forms[] = {u"NW/4 SE/4 Sec. 12, T17N, R33W, 6th P.M."_s,
                                    u"1980' FNL & 660' FEL, Sec. 12, T. 17 N., R. 33 W."_s,
                                    u"NWSE 12-17N-33W"_s};
    const QString &text = forms[state.range(0)];
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(readLegalDescription(text, &error));
}
BENCHMARK(BM_ReadLegalDescription)->Unit(benchmark::kMicrosecond)->DenseRange(0, 2);

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    GDALAllRegister();
    // "--peak-memory": load the theme, draw it once at full extent, report the peak RSS.
    if (argc > 1 && QByteArray(argv[1]) == "--peak-memory") {
        auto layer = VectorLayer::open(themePath());
        layer->searchExpression(u"section = 1 and township = 1 and range = 1"_s);
        QImage image(1200, 900, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        renderMap(painter, MapViewport(layer->extent(), QSizeF(1200, 900)), {layer});
        painter.end();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("features %d, peak RSS %.1f MiB\n", layer->featureCount(),
                    double(usage.ru_maxrss) / 1024.0);
        return 0;
    }
    // "--country [SOURCE]": the country-sized theme (or the same sections in another source, such
    // as a geographic geodatabase in the BLM's schema) opened, drawn at full extent and at one
    // township, and searched, each timed once in this process (loading it takes seconds, too long
    // to repeat in the benchmark loop), with the peak RSS.
    if (argc > 1 && QByteArray(argv[1]) == "--country") {
        const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2]) : countryThemePath();
        QElapsedTimer timer;
        timer.start();
        auto layer = VectorLayer::open(path);
        const double readSeconds = double(timer.nsecsElapsed()) / 1e9;
        prepareNamedPlssFields(*layer); // decodes PLSSID in the BLM's schema
        const double openSeconds = double(timer.nsecsElapsed()) / 1e9;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const double openRss = double(usage.ru_maxrss) / 1024.0;
        QImage image(1200, 900, QImage::Format_ARGB32_Premultiplied);
        const auto drawSeconds = [&](const MapRect &extent) {
            image.fill(Qt::white);
            QPainter painter(&image);
            QElapsedTimer t;
            t.start();
            renderMap(painter, MapViewport(extent, QSizeF(1200, 900)), {layer});
            return double(t.nsecsElapsed()) / 1e9;
        };
        const double fullFirst = drawSeconds(layer->extent());
        const double full = drawSeconds(layer->extent());
        const double side = 6 * 1609.344;
        const MapRect township(200000.0 + 100 * side, 200000.0 + 101 * side, 3500000.0 + 101 * side,
                               3500000.0 + 100 * side);
        const double oneTownship = drawSeconds(township);
        QRandomGenerator random(1);
        RecordingMessageService messages;
        const auto entries = [&] {
            return SectionEntries{
                QString::number(1 + random.bounded(36)),
                QString::number(1 + random.bounded(CountryTownshipsPerSide)) + u"N"_s,
                QString::number(1 + random.bounded(CountryTownshipsPerSide)) + u"W"_s, u"6"_s};
        };
        timer.restart();
        (void)findSectionPolygon(*layer, entries(), messages); // builds the indexes
        const double firstLookup = double(timer.nsecsElapsed()) / 1e9;
        constexpr int Lookups = 10000;
        timer.restart();
        for (int i = 0; i < Lookups; ++i)
            benchmark::DoNotOptimize(findSectionPolygon(*layer, entries(), messages));
        const double lookupUs = double(timer.nsecsElapsed()) / 1e3 / Lookups;
        getrusage(RUSAGE_SELF, &usage);
        std::printf("country: %d features; open %.2f s (read %.2f s, fields %.2f s), RSS after "
                    "open %.0f MiB; full-extent "
                    "render 1200 x 900 %.0f ms (first %.0f ms); one-township render %.2f ms; "
                    "first lookup (indexes built) %.2f s; lookup %.1f us (%s); peak RSS %.0f "
                    "MiB\n",
                    layer->featureCount(), openSeconds, readSeconds, openSeconds - readSeconds,
                    openRss, full * 1e3, fullFirst * 1e3, oneTownship * 1e3, firstLookup, lookupUs,
                    messages.messages().isEmpty() ? "all found" : "SOME FAILED",
                    double(usage.ru_maxrss) / 1024.0);
        return 0;
    }
    // "--vector-state": which step of loading and searching the themes leaves the upper halves
    // of the vector registers in use (what slows the SSE code run after it on Intel cores).
    if (argc > 1 && QByteArray(argv[1]) == "--vector-state") {
        if (!fixtures::upperVectorStateDirty()) {
            std::printf("this processor cannot say whether the upper vector state is in use\n");
            return 0;
        }
        const auto step = [](const char *name, const std::function<void()> &run) {
            __asm__ volatile("vzeroupper");
            run();
            std::printf("%-52s %s\n", name,
                        *fixtures::upperVectorStateDirty() ? "left in use" : "clean");
        };
        std::shared_ptr<VectorLayer> layer;
        step("open the UTM shapefile", [&] { layer = VectorLayer::open(themePath()); });
        step("search it",
             [&] { layer->searchExpression(u"section = 1 and township = '1' and range = '1'"_s); });
        step("open the geographic geodatabase, reprojecting",
             [&] { layer = VectorLayer::open(blmThemePath()); });
        step("decode its PLSSID", [&] { prepareNamedPlssFields(*layer); });
        step("QImage::fill (Qt's raster engine, no map code)", [] {
            QImage image(1200, 900, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
        });
        step("draw it (renderMap)", [&] {
            QImage image(1200, 900, QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&image);
            renderMap(painter, MapViewport(layer->extent(), QSizeF(1200, 900)), {layer});
        });
        step("GeographicToUtm", [] {
            double e = 0, n = 0;
            geographicToUtm(40.0, -105.0, 13, e, n);
        });
        return 0;
    }
    if (argc > 1 && QByteArray(argv[1]) == "--theme-path") {
        std::printf("%s\n", qPrintable(themePath()));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
