#pragma once

#include "core/engine/record_set.h"

#include <QWidget>

class QListWidget;
class QTreeWidget;

// "Identify": the active themes that have features at a clicked point, one line per record, and
// the fields and values of the chosen line's theme. One instance serves all map windows.
class IdentifyWindow : public QWidget
{
    Q_OBJECT

public:
    explicit IdentifyWindow(QWidget *parent = nullptr);

    void clear();
    void addResults(const QString &themeName, const RecordSet &results);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showTheme();

    struct Line
    {
        RecordSet records;
        int number; // the record's number within its theme, 1-based
    };
    QList<Line> m_lines;
    QListWidget *m_themeList = nullptr;
    QTreeWidget *m_results = nullptr;
};
