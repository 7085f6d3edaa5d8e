#include "core/plss/section_corners.h"

#include "core/common/message_service.h"

#include <cmath>

using namespace Qt::StringLiterals;

MapPoint copyPoint(const MapPoint &point)
{
    return MapPoint{point.X, point.Y};
}

bool polygonCorners(const MapPolygon &poly, CornerArray &extentCorners, CornerArray &sectionCorners,
                    MessageService &messages)
{
    const MapRect &box = poly.extent();
    extentCorners[SW] = {box.left(), box.bottom()};
    extentCorners[NW] = {box.left(), box.top()};
    extentCorners[NE] = {box.right(), box.top()};
    extentCorners[SE] = {box.right(), box.bottom()};

    for (int i = 0; i < 4; ++i) {
        const MapPoint &target = extentCorners[std::size_t(i)];
        double best = 1000000.0;
        MapPoint nearest;
        for (const MapPolygon::Part &part : poly.parts()) {
            for (const MapPoint &v : part) {
                const double dx = v.X - target.X;
                const double dy = v.Y - target.Y;
                const double d = std::sqrt(dx * dx + dy * dy);
                if (d < best) { // strictly: an equally near later vertex does not win
                    best = d;
                    nearest = copyPoint(v);
                }
            }
        }
        if (!(best < 1000000.0)) {
            messages.show(u"Unable to calculate PLSS corners"_s, MessageIcon::Stop);
            return false;
        }
        sectionCorners[std::size_t(i)] = nearest;
    }
    return true;
}
