#pragma once

#include <QModelIndex>
#include <QString>
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
    void mousePressEvent(QMouseEvent* event) override;

private:
    ScanModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy;
    // Set by a right click: the activation that follows fills the context menu, then shows it.
    bool m_contextMenuPending = false;
};
