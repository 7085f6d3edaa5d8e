#pragma once

#include <QByteArray>
#include <QString>

// Text files from users: UTF-8, or else Windows-1252, the code page older project files and
// spreadsheets of this part of the world were written in.
QString decodeUtf8OrWindows1252(const QByteArray &bytes);
