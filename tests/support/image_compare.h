#pragma once

#include <QImage>
#include <QString>

namespace testsupport {

// Pixels may differ by a few levels (anti-aliased text, rounding); a drawing fault changes whole
// runs of pixels. Up to 1% of the pixels may differ by more than 64 in a channel.
bool sameImage(const QImage &a, const QImage &b, QString *why);

// Compares with tests/reference/NAME.png. With TW_WRITE_REFERENCES set the picture is
// written there instead (to make a new reference after checking it by eye). On a mismatch the
// picture is saved as actual-NAME.png in the temporary folder. Returns an empty string or what
// differs.
QString compareWithReference(const QImage &image, const QString &name);

} // namespace testsupport
