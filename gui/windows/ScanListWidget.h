#pragma once

#include <QModelIndex>
#include <QString>
#include <QTimer>
#include <QTreeView>

class QSortFilterProxyModel;
class ScanModel;

// The list of available connections in the main window: it turns selection, keys and clicks into
// the signals that enable the window's buttons, hands the selected row to the profile editor and
// starts a connection on a double click.
class ScanListWidget : public QTreeView {
    Q_OBJECT

public:
    explicit ScanListWidget(QWidget* parent = nullptr);
    ~ScanListWidget() override;

    void setScanModel(ScanModel* model);
    ScanModel* scanModel() const { return m_model; }
    QSortFilterProxyModel* proxy() const { return m_proxy; }
    // Widens the name column to the longest name (never below its own width); done by itself
    // after each change of the model.
    void fitNameColumn();
    // The width at which every shown column fits beside a vertical scroll bar.
    int widthForColumns() const;

signals:
    void EnablePropertiesBtn(bool enabled);
    void EnableConnectBtn(bool enabled);
    void EnableConnectExBtn(bool enabled);
    void CheckConnectExBtn(bool checked);
    void EnableDeleteBtn(bool enabled);
    // Declared for the main window's wiring; never emitted.
    void SetManualMode(const QString& networkName);
    void ClearMenu();
    void ShowMenu();
    // The row as the model's index, whichever view index was activated.
    void MapKeyInfoData(ScanModel* model, const QModelIndex& index);
    void MapNetworkData(ScanModel* model, const QModelIndex& index);
    // Declared for the main window's wiring; never emitted.
    void ShowPropertiesDlg();
    void ProcessConnectDlg(bool exclusive);

public slots:
    void ScanListChanged(int row);
    void on_activated(const QModelIndex& index);
    void on_doubleClicked(const QModelIndex& index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Connect, Edit and Delete, which act on the selected row.
    void disableRowButtons();

    ScanModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy;
    // Set by a right click: the activation that follows fills the context menu, then shows it.
    bool m_contextMenuPending = false;
    QTimer m_fitNames;
};
