#include "gui/calculators/wells_panel.h"

#include "core/common/message_service.h"
#include "core/wells/well_import.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

WellsPanel::WellsPanel(QWidget *parent)
    : QWidget(parent)
    , m_proxy(new QSortFilterProxyModel(this))
    , m_view(new QTableView(this))
    , m_filter(new QComboBox(this))
    , m_count(new QLabel(this))
{
    auto *importButton = new QPushButton(u"&Import..."_s, this);
    importButton->setObjectName(u"importWells"_s);
    auto *pasteButton = new QPushButton(u"&Paste..."_s, this);
    pasteButton->setObjectName(u"pasteWells"_s);
    auto *deleteButton = new QPushButton(u"&Delete"_s, this);
    deleteButton->setObjectName(u"deleteWells"_s);
    m_filter->setObjectName(u"wellsFilter"_s);
    m_filter->addItems({u"All wells"_s, u"Located"_s, u"Not located"_s});
    m_count->setObjectName(u"wellsCount"_s);
    auto *bar = new QHBoxLayout;
    bar->addWidget(importButton);
    bar->addWidget(pasteButton);
    bar->addWidget(deleteButton);
    bar->addWidget(m_filter);
    bar->addStretch(1);
    bar->addWidget(m_count);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);

    m_proxy->setSortRole(WellsModel::SortRole);
    m_proxy->setFilterRole(WellsModel::LocatedRole);
    m_view->setObjectName(u"wellsTable"_s);
    m_view->setModel(m_proxy);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(-1, Qt::AscendingOrder); // the order they came in until asked
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                            QAbstractItemView::SelectedClicked);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);

    connect(importButton, &QPushButton::clicked, this, &WellsPanel::chooseFileToImport);
    connect(pasteButton, &QPushButton::clicked, this, &WellsPanel::pasteDescriptions);
    connect(deleteButton, &QPushButton::clicked, this, &WellsPanel::deleteSelected);
    connect(m_filter, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_proxy->setFilterFixedString(index == 0 ? QString() : index == 1 ? u"true"_s : u"false"_s);
        updateCount();
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Q_EMIT selectionChanged(selectedRows()); });
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        Q_EMIT zoomRequested(m_proxy->mapToSource(index).row());
    });
    updateCount();
}

void WellsPanel::setModel(WellsModel *model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    m_proxy->setSourceModel(model);
    if (model) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &WellsPanel::updateCount);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &WellsPanel::updateCount);
        connect(model, &QAbstractItemModel::modelReset, this, &WellsPanel::updateCount);
        connect(model, &QAbstractItemModel::dataChanged, this, &WellsPanel::updateCount);
        connect(model, &WellsModel::problem, this, [this](const QString &t) { tell(t, true); });
        connect(model, &QAbstractItemModel::modelReset, this, &WellsPanel::fitColumns);
        connect(model, &QAbstractItemModel::rowsInserted, this, &WellsPanel::fitColumns);
        fitColumns();
    }
    updateCount();
}

void WellsPanel::fitColumns()
{
    // By the first rows only, and no wider than a third of the table, so a long description
    // does not push the numbers out of sight.
    m_view->horizontalHeader()->setResizeContentsPrecision(50);
    m_view->resizeColumnsToContents();
    const int widest = std::max(120, m_view->width() / 3);
    for (int c = 0; c < WellsModel::ColumnCount; ++c)
        m_view->setColumnWidth(c, std::min(m_view->columnWidth(c), widest));
}

void WellsPanel::updateCount()
{
    const int all = m_model ? m_model->rowCount() : 0;
    int failed = 0;
    for (int r = 0; r < all; ++r)
        failed += m_model->well(r).located ? 0 : 1;
    m_count->setText(failed ? u"%1 wells, %2 not located"_s.arg(all).arg(failed)
                            : u"%1 wells"_s.arg(all));
}

void WellsPanel::tell(const QString &text, bool warning)
{
    if (m_messages)
        m_messages->show(text, warning ? MessageIcon::Exclamation : MessageIcon::Information);
}

QSet<int> WellsPanel::selectedRows() const
{
    QSet<int> rows;
    for (const QModelIndex &index : m_view->selectionModel()->selectedRows())
        rows.insert(m_proxy->mapToSource(index).row());
    return rows;
}

void WellsPanel::deleteSelected()
{
    if (!m_model)
        return;
    QList<int> rows = selectedRows().values();
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (int r : rows)
        m_model->removeRows(r, 1);
}

bool WellsPanel::importFile(const QString &path)
{
    return m_model && importEntries(readWellsCsv(path, m_model->ids()));
}

bool WellsPanel::importText(const QString &text)
{
    return m_model && importEntries(readWellsText(text, m_model->ids()));
}

bool WellsPanel::importEntries(const WellImport &read)
{
    if (!read.error.isEmpty()) {
        tell(read.error, true);
        return false;
    }
    const WellsModel::Locator locator = m_locatorSource ? m_locatorSource() : nullptr;
    if (!locator || read.entries.isEmpty()) {
        if (read.entries.isEmpty())
            tell(read.problems.isEmpty() ? u"There are no wells to import."_s
                                         : read.problems.join(u'\n'),
                 true);
        return false;
    }
    // The list the wells go to, whatever window is active when they are located; the panel takes
    // no other command meanwhile (the dialog is modal from the start: its value processes events).
    const QPointer<WellsModel> target = m_model;
    setEnabled(false);
    QProgressDialog progress(u"Locating %1 wells..."_s.arg(read.entries.size()), u"Cancel"_s, 0,
                             int(read.entries.size()), this);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    const auto wells = locateWells(read.entries, locator, [&progress](qsizetype done) {
        progress.setValue(int(done));
        return !progress.wasCanceled();
    });
    progress.reset();
    setEnabled(true);
    if (!target) {
        tell(u"The map window closed before its wells were located; none was added."_s, true);
        return false;
    }
    if (!wells) {
        tell(u"The import was cancelled; no well was added."_s, false);
        return false;
    }
    if (!target->appendWells(*wells))
        return false;
    if (!read.problems.isEmpty()) {
        QStringList shown = read.problems.mid(0, 20);
        if (read.problems.size() > shown.size())
            shown << u"... and %1 more."_s.arg(read.problems.size() - shown.size());
        tell(u"%1 wells imported. Left out or not read:\n"_s.arg(wells->size()) + shown.join(u'\n'),
             true);
    }
    return true;
}

void WellsPanel::chooseFileToImport()
{
    const QString path = QFileDialog::getOpenFileName(this, u"Import Wells"_s, {},
                                                      u"Well lists (*.csv *.txt);;All files (*)"_s);
    if (!path.isEmpty())
        importFile(path);
}

void WellsPanel::pasteDescriptions()
{
    QDialog dialog(this);
    dialog.setWindowTitle(u"Paste Wells"_s);
    auto *label = new QLabel(u"One description a line; an id may come first, then a tab."_s);
    auto *text = new QPlainTextEdit;
    text->setObjectName(u"pastedDescriptions"_s);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(u"Locate"_s);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(text, 1);
    layout->addWidget(buttons);
    dialog.resize(640, 360);
    if (dialog.exec() == QDialog::Accepted)
        importText(text->toPlainText());
}
