#include "core/engine/image_layer.h"

#include "core/engine/gdal_session.h"
#include "core/engine/map_crs.h"
#include "core/engine/map_viewport.h"

#include <QFileInfo>
#include <QPainter>

#include <gdal_priv.h>
#include <gdalwarper.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
// Largest buffer one draw reads, per side; a device is never larger in practice.
constexpr int MaxReadSide = 16384;
} // namespace

std::shared_ptr<ImageLayer> ImageLayer::open(const QString &path, int mapZone)
{
    std::shared_ptr<ImageLayer> layer(new ImageLayer(path));
    layer->m_valid = layer->load(mapZone);
    return layer;
}

ImageLayer::ImageLayer(const QString &path)
    : MapLayer(path)
{}

ImageLayer::~ImageLayer()
{
    if (m_dataset)
        GDALClose(GDALDataset::ToHandle(m_dataset));
    if (m_source)
        GDALClose(GDALDataset::ToHandle(m_source));
}

bool ImageLayer::load(int mapZone)
{
    ensureGdalRegistered();
    GdalErrorTrap trap;
    if (!file().startsWith(u"/vsi"_s) && !QFileInfo::exists(file())) {
        m_error = u"No such file or folder"_s;
        return false;
    }
    const QByteArray path = file().toUtf8();
    m_dataset = GDALDataset::FromHandle(
        GDALOpenEx(path.constData(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!m_dataset) {
        m_error = trap.failures() ? trap.lastMessage() : u"not an image GDAL can read"_s;
        return false;
    }
    setCoordinateSystem(m_dataset->GetSpatialRef());
    if (!warpIntoMap(mapZone))
        return false;
    m_width = m_dataset->GetRasterXSize();
    m_height = m_dataset->GetRasterYSize();
    m_bands = m_dataset->GetRasterCount();
    if (m_width <= 0 || m_height <= 0 || m_bands < 1) {
        m_error = u"the image has no pixels"_s;
        return false;
    }
    if (m_dataset->GetGeoTransform(m_geoTransform) != CE_None) {
        m_error = u"the image is not georeferenced (no GeoTIFF tags or world file)"_s;
        return false;
    }
    const double *gt = m_geoTransform;
    if (gt[2] != 0.0 || gt[4] != 0.0 || gt[1] == 0.0 || gt[5] == 0.0 ||
        !std::all_of(gt, gt + 6, [](double v) { return std::isfinite(v); })) {
        m_error = u"only north-up georeferenced images are supported"_s;
        return false;
    }
    const double x0 = gt[0], x1 = gt[0] + gt[1] * m_width;
    const double y0 = gt[3], y1 = gt[3] + gt[5] * m_height;
    m_extent = MapRect(std::min(x0, x1), std::max(x0, x1), std::max(y0, y1), std::min(y0, y1));
    if (!m_extent.isFinite()) {
        m_error = u"the image's georeferencing is out of range"_s;
        return false;
    }
    // A small decimated read touches the file from end to end (or its smallest overview), so a
    // truncated or corrupt image is found now rather than at every redraw.
    trap.reset();
    const QImage probe = readWindow(m_extent, QSize(std::min(m_width, 64), std::min(m_height, 64)));
    if (probe.isNull() || trap.failures()) {
        m_error = trap.failures() ? trap.lastMessage() : u"the image cannot be read"_s;
        return false;
    }
    return true;
}

namespace {

// The bytes of one read, band after band, as a picture: three bands are red, green and blue,
// one band goes through its palette (grey without one, its no-data value transparent), a
// fourth band is alpha.
QImage toImage(const std::vector<GByte> &data, int bw, int bh, int bandsToRead, bool hasAlpha,
               GDALRasterBand &first)
{
    const std::size_t plane = std::size_t(bw) * std::size_t(bh);
    QImage image(bw, bh, QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    int hasNoData = 0;
    const double noData = first.GetNoDataValue(&hasNoData);
    const GDALColorTable *palette =
        bandsToRead == 1 && first.GetColorInterpretation() == GCI_PaletteIndex
            ? first.GetColorTable()
            : nullptr;
    QRgb lut[256];
    for (int i = 0; i < 256; ++i) {
        if (palette && i < palette->GetColorEntryCount()) {
            const GDALColorEntry *e = palette->GetColorEntry(i);
            lut[i] = qRgba(e->c1, e->c2, e->c3, e->c4);
        } else {
            lut[i] = qRgb(i, i, i);
        }
    }
    if (hasNoData && noData >= 0 && noData <= 255 && bandsToRead == 1)
        lut[int(noData)] = qRgba(0, 0, 0, 0);

    for (int y = 0; y < bh; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const std::size_t row = std::size_t(y) * std::size_t(bw);
        for (int x = 0; x < bw; ++x) {
            const std::size_t i = row + std::size_t(x);
            QRgb c = bandsToRead == 3 ? qRgb(data[i], data[plane + i], data[2 * plane + i])
                                      : lut[data[i]];
            if (hasAlpha)
                c = qRgba(qRed(c), qGreen(c), qBlue(c), data[3 * plane + i]);
            line[x] = c;
        }
    }
    return image;
}

} // namespace

QImage ImageLayer::readWindow(const MapRect &window, const QSize &size) const
{
    if (!m_dataset || size.isEmpty() || size.width() > MaxReadSide || size.height() > MaxReadSide)
        return {};
    const double *gt = m_geoTransform;
    // Pixel window, clamped to the image.
    double px0 = (window.left() - gt[0]) / gt[1];
    double px1 = (window.right() - gt[0]) / gt[1];
    double py0 = (window.top() - gt[3]) / gt[5];
    double py1 = (window.bottom() - gt[3]) / gt[5];
    if (px0 > px1)
        std::swap(px0, px1);
    if (py0 > py1)
        std::swap(py0, py1);
    const int x0 = std::clamp(int(std::floor(px0)), 0, m_width);
    const int x1 = std::clamp(int(std::ceil(px1)), 0, m_width);
    const int y0 = std::clamp(int(std::floor(py0)), 0, m_height);
    const int y1 = std::clamp(int(std::ceil(py1)), 0, m_height);
    if (x1 <= x0 || y1 <= y0)
        return {};

    const int bw = size.width(), bh = size.height();
    const std::size_t plane = std::size_t(bw) * std::size_t(bh);
    GdalErrorTrap trap;
    GDALRasterIOExtraArg extra;
    INIT_RASTERIO_EXTRA_ARG(extra);
    extra.eResampleAlg = GRIORA_NearestNeighbour;

    const int bandsToRead = m_bands >= 3 ? 3 : 1;
    std::vector<GByte> data(plane * std::size_t(bandsToRead + (m_bands >= 4 ? 1 : 0)));
    for (int b = 0; b < bandsToRead; ++b) {
        GDALRasterBand *band = m_dataset->GetRasterBand(b + 1);
        if (!band || band->RasterIO(GF_Read, x0, y0, x1 - x0, y1 - y0, data.data() + plane * b, bw,
                                    bh, GDT_Byte, 0, 0, &extra) != CE_None)
            return {};
    }
    const bool hasAlpha = m_bands >= 4;
    if (hasAlpha) {
        GDALRasterBand *band = m_dataset->GetRasterBand(4);
        if (band->RasterIO(GF_Read, x0, y0, x1 - x0, y1 - y0, data.data() + plane * 3, bw, bh,
                           GDT_Byte, 0, 0, &extra) != CE_None)
            return {};
    }
    if (trap.failures())
        return {};

    return toImage(data, bw, bh, bandsToRead, hasAlpha, *m_dataset->GetRasterBand(1));
}

void ImageLayer::draw(QPainter &painter, const MapViewport &viewport) const
{
    if (!m_valid || !viewport.isValid())
        return;
    const MapRect &view = viewport.extent();
    if (!view.intersects(m_extent))
        return;
    // The part of the image inside the view, snapped outwards to whole image pixels so that
    // the read and the place it is drawn agree exactly.
    const double *gt = m_geoTransform;
    const double pw = std::fabs(gt[1]), ph = std::fabs(gt[5]);
    auto snapDown = [](double v, double origin, double step) {
        return origin + std::floor((v - origin) / step) * step;
    };
    auto snapUp = [](double v, double origin, double step) {
        return origin + std::ceil((v - origin) / step) * step;
    };
    const double left = std::max(m_extent.left(), snapDown(view.left(), m_extent.left(), pw));
    const double right = std::min(m_extent.right(), snapUp(view.right(), m_extent.left(), pw));
    const double top = std::min(m_extent.top(), snapUp(view.top(), m_extent.bottom(), ph));
    const double bottom =
        std::max(m_extent.bottom(), snapDown(view.bottom(), m_extent.bottom(), ph));
    if (right <= left || top <= bottom)
        return;
    const QPointF topLeft = viewport.toDevice({left, top});
    const QPointF bottomRight = viewport.toDevice({right, bottom});
    const QRectF target(topLeft, bottomRight);
    // As many pixels as the device shows (more on a printer), never more than the file has in
    // the window.
    const double cols = (right - left) / pw, rows = (top - bottom) / ph;
    const double density = viewport.imageDensity();
    const int bw =
        std::clamp(int(std::ceil(std::min(target.width() * density, cols))), 1, MaxReadSide);
    const int bh =
        std::clamp(int(std::ceil(std::min(target.height() * density, rows))), 1, MaxReadSide);
    const QImage image = readWindow(MapRect(left, right, top, bottom), QSize(bw, bh));
    if (image.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, image);
    painter.restore();
}

bool ImageLayer::warpIntoMap(int mapZone)
{
    const OGRSpatialReference *srs = m_dataset->GetSpatialRef();
    double gt[6];
    double extent[4] = {0, 0, 0, 0};
    if (m_dataset->GetGeoTransform(gt) == CE_None) {
        const double x1 = gt[0] + gt[1] * m_dataset->GetRasterXSize();
        const double y1 = gt[3] + gt[5] * m_dataset->GetRasterYSize();
        extent[0] = std::min(gt[0], x1), extent[2] = std::max(gt[0], x1);
        extent[1] = std::min(gt[3], y1), extent[3] = std::max(gt[3], y1);
    }
    const MapTransform toMap = placeInMap(srs, extent, mapZone, m_error);
    if (!toMap.error.isEmpty())
        return false;
    if (!toMap.transform)
        return true; // in the map's system already, or declaring none
    // Shown through a warped view into the map's zone; the file stays open under it.
    char *target = nullptr;
    nad83UtmSystem(*toMap.zone)->exportToWkt(&target);
    GDALDatasetH warped = GDALAutoCreateWarpedVRT(GDALDataset::ToHandle(m_dataset), nullptr, target,
                                                  GRA_Bilinear, 0.125, nullptr);
    CPLFree(target);
    if (!warped) {
        m_error = u"the image cannot be reprojected into "_s + utmZoneName(*toMap.zone);
        return false;
    }
    m_source = m_dataset;
    m_dataset = GDALDataset::FromHandle(warped);
    return true;
}
