#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QModelIndex>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <memory>

#include "gui/client/GroupItemList.h"
#include "gui/client/ResponseType.h"

class AdminPolicy;
class KeyInfo;
class Locations;
class QAction;
class QLabel;
class QMenu;
class QShortcut;
class ScanModel;
class VpnConnection;

namespace Ui {
class TrayIconControlDialogClass;
}

// The tray program's main window, "Varnel Tamsel": the available connections and what the user
// does with them (connect, connect exclusively, edit, delete, add), the connection status, the VPN,
// the client and the radio, the active group and the groups dialog, help, about, repair and packet
// capture. It owns the profile editor and the groups dialog. The controller builds it, wires it to
// the tray icon and the service client and drives its enabled states; it sends its own requests.
class TrayIconControlDialog : public QMainWindow {
    Q_OBJECT

public:
    // Shows itself when the program was started with "-Access"; activated in any case.
    explicit TrayIconControlDialog(ScanModel* model, QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~TrayIconControlDialog() override;

    // The reply to getServiceStateRequest; capture is not used here.
    void setServiceState(bool clientEnabled, bool radioOn, bool captureEnabled);
    void setClientItemsEnabled(bool enabled, bool repairEnabled);
    void enableRepairAction(bool enabled);
    void enableVpnButton(bool enabled);
    // Runs the script of the row's network, which has just connected.
    void runNetworkScript(const QModelIndex& index);

    void setVisible(bool visible) override;

    const Ui::TrayIconControlDialogClass& form() const { return *m_form; }
    KeyInfo& keyInfo() const { return *m_keyInfo; }
    Locations& locations() const { return *m_locations; }
    QLabel* statusLabel() const { return m_statusLabel; }
    QMenu* contextMenu() const { return m_contextMenu; }
    QMenu* settingsMenu() const { return m_settingsMenu; }
    QMenu* groupsMenu() const { return m_groupsMenu; }
    QMenu* helpMenu() const { return m_helpMenu; }
    QAction* clientAction() const { return m_clientAction; }
    QAction* radioAction() const { return m_radioAction; }
    QAction* locationAction() const { return m_locationAction; }
    QAction* configureGroupsAction() const { return m_configureGroupsAction; }
    QAction* helpAction() const { return m_helpAction; }
    QAction* repairAction() const { return m_repairAction; }
    QAction* extendedLoggingAction() const { return m_extendedLoggingAction; }
    QAction* aboutAction() const { return m_aboutAction; }
    // Created and wired, but offered in no menu.
    QAction* balloonsAction() const { return m_balloonsAction; }
    QAction* connectAction() const { return m_connectAction; }
    QAction* connectExAction() const { return m_connectExAction; }
    QAction* deleteAction() const { return m_deleteAction; }
    QAction* editAction() const { return m_editAction; }
    QShortcut* extendedLoggingShortcut() const { return m_extendedLoggingShortcut; }
    const QString& activeGroupName() const { return m_activeGroupName; }
    const QString& selectedNetworkName() const { return m_selectedNetworkName; }

signals:
    // Declared for the controller's wiring; never emitted.
    void iconChanged(const QIcon& icon);
    void iconChanged(const QPixmap& pixmap);
    void resendScanRequest();
    void AutoMode(bool automatic, const QString& networkName);
    void ProcessNetworkStatusDlg();
    // Declared for the controller's wiring; never emitted.
    void MapAddSSIDInfoData();
    void SetPopups(bool popups);
    void About();
    void Repair();
    // Declared for the controller's wiring; never emitted.
    void setClientCheckTrayIcon();
    void setRadioCheckTrayIcon();
    void helpRequested();
    void visibleChanged(bool visible);
    void StopTimedRequests();
    void StartTimedRequests();
    void EnableRadioInTray(bool enabled);
    void setTrayGroupMenu(const GroupItemList& groups);
    // Declared for the controller's wiring; never emitted.
    void FlipVpnInTray();
    void ShowLocation();
    void En_DisableGroupsInTray(bool enabled);
    void EnableStatusInTray(bool enabled);
    void VpnEnabledDisableSignal(bool enabled);
    void RadioOffSetState();

public slots:
    void on_statusBtn_clicked();
    void set_ManualMode(bool manual);
    void TrayRadioCall();
    void TrayClientCall();
    void updateStatusTip(const QString& text);
    void VpnSetting(VpnConnection* dialog);
    void VpnSetState(bool capable);
    void SetVPNButton(bool connected);
    void NoWireless(bool noWireless);
    void EnableClientItems();
    void AdminPolicySetting(AdminPolicy* policy);
    void SuspendResumeVpnDisconnect();
    void GroupReturnToAuto(const QString& networkName);
    void EnableRunScript(bool allowed);
    void on_vpnConnectBtn_clicked();
    void returnToAutoMode();
    void on_addSsidBtn_clicked();
    void on_connectBtn_clicked();
    void on_connectExBtn_clicked();
    void on_deleteBtn_clicked();
    void on_locationsBtn_clicked();
    void on_propertiesBtn_clicked();
    void updateWindowIcon(const QIcon& icon);
    void FillNetworkGroup(const GroupItemList& groups, ResponseType type);
    void ContextMenuTriggered(const QString& text);
    void EnablePropertiesBtn(bool enabled);
    void EnableConnectBtn(bool enabled);
    void EnableConnectExBtn(bool enabled);
    void CheckConnectExBtn(bool checked);
    void EnableDeleteBtn(bool enabled);
    void EnableAddSSIDBtn(bool enabled);
    void EnableStatusBtn(bool enabled);
    void EnableConfigureGroupsBtn(bool enabled);
    void OnActiveGroupChange(const QString& groupName);
    void NotifyActiveGroupChng(const QString& groupName);
    void ManualMode(const QString& networkName);
    void ClearMenu();
    void ShowMenu();
    void MapNetworkData(ScanModel* model, const QModelIndex& index);
    void BalloonsOnOff();
    void RadioOnOff();
    void ClientOnOff();
    void AboutCall();
    void Help();
    void RepairCall();
    void groupTriggered();
    void LocationEnabled();
    void VpnDialogProcess(const QString& choice, const QString& entry);
    void PacketCap();
    void PacketCaptureEnable(bool allowed);
    void ExtendedLoggingMenu();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createActions();
    void createMenus();
    void rebuildGroupsMenu(const GroupItemList& groups);
    void showContextAction(QAction* action, bool shown);
    void resetSelection();
    bool isAutomatedVpnCapable() const;

    std::unique_ptr<Ui::TrayIconControlDialogClass> m_form;
    QLabel* m_statusLabel = nullptr;
    QMenu* m_contextMenu = nullptr;
    QAction* m_connectAction = nullptr;
    QAction* m_connectExAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_editAction = nullptr;
    std::unique_ptr<KeyInfo> m_keyInfo;
    std::unique_ptr<Locations> m_locations;

    QAction* m_clientAction = nullptr;
    QAction* m_radioAction = nullptr;
    QAction* m_locationAction = nullptr;
    QAction* m_configureGroupsAction = nullptr;
    QAction* m_helpAction = nullptr;
    QAction* m_repairAction = nullptr;
    QAction* m_extendedLoggingAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_balloonsAction = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QMenu* m_groupsMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QShortcut* m_extendedLoggingShortcut = nullptr;

    ScanModel* m_model;
    QPointer<VpnConnection> m_vpn;
    // The groups the groups dialog was last filled from; it reads them while it is open.
    GroupItemList m_groups;
    QString m_activeGroupName;
    QString m_selectedNetworkName;
    bool m_fromTray = false;
    bool m_vpnCapable = false;
    bool m_captureAllowed = false;
};
