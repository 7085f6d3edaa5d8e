#pragma once

#include "core/engine/map_layer.h"

#include <QImage>

#include <memory>

class GDALDataset;

// A georeferenced image (GeoTIFF tags or a world file; any format the installed GDAL reads).
// Nothing is held in memory but the open file: each draw reads the visible window at the
// device's resolution, through the file's overviews where it has them.
class ImageLayer final : public MapLayer
{
public:
    // An image in another system than NAD83 UTM `mapZone` is shown through GDAL's warped VRT
    // into it (0: the map has no zone yet, and the image keeps its own or takes that of its
    // centre).
    static std::shared_ptr<ImageLayer> open(const QString &path, int mapZone = 0);
    ~ImageLayer() override;

    LayerType layerType() const override { return LayerType::Image; }
    bool isValid() const override { return m_valid; }
    MapRect extent() const override { return m_extent; }
    void draw(QPainter &painter, const MapViewport &viewport) const override;
    QString errorText() const { return m_error; }

    // The image pixels covering `window` (map units) at `size` device pixels; null when the
    // window misses the image or the file cannot be read.
    QImage readWindow(const MapRect &window, const QSize &size) const;

private:
    explicit ImageLayer(const QString &path);
    bool load(int mapZone);
    // Puts a warped view into the map's zone in place of the file when it is in another system.
    bool warpIntoMap(int mapZone);

    bool m_valid = false;
    QString m_error;
    MapRect m_extent = MapRect::null();
    double m_geoTransform[6] = {0, 1, 0, 0, 0, -1};
    int m_width = 0;
    int m_height = 0;
    int m_bands = 0;
    GDALDataset *m_dataset = nullptr; // owned: the file, or the warped view of it
    GDALDataset *m_source = nullptr;  // owned: the file under a warped view
};
