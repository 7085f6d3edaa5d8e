#pragma once

#include "mapview/map_window.h"

#include <QMainWindow>

#include <memory>

class frmQuery;
class QActionGroup;
class QLabel;

// For now: one map window (map, legend, calculators, scale bar) with the toolbar's tools, the
// two status panels, adding themes and the identify and query windows.
class MainWindow : public QMainWindow, public MapWindowShell
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Adds a theme file to the map window, active and visible, titled by its file name.
    bool addTheme(const QString &path);
    frmMapView *mapView() const { return m_view; }

    // MapWindowShell
    QString pressedTool() const override;
    void setStatusText(int panel, const QString &text) override;
    frmIdentify *identifyWindow() override;
    MessageService &messages() override { return *m_messages; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void addThemesFromDialog();
    void locateInTheme();

    std::unique_ptr<MessageService> m_messages;
    frmMapView *m_view = nullptr;
    QActionGroup *m_tools = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    std::unique_ptr<frmIdentify> m_identify;
    std::unique_ptr<frmQuery> m_query;
};
