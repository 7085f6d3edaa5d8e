#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The project file: the themes of one map window, bottom legend row first. Text, one
// "Key = value" line per setting, CRLF line ends, UTF-8 (older files in Windows-1252 are read
// too).
// Colours are written as numbers, red + 256 * green + 65536 * blue (red 255, green 65280,
// yellow 65535, blue 16711680).
QColor colorFromProject(quint32 number);
quint32 projectColor(const QColor &color);

struct ProjectTheme
{
    QString title;
    QString path;
    bool active = true;
    bool visible = true;
    bool isMap = false; // a vector theme: the symbol lines follow
    QColor color = Qt::black;
    QColor outlineColor = Qt::black;
    double size = 1;
    qint16 style = 0;
    QString plssFields;      // the named PLSS fields ("section=SEC,township=TWP,..."), if any
    QString labelField = {}; // what labels the theme (see Symbol::labelField); empty: its own
};

// The named PLSS fields follow all the theme blocks, one line per theme that has them:
// "PLSS Fields 2 = section=SEC,..." (2: the theme's place in the file). A reader that knows only
// the blocks stops before them and loses nothing. So do "Labels 2 = FIELD" (what labels a
// theme's features, when not its own labels) and "Wells = SOURCE", where the window's
// wells are kept (a GeoPackage's path or a "PG:" connection), written last when there is one.
// "Print Title = TEXT" keeps a title typed for the printed page.
QByteArray writeProject(const QList<ProjectTheme> &themes, const QString &wellsSource = {},
                        const QString &printTitle = {});

// What a read found: the themes whose title and path were read, each with as much of its block
// as was read (unread settings stay unset), and the message that stopped the reading, if any.
struct ProjectBlock
{
    QString title;
    QString path;
    std::optional<bool> active;
    std::optional<bool> visible;
    std::optional<bool> isMap;
    std::optional<QColor> color;
    std::optional<QColor> outlineColor;
    std::optional<double> size;
    std::optional<qint16> style;
    QString plssFields;
    QString labelField = {};
};
struct ParsedProject
{
    QList<ProjectBlock> themes;
    QString error;          // empty when the whole file was read
    QStringList skipped;    // one message per theme left out for a value that does not convert
    bool isProject = false; // its first line was a theme count: the file is a project
    QString wellsSource;    // where the window's wells are kept; empty for none
    QString printTitle;     // the printed page's title when one was typed
};

ParsedProject readProject(const QByteArray &bytes);

// Takes each relative theme path (and the wells' GeoPackage) from the folder of the project
// file, so a project travels with its themes.
void resolveRelativePaths(ParsedProject &project, const QString &projectFile);
