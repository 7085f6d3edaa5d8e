#pragma once

#include "core/wells/wells_model.h"

#include <QSet>
#include <QWidget>

#include <functional>

class MessageService;
class QComboBox;
class QLabel;
class QSortFilterProxyModel;
class QTableView;

// The table of a map window's wells: sorted by any column, filtered by status, edited in place
// (an edited description or call locates the well again), rows deleted; wells imported from a
// CSV or pasted descriptions, located with a progress bar that can be cancelled.
class WellsPanel : public QWidget
{
    Q_OBJECT

public:
    explicit WellsPanel(QWidget *parent = nullptr);

    // The list shown (none: an empty panel). Does not take ownership.
    void setModel(WellsModel *model);
    WellsModel *model() const { return m_model; }
    // Where a locator for imports comes from: made on this thread, called on every core. None,
    // or a null locator, when there is no section theme (whoever makes it says so).
    void setLocatorSource(std::function<WellsModel::Locator()> source)
    {
        m_locatorSource = std::move(source);
    }
    void setMessages(MessageService *messages) { m_messages = messages; }
    QTableView *view() const { return m_view; }

    // Reads, locates and appends the wells of a CSV or of pasted text; problems are shown.
    // False when nothing was added (refused, cancelled or empty).
    bool importFile(const QString &path);
    bool importText(const QString &text);
    // Asks for a CSV, or for text to paste, and imports it.
    void chooseFileToImport();
    void pasteDescriptions();
    void deleteSelected();
    // The model rows selected in the table.
    QSet<int> selectedRows() const;

Q_SIGNALS:
    void selectionChanged(const QSet<int> &rows);
    void zoomRequested(int row);

private:
    bool importEntries(const struct WellImport &read);
    void updateCount();
    void fitColumns();
    void tell(const QString &text, bool warning);

    WellsModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy;
    QTableView *m_view;
    QComboBox *m_filter;
    QLabel *m_count;
    MessageService *m_messages = nullptr;
    std::function<WellsModel::Locator()> m_locatorSource;
};
