#include "core/engine/spatial_index.h"

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>

#include <cmath>

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

using BPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using BBox = bg::model::box<BPoint>;
using Value = std::pair<BBox, int>;

struct SpatialIndex::Tree
{
    // Built in one go from a range, which makes Boost pack the tree (STR bulk loading).
    bgi::rtree<Value, bgi::quadratic<16>> rtree;
};

SpatialIndex::SpatialIndex() = default;
SpatialIndex::~SpatialIndex() = default;
SpatialIndex::SpatialIndex(SpatialIndex &&) noexcept = default;
SpatialIndex &SpatialIndex::operator=(SpatialIndex &&) noexcept = default;

void SpatialIndex::build(const std::vector<Box> &boxes)
{
    std::vector<Value> values;
    values.reserve(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box &b = boxes[i];
        if (!std::isfinite(b.minX) || !std::isfinite(b.minY) || !std::isfinite(b.maxX) ||
            !std::isfinite(b.maxY) || b.minX > b.maxX || b.minY > b.maxY)
            continue;
        values.emplace_back(BBox(BPoint(b.minX, b.minY), BPoint(b.maxX, b.maxY)), int(i));
    }
    m_tree = std::make_unique<Tree>(Tree{bgi::rtree<Value, bgi::quadratic<16>>(values)});
}

void SpatialIndex::query(const Box &w, std::vector<int> &out) const
{
    if (!m_tree)
        return;
    const BBox window(BPoint(w.minX, w.minY), BPoint(w.maxX, w.maxY));
    for (auto it = m_tree->rtree.qbegin(bgi::intersects(window)); it != m_tree->rtree.qend(); ++it)
        out.push_back(it->second);
}
