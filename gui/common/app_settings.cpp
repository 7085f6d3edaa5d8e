#include "gui/common/app_settings.h"

#include <QFileInfo>
#include <QHash>
#include <QSettings>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString readText(const QString &key)
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    return s.value(key).toString();
}

void writeText(const QString &key, const QString &value)
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    s.setValue(key, value);
}

} // namespace

std::optional<MainGeometry> readMainGeometry()
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    MainGeometry g;
    bool all = true;
    auto read = [&s, &all](const QString &key) {
        bool ok = false;
        const float v = s.value(key).toString().toFloat(&ok);
        all = all && ok && std::isfinite(v);
        return double(v);
    };
    g.left = read(u"MainLeft"_s);
    g.top = read(u"MainTop"_s);
    g.width = read(u"MainWidth"_s);
    g.height = read(u"MainHeight"_s);
    if (!all)
        return std::nullopt;
    return g;
}

void writeMainGeometry(const MainGeometry &g)
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    // The decimal text of a single-precision number, as the values have always been kept.
    auto text = [](double v) { return QString::number(float(v), 'g', 7); };
    s.setValue(u"MainLeft"_s, text(g.left));
    s.setValue(u"MainTop"_s, text(g.top));
    s.setValue(u"MainWidth"_s, text(g.width));
    s.setValue(u"MainHeight"_s, text(g.height));
}

QStringList withRecent(QStringList list, const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    list.removeAll(absolute);
    list.prepend(absolute);
    while (list.size() > RecentProjectCount)
        list.removeLast();
    return list;
}

QStringList recentProjects()
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    QStringList list = s.value(u"RecentProjects"_s).toStringList();
    list.removeAll(QString());
    return list.mid(0, RecentProjectCount);
}

void addRecentProject(const QString &path)
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    s.setValue(u"RecentProjects"_s, withRecent(recentProjects(), path));
}

bool takeFirstStart()
{
    // A store that holds anything is not a first start, whichever version wrote it.
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    if (!s.allKeys().isEmpty())
        return false;
    s.setValue(u"Settings/SampleShown"_s, u"True"_s);
    return true;
}

QString quadImageFolder()
{
    return readText(u"QuadImageFolder"_s);
}

void setQuadImageFolder(const QString &folder)
{
    writeText(u"QuadImageFolder"_s, folder);
}

QString startFolder()
{
    return readText(u"StartFolder"_s);
}

void setStartFolder(const QString &folder)
{
    writeText(u"StartFolder"_s, folder);
}

bool manualSubdivisionRule()
{
    return readText(u"SubdivisionRule"_s) == u"manual"_s;
}

void setManualSubdivisionRule(bool manual)
{
    writeText(u"SubdivisionRule"_s, manual ? u"manual"_s : u"classic"_s);
}

QByteArray toolWindowGeometry(const QString &window)
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    QByteArray geometry = s.value(window + u"Geometry"_s).toByteArray();
    if (geometry.isEmpty()) {
        // Versions before the windows had their present names kept the places under the old
        // ones ("frm" and the window's kind).
        static const QHash<QString, QString> before = {{u"identifyWindow"_s, u"Identify"_s},
                                                       {u"queryWindow"_s, u"Query"_s}};
        if (const auto it = before.constFind(window); it != before.constEnd())
            geometry = s.value(u"frm"_s + *it + u"Geometry"_s).toByteArray();
    }
    return geometry;
}

void setToolWindowGeometry(const QString &window, const QByteArray &geometry)
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    s.setValue(window + u"Geometry"_s, geometry);
}

MapWindowSplits mapWindowSplits()
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    auto size = [&s](const QString &key) {
        bool ok = false;
        const int twips = s.value(key).toInt(&ok);
        return ok && twips > 0 ? twips : 0; // never kept, or not a size: the default
    };
    return {size(u"MapLegendWidth"_s), size(u"MapPanelHeight"_s)};
}

void setMapWindowSplits(const MapWindowSplits &splits)
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    s.setValue(u"MapLegendWidth"_s, splits.legendWidth);
    s.setValue(u"MapPanelHeight"_s, splits.panelHeight);
}
