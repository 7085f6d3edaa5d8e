#include "gui/map/identify_window.h"

#include "core/common/twips.h"

#include <QHeaderView>
#include <QListWidget>
#include <QTreeWidget>

#include <cmath>

using namespace Qt::StringLiterals;

frmIdentify::frmIdentify(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(u"frmIdentify"_s);
    setWindowTitle(u"Identify"_s);
    ThemeList = new QListWidget(this);
    ThemeList->setObjectName(u"ThemeList"_s);
    IdentifyResultsListView = new QTreeWidget(this);
    IdentifyResultsListView->setObjectName(u"IdentifyResultsListView"_s);
    IdentifyResultsListView->setRootIsDecorated(false);
    IdentifyResultsListView->setHeaderLabels({u"Field"_s, u"Value"_s});
    connect(ThemeList, &QListWidget::itemClicked, this, &frmIdentify::ThemeList_Click);
    resize(480, 320);
}

void frmIdentify::Reset()
{
    m_lines.clear();
    ThemeList->clear();
    IdentifyResultsListView->clear();
}

void frmIdentify::AddResultForTheme(const QString &themeName, const RecordSet &results)
{
    const int n = results.count();
    if (n == 0)
        return;
    // The theme's lines all refer to its one record set; they are numbered from the last.
    for (int i = 0; i < n; ++i) {
        m_lines.append({results, n - i});
        ThemeList->addItem(themeName);
    }
    ThemeList_Click();
}

void frmIdentify::ThemeList_Click()
{
    if (m_lines.isEmpty())
        return;
    const int row = ThemeList->currentRow();
    RecordSet records = m_lines[row >= 0 && row < m_lines.size() ? row : 0].records;
    IdentifyResultsListView->clear();
    const QList<FieldInfo> fields = records.fields();
    QList<QTreeWidgetItem *> rows;
    for (records.moveFirst(); !records.atEnd(); records.moveNext()) {
        for (const FieldInfo &f : fields) {
            const QVariant v = records.value(f.name).value_or(QVariant());
            rows.append(new QTreeWidgetItem(QStringList{f.name, v.toString()}));
        }
    }
    IdentifyResultsListView->addTopLevelItems(rows);
}

void frmIdentify::resizeEvent(QResizeEvent *event)
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
    IdentifyResultsListView->setGeometry(px(c + 10), px(10), px(2 * c), px(h - 10));
    ThemeList->setGeometry(px(10), px(50), px(c), px(h - 20));
    IdentifyResultsListView->header()->resizeSection(0, px(c));
    IdentifyResultsListView->header()->resizeSection(1, px(c));
}
