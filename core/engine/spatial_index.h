#pragma once

#include <memory>
#include <vector>

// A packed R-tree over feature bounding boxes, built once when a layer loads. Queries hand back
// feature indexes in no particular order.
class SpatialIndex
{
public:
    struct Box
    {
        double minX, minY, maxX, maxY;
    };

    SpatialIndex();
    ~SpatialIndex();
    SpatialIndex(SpatialIndex &&) noexcept;
    SpatialIndex &operator=(SpatialIndex &&) noexcept;

    // Boxes with non-finite coordinates are left out (such features cannot be found by place).
    void build(const std::vector<Box> &boxes);
    void query(const Box &window, std::vector<int> &out) const;

private:
    struct Tree;
    std::unique_ptr<Tree> m_tree;
};
