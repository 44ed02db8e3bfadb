#pragma once
// The tray program's controller: it owns the service client, the scan list model, the main window,
// the tray icon and the prompts, wires them together, connects to the service (on a thread of its
// own, retrying), sends the start-up and periodic requests, shows the service's faults and state,
// and recovers when the pipe is lost.
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "gui/client/Certificate.h"
#include "gui/client/Credentials.h"
#include "gui/client/SignalStrength.h"
#include "gui/client/StateEvent.h"
#include "runtime/lum/LumMain.h"

class AboutDialog;
class CPclient;
class CertDialog;
class CredDialog;
class NetworkStatus;
class ScanModel;
class SmartPinDialog;
class TrayIcon;
class TrayIconControlDialog;

class CMainControl : public QThread {
    Q_OBJECT
public:
    static constexpr int SCAN_LIST_PERIOD_MS = 10000;
    static constexpr int STATUS_PERIOD_MS = 9000;
    static constexpr int VPN_PERIOD_MS = 10000;
    static constexpr int ENABLE_CLIENT_ITEMS_DELAY_MS = 2000;
    static constexpr int BALLOON_MS = 15000;
    static constexpr int YELLOW_FRAME_MS = 20;
    static constexpr int SHORT_NAME_LENGTH = 16;

    // Releases the single-instance lock when the program quits in order.
    using InstanceRelease = std::function<void()>;

    explicit CMainControl(QObject* parent = nullptr);
    ~CMainControl() override;

    void setInstanceRelease(InstanceRelease release) { m_instanceRelease = std::move(release); }

    // What the user sees and what the tests read back.
    CPclient* client() const { return m_client; }
    ScanModel& model() const { return *m_model; }
    TrayIconControlDialog& mainWindow() const { return *m_mainWindow; }
    TrayIcon& trayIcon() const { return *m_tray; }
    NetworkStatus& statusWindow() const { return *m_status; }
    AboutDialog& aboutBox() const { return *m_about; }
    CredDialog& credentialDialog() const { return *m_credDialog; }
    CertDialog& certificateDialog() const { return *m_certDialog; }
    SmartPinDialog& pinDialog() const { return *m_pinDialog; }
    QMessageBox& serviceMessageBox() { return m_serviceBox; }
    QMessageBox& bannerBox() { return m_bannerBox; }
    const QTimer& statusTimer() const { return m_statusTimer; }
    const QTimer& scanListTimer() const { return m_scanListTimer; }
    const QTimer& vpnTimer() const { return m_vpnTimer; }
    // The resource of the tray icon set last (":/Icons/red" ...).
    const QString& iconName() const { return m_iconName; }
    const QString& toolTip() const { return m_toolTip; }
    const QString& mainStatus() const { return m_mainStatus; }
    const QString& pendingPromptKind() const { return m_pendingKind; }
    bool clientRunning() const { return m_clientRunning.load(); }
    bool repairRequested() const { return m_repairRequested; }
    bool quitting() const { return m_quitting; }
    bool timedRequestsStarted() const { return m_timedRequestsStarted; }
    bool vpnConnected() const { return m_vpnConnected; }
    bool vpnConnecting() const { return m_vpnConnecting; }
    bool runScriptPending() const { return m_runScriptPending; }
    bool popups() const { return m_popups; }
    // The yellow frames still to come.
    bool animating() const { return m_yellowTimer.isActive(); }

signals:
    void updateStatus(const QString& text);
    void updateMainStatus(const QString& text);
    // Declared for the wiring; never emitted.
    void startTimedRequests();
    void done();
    // Declared for the wiring; never emitted.
    void ShowNetworkStatusDlg();
    void EnableAddSSIDBtn(bool enabled);
    void EnableStatusBtn(bool enabled);
    void EnableConfigureGroupsBtn(bool enabled);
    void EnableRepairMenu(bool enabled);
    void EnableStatusMenu(bool enabled);
    void EnableAutoMenu(bool enabled);
    // Declared for the wiring; never emitted.
    void UpdateMsgBox(const char* text);

public slots:
    void OnServiceFailed();
    void ProcessStateChange(const StateEvent& event);
    void SetGreenIcon(bool wired);
    void SetBlueIcon(bool wired);
    void SetYellowIcon(bool wired);
    void OnRepair();
    void OnClose();
    void ConnectClientSlotsAndSignals();
    void IconActivated(QSystemTrayIcon::ActivationReason reason);
    void StartTimedRequests();
    void StopTimedRequests();
    void PacketRequest();
    void GetNetworkStatus();
    void ServiceConnected();
    void UserNameRequest(const Credentials& credentials);
    void CertRequest(const Certificate& certificate);
    void messageClicked();
    void SetAutoMode(bool automatic, const QString& networkName);
    void SmartPin(const QString& smartCardName, const QString& groupName, const QString& networkName);
    void LogonEvent();
    void MainWindow();
    void SetPopups(bool on);
    void Fault(const QString& errorCode);
    void SetServiceState(bool clientEnabled, bool radioEnabled, bool captureEnabled);
    void SetVpnState(const QString& state, const QString& status);
    void SetVpnEnabled(bool enabled);
    void DisplayBanner(const QString& prompt);
    void NoWireless(bool noWireless);
    void EnableClientItems();
    void RadioOffSetState();
    void SuspendResumeDisconnectVPN();

protected:
    // The connect loop, on the controller thread.
    void run() override;

private:
    // A balloon saying why the network refused the user's certificate, while the main window is hidden.
    void showCredentialFailure(const StateEvent& event);
    void wireWindows();
    void setTrayIcon(const QString& name);
    void emitStatus(const QString& toolTip, const QString& mainStatus);
    void emitEnables(bool enabled);
    void showServiceBox(QMessageBox::Icon icon, const QString& text);
    void startConnectLoop();
    // Cancels the pipe, joins the controller thread and deletes the client.
    void dropClient();
    void createClient();
    void nextYellowFrame();
    void answerBanner(bool accepted);
    void runVpnStatusBox(QMessageBox& box, const QString& status);
    bool promptShownAtOnce(const QWidget& dialog) const;

    std::unique_ptr<ScanModel> m_model;
    std::optional<LumRuntime> m_runtime;
    CPclient* m_client = nullptr;
    std::unique_ptr<TrayIconControlDialog> m_mainWindow;
    std::atomic<bool> m_clientRunning{false};
    bool m_repairRequested = false;
    bool m_quitting = false;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<AboutDialog> m_about;
    std::unique_ptr<NetworkStatus> m_status;
    QTimer m_statusTimer;
    QTimer m_scanListTimer;
    QTimer m_vpnTimer;
    SignalStrength m_rater;
    std::unique_ptr<CredDialog> m_credDialog;
    std::unique_ptr<CertDialog> m_certDialog;
    std::unique_ptr<SmartPinDialog> m_pinDialog;
    QList<CertificateEntry> m_pendingCertificates;
    bool m_runScriptPending = true;
    QString m_statusText;
    QString m_groupName;
    QString m_shortName;
    QString m_networkName;
    QString m_strength;
    QString m_pendingKind;
    QString m_smartCardName;
    QString m_pinGroupName;
    QString m_pinNetworkName;
    QString m_ipAddress;
    QString m_outerEapMethod;
    // The network and reason of the last credential failure shown in a balloon.
    QString m_credentialFailureShown;
    bool m_wired = false;
    bool m_popups = true;
    QMessageBox m_serviceBox;
    bool m_timedRequestsStarted = false;
    bool m_vpnConnected = false;
    bool m_vpnConnecting = false;
    bool m_vpnEnabled = false;
    QMessageBox m_bannerBox;
    QPushButton* m_continueButton = nullptr;
    QPushButton* m_disconnectButton = nullptr;
    QMessageBox m_vpnStatusBox;
    QMessageBox m_vpnTerminatedBox;

    QString m_iconName;
    QString m_toolTip;
    QString m_mainStatus;
    QTimer m_yellowTimer;
    int m_yellowFrame = 0;
    bool m_yellowWired = false;
    InstanceRelease m_instanceRelease;
};
