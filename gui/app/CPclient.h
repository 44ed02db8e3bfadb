#pragma once
// The tray program's end of the "vel" pipe: one client connection, a receive thread that queues
// each framed message, and the handling of each message on the GUI thread, where it is classified,
// read into the protocol records and announced with a signal; some replies ask for more.
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <memory>

#include "gui/client/AdminPolicy.h"
#include "gui/client/Certificate.h"
#include "gui/client/Credentials.h"
#include "gui/client/GroupItemList.h"
#include "gui/client/MergeItemList.h"
#include "gui/client/Mode.h"
#include "gui/client/NetworkItemList.h"
#include "gui/client/RequestTransport.h"
#include "gui/client/ResponseType.h"
#include "gui/client/ScanResultList.h"
#include "gui/client/StateEvent.h"
#include "gui/windows/VpnConnection.h"
#include "gui/windows/ZornLocation.h"
#include "vel/ipc/IpcManager.h"

class CPclient : public QThread {
    Q_OBJECT
public:
    // Milliseconds between two connection attempts.
    static constexpr int CONNECT_RETRY_MS = 3000;

    // Creates the pipe's client end and publishes it as the request writer's transport.
    explicit CPclient(QObject* parent = nullptr);
    // Ends the receive thread (the owner cancels the pipe first) and withdraws the transport.
    ~CPclient() override;

    // Tries to connect every CONNECT_RETRY_MS until the service answers; true once connected
    // (ClientConnecting() emitted), false when cancelled. Runs on the controller thread.
    bool connectToService();
    // Handles the queued messages on this object's thread and starts the receive thread.
    void startReceiving();
    // Wakes the connect loop and a blocked receive; both end.
    void cancel();
    // Asks the service to repair: the one-byte message "Q".
    void sendRepair();

    void getScanListRequest();
    void getGroupsRequest();
    void getActiveGroupRequest();
    void getNetworksInGroupRequest(const QString& groupName);
    void ssoUserSessionActionsRequest();

    // Empties every list and tells the windows.
    void clearLists();
    // Merges the active group's networks with the scan list.
    void rebuildMergedList();

    void setDisabledByUser(bool disabled) { m_disabledByUser = disabled; }
    bool disabledByUser() const { return m_disabledByUser; }
    bool isCanceled() const { return m_canceled.load(); }

    // Messages received and not handled yet.
    int queuedCount();

    const GroupItemList& groups() const { return m_groups; }
    const StateEvent& stateEvent() const { return m_stateEvent; }
    const MergeItemList& mergedList() const { return m_mergedList; }
    const ScanResultList& scanList() const { return m_scanList; }
    VpnConnection& vpnDialog() const { return *m_vpn; }
    ZornLocation& locationWindow() const { return *m_location; }
    AdminPolicy& adminPolicy() { return m_policy; }

signals:
    void StateChange(const StateEvent& event);
    // Declared for the controller's wiring; never emitted.
    void ClientConnected();
    void ClientConnecting();
    void ClientDisconnected();
    // Declared for the controller's wiring; never emitted.
    void SignalStartService();
    void UpdateMergeList(MergeItemList* list);
    void AddNetworksToGroup(const GroupItemList& groups, ResponseType type);
    void SignalProcessData();
    void UserNameRequest(const Credentials& credentials);
    void CertRequest(const Certificate& certificate);
    void NotifyActiveGroupChng(const QString& groupName);
    void SendChngGroupRequest(const QString& groupName);
    void ConnectMode(bool automatic, const QString& networkName);
    void SmartPinRequest(const QString& smartCardName, const QString& groupName, const QString& networkName);
    void LogonEvent();
    void Fault(const QString& errorCode);
    void ServiceState(bool tamselEnabled, bool radioEnabled, bool packetCaptureEnabled);
    void VpnCapabilities(VpnConnection* dialog);
    void LocationCaps();
    void VpnState(const QString& vpnState, const QString& vpnStatus);
    void Banner(const QString& bannerPrompt);
    void EnableClientItems();
    void NoWireless(bool noWireless);
    void VpnEnabledSignal(bool enabled);
    void AdminPolicies(AdminPolicy* policy);
    void RunScriptEnabledSignal(bool enabled);

public slots:
    void ProcessData();
    void ScanlistRequest();
    void GetLastStatusRequest();
    void GetLastVpnStatusRequest();
    void ShowLocation();

protected:
    // The receive loop.
    void run() override;

private:
    void handle(ResponseType type, const QByteArray& message);
    void onFault(const QByteArray& message);
    void onGroups(const QByteArray& message);
    void onActiveGroup(ResponseType type, const QByteArray& message);
    void onNetworksInGroup(const QByteArray& message);
    void onScanList(const QByteArray& message);
    void onNetworkState(const QByteArray& message);
    void onNetworkAddedOrChanged(const QByteArray& message);
    void onNetworkRemoved(const QByteArray& message);
    void onConnectionMode(const QByteArray& message);
    void onGroupAdded(const QByteArray& message);
    void onSmartCardPin(const QByteArray& message);
    void onLogonEvent(const QByteArray& message);
    void onGroupRemoved(const QByteArray& message);
    void onServiceState(const QByteArray& message);
    void onVpnState(const QByteArray& message);
    void onBanner(const QByteArray& message);
    void requestActiveGroupNetworks();
    void publishTransport();

    std::atomic<bool> m_running{true};
    std::atomic<bool> m_canceled{false};
    IpcManager m_ipc;
    std::shared_ptr<RequestTransport> m_transport;
    QMutex m_mutex;
    QList<QByteArray> m_queue;
    // The connect loop waits here between attempts, so that a cancel ends the wait at once.
    QMutex m_waitMutex;
    QWaitCondition m_cancelWait;

    MergeItemList m_mergedList;
    StateEvent m_stateEvent;
    ScanResultList m_scanList;
    NetworkItemList m_networks;
    GroupItemList m_groups;
    Credentials m_credentials;
    Certificate m_certificate;
    Mode m_mode;
    std::unique_ptr<VpnConnection> m_vpn;
    AdminPolicy m_policy;
    std::unique_ptr<ZornLocation> m_location;
    int m_groupCount = 0;
    std::atomic<bool> m_disabledByUser{false};
};
