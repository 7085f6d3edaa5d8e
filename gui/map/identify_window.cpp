#include "gui/map/identify_window.h"

#include "core/common/twips.h"

#include <QHeaderView>
#include <QListWidget>
#include <QTreeWidget>

#include <cmath>

using namespace Qt::StringLiterals;

IdentifyWindow::IdentifyWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(u"identifyWindow"_s);
    setWindowTitle(u"Identify"_s);
    m_themeList = new QListWidget(this);
    m_themeList->setObjectName(u"themeList"_s);
    m_results = new QTreeWidget(this);
    m_results->setObjectName(u"identifyResults"_s);
    m_results->setRootIsDecorated(false);
    m_results->setHeaderLabels({u"Field"_s, u"Value"_s});
    connect(m_themeList, &QListWidget::itemClicked, this, &IdentifyWindow::showTheme);
    resize(480, 320);
}

void IdentifyWindow::clear()
{
    m_lines.clear();
    m_themeList->clear();
    m_results->clear();
}

void IdentifyWindow::addResults(const QString &themeName, const RecordSet &results)
{
    const int n = results.count();
    if (n == 0)
        return;
    // The theme's lines all refer to its one record set; they are numbered from the last.
    for (int i = 0; i < n; ++i) {
        m_lines.append({results, n - i});
        m_themeList->addItem(themeName);
    }
    showTheme();
}

void IdentifyWindow::showTheme()
{
    if (m_lines.isEmpty())
        return;
    const int row = m_themeList->currentRow();
    RecordSet records = m_lines[row >= 0 && row < m_lines.size() ? row : 0].records;
    m_results->clear();
    const QList<FieldInfo> fields = records.fields();
    QList<QTreeWidgetItem *> rows;
    for (records.moveFirst(); !records.atEnd(); records.moveNext()) {
        for (const FieldInfo &f : fields) {
            const QVariant v = records.value(f.name).value_or(QVariant());
            rows.append(new QTreeWidgetItem(QStringList{f.name, v.toString()}));
        }
    }
    m_results->addTopLevelItems(rows);
}

void IdentifyWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The layout in twips: the theme list a third of the width on the left, the results beside
    // it. Too small a window (minimised) keeps the controls where they are.
    const double tpp = twipsPerPixel(logicalDpiX());
    const double w = width() * tpp, h = height() * tpp;
    const double c = std::nearbyint((w - 10) / 3);
    if (c <= 0 || h - 20 <= 0)
        return;
    auto px = [tpp](double twips) { return int(std::lround(twips / tpp)); };
    m_results->setGeometry(px(c + 10), px(10), px(2 * c), px(h - 10));
    m_themeList->setGeometry(px(10), px(50), px(c), px(h - 20));
    m_results->header()->resizeSection(0, px(c));
    m_results->header()->resizeSection(1, px(c));
}
