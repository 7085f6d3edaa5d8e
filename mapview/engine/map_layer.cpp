#include "mapview/engine/map_layer.h"

#include <QFileInfo>

MapLayer::MapLayer(const QString &file)
    : m_file(file)
    , m_name(QFileInfo(file).completeBaseName())
{}

MapLayer::~MapLayer() = default;
