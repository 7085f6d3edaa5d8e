// Shapefile triplets, GeoJSON, zipped shapefiles and image files opened through the engine
// (reprojected into NAD83 UTM when they declare another system), searched and drawn at two
// extents. The first byte chooses the kind: odd an image, 0 a shapefile, 2 GeoJSON, 6 a zip; a
// shapefile's input holds the .shp and .shx sizes (two bytes each, little-endian) before the
// three files' contents.
#include "core/engine/image_layer.h"
#include "core/engine/map_renderer.h"
#include "core/engine/map_viewport.h"
#include "core/engine/vector_layer.h"
#include "core/plss/plss_query.h"
#include "fuzz/fuzz_support.h"

#include <QFile>
#include <QImage>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace {

void draw(const std::shared_ptr<MapLayer> &layer)
{
    QImage image(160, 120, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const MapRect full = layer->extent();
    renderMap(painter, MapViewport(full, image.size()), {layer});
    if (!full.isNull()) {
        MapRect part = full;
        part.scaleRectangle(0.1);
        renderMap(painter, MapViewport(part, image.size()), {layer});
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QString dir = fuzzsupport::workDir();
    const QByteArray input = fuzzsupport::bytes(data + 1, size - 1);
    if ((data[0] & 3) == 2) {
        const QString path = dir + ((data[0] & 4) ? u"/f.zip"_s : u"/f.geojson"_s);
        fuzzsupport::writeFile(path, input);
        const auto layer = VectorLayer::open(path);
        if (!layer->isValid())
            return 0;
        (void)isPlssSectionTheme(*layer);
        (void)layer->searchExpression(u"section = 1"_s);
        draw(layer);
    } else if ((data[0] & 1) == 0) {
        if (input.size() < 4)
            return 0;
        const auto u16 = [&](int at) {
            return int(uchar(input[at])) | int(uchar(input[at + 1])) << 8;
        };
        const qsizetype shpSize = std::min<qsizetype>(u16(0), input.size() - 4);
        const qsizetype shxSize = std::min<qsizetype>(u16(2), input.size() - 4 - shpSize);
        fuzzsupport::writeFile(dir + u"/f.shp"_s, input.mid(4, shpSize));
        fuzzsupport::writeFile(dir + u"/f.shx"_s, input.mid(4 + shpSize, shxSize));
        fuzzsupport::writeFile(dir + u"/f.dbf"_s, input.mid(4 + shpSize + shxSize));
        const auto layer = VectorLayer::open(dir + u"/f.shp"_s);
        if (!layer->isValid())
            return 0;
        (void)isPlssSectionTheme(*layer);
        RecordSet all = layer->records();
        for (all.moveFirst(); !all.atEnd(); all.moveNext()) {
            (void)all.shape();
            for (const FieldInfo &field : all.fields())
                (void)all.value(field.name);
        }
        const MapPoint centre =
            layer->extent().isNull() ? MapPoint{0, 0} : layer->extent().center();
        (void)layer->searchShape(centre);
        (void)layer->searchByDistance(centre, 100);
        (void)layer->searchExpression(u"section = 1 AND township = 12"_s);
        draw(layer);
    } else {
        static const QString names[] = {u"/f.tif"_s, u"/f.jpg"_s, u"/f.bmp"_s, u"/f.png"_s};
        const QString path = dir + names[(data[0] >> 1) & 3];
        fuzzsupport::writeFile(path, input);
        // A world file for the formats that need one.
        fuzzsupport::writeFile(path.chopped(4) + (path.endsWith(u".jpg"_s) ? u".jgw"_s : u".wld"_s),
                               "10\n0\n0\n-10\n500000\n4400000\n");
        const auto layer = ImageLayer::open(path);
        if (layer->isValid())
            draw(layer);
    }
    return 0;
}
