#include "tests/support/image_compare.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace testsupport {

bool sameImage(const QImage &a, const QImage &b, QString *why)
{
    if (a.size() != b.size()) {
        *why =
            u"size %1x%2 vs %3x%4"_s.arg(a.width()).arg(a.height()).arg(b.width()).arg(b.height());
        return false;
    }
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 64 || std::abs(qGreen(p) - qGreen(q)) > 64 ||
                std::abs(qBlue(p) - qBlue(q)) > 64)
                ++differing;
        }
    }
    *why = u"%1 pixels differ"_s.arg(differing);
    return differing <= a.width() * a.height() / 100;
}

QString compareWithReference(const QImage &image, const QString &name)
{
    const QString path = QStringLiteral(TW_REFERENCE_DIR "/") + name + u".png"_s;
    if (qEnvironmentVariableIsSet("TW_WRITE_REFERENCES"))
        return image.save(path) ? QString() : u"cannot write "_s + path;
    const QImage reference(path);
    if (reference.isNull())
        return u"no reference "_s + path;
    QString why;
    const QImage actual = image.convertToFormat(QImage::Format_RGB32);
    if (sameImage(actual, reference.convertToFormat(QImage::Format_RGB32), &why))
        return {};
    actual.save(QDir::temp().filePath(u"actual-"_s + name + u".png"_s));
    return name + u": "_s + why;
}

} // namespace testsupport
