#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

class VectorLayer;

// What every fuzz target shares: an offscreen application, a scratch folder that is the working
// folder, and small section themes made once.
namespace fuzzsupport {

void init();
QString workDir();
// A one-township section grid in table layout 1 ("sections.shp") and one in layout 5
// ("sections5.shp"), recognised as section themes.
std::shared_ptr<VectorLayer> sectionTheme(int layout = 1);
QString sectionThemePath(int layout = 1);

QByteArray bytes(const uint8_t *data, std::size_t size);
// The input as text (invalid UTF-8 replaced), cut into `n` fields at newlines; missing fields are
// empty and the last takes the rest.
QList<QString> fields(const QByteArray &input, int n);
void writeFile(const QString &path, const QByteArray &content);

} // namespace fuzzsupport
