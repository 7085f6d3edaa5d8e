#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// What the program keeps in its settings store between runs ("QRV Tractwise", group
// "Settings").

// The main window's place and size, in twips; nothing before the first run has stored one.
struct MainGeometry
{
    double left = 0, top = 0, width = 0, height = 0;
};
std::optional<MainGeometry> readMainGeometry();
void writeMainGeometry(const MainGeometry &g);

// The last projects opened or saved, newest first, at most RecentProjectCount.
constexpr int RecentProjectCount = 5;
QStringList recentProjects();
// Puts a project first in the list (once), dropping the oldest beyond the count.
void addRecentProject(const QString &path);
// The list after `path` is put first: a plain function, so the rule is tested without a store.
QStringList withRecent(QStringList list, const QString &path);

// The folder of the quadrangle images the hot links add; empty until chosen.
QString quadImageFolder();
void setQuadImageFolder(const QString &folder);
// True once: on the first start ever, whose caller then shows the sample project.
bool takeFirstStart();

// The folder the file dialogs start in; empty for the working folder.
QString startFolder();
void setStartFolder(const QString &folder);

// How sections are divided where no second divisions say: "classic" (the default) or "manual".
bool manualSubdivisionRule();
void setManualSubdivisionRule(bool manual);

// Where the user last put a tool window (Identify, Locate in Theme), as QWidget::saveGeometry
// gives it; empty before the first time.
QByteArray toolWindowGeometry(const QString &window);
void setToolWindowGeometry(const QString &window, const QByteArray &geometry);

// Where the user left the bars of a map window: the legend column's width and the calculator
// panel's height, in twips; 0 for one never dragged (or not a number in the store).
struct MapWindowSplits
{
    int legendWidth = 0;
    int panelHeight = 0;
};
MapWindowSplits mapWindowSplits();
void setMapWindowSplits(const MapWindowSplits &splits);
