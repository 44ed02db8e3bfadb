#include "gui/app/CMainControl.h"

#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QPushButton>
#include <array>

#include "gui/app/CPclient.h"
#include "gui/client/ClientLog.h"
#include "gui/client/ProtocolTypes.h"
#include "gui/client/SoapRequest.h"
#include "gui/windows/AboutDialog.h"
#include "gui/windows/AutoModeFlag.h"
#include "gui/windows/CertDialog.h"
#include "gui/windows/CredDialog.h"
#include "gui/windows/DynamicMenu.h"
#include "gui/windows/ModalRunner.h"
#include "gui/windows/NetworkStatus.h"
#include "gui/windows/ScanModel.h"
#include "gui/windows/SmartPinDialog.h"
#include "gui/windows/TrayIcon.h"
#include "gui/windows/TrayIconControlDialog.h"
#include "platform/base/Root.h"

namespace {

const char* const PRODUCT = "Varnel Tamsel";
const char* const RED_ICON = ":/Icons/red";
const char* const DEBUG_FILE = "veldebug.txt";

// What a fault of the service shows: its code, how, and the text.
enum class FaultAction { Configuration, Box, Log };

struct FaultRow {
    int code;
    FaultAction action;
    QMessageBox::Icon icon;
    const char* text;
};

constexpr std::array<FaultRow, 11> FAULT_TABLE = {{
    {1, FaultAction::Configuration, QMessageBox::NoIcon, ""},
    {2, FaultAction::Box, QMessageBox::Warning, "The request is denied by administrator policy."},
    {4, FaultAction::Box, QMessageBox::Warning, "Unsupported option."},
    {5, FaultAction::Box, QMessageBox::Warning, "Request not permitted in auto-connect mode."},
    {6, FaultAction::Box, QMessageBox::Warning, "Location service not available."},
    {7, FaultAction::Log, QMessageBox::NoIcon,
     "Location error - additional info will be available in error string."},
    {8, FaultAction::Log, QMessageBox::NoIcon, "An internal error was reported by the Service."},
    {9, FaultAction::Box, QMessageBox::Critical, "Invalid XML."},
    {11, FaultAction::Box, QMessageBox::Critical, "Automated VPN capabilities is not enabled in client."},
    {12, FaultAction::Box, QMessageBox::Warning, "No VPN activity."},
    {13, FaultAction::Box, QMessageBox::Critical,
     "Your profile changes were not allowed. You must use Varnel Tamsel to make profile changes."},
}};

}  // namespace

CMainControl::CMainControl(QObject* parent) : QThread(parent), m_model(std::make_unique<ScanModel>()) {
    // The run-time layer lives as long as the controller, unless the process already brought it up.
    if (!LumMain::ready()) m_runtime.emplace();
    registerProtocolTypes();
    qRegisterMetaType<CPclient*>("CPclient*");

    m_client = new CPclient;
    m_mainWindow = std::make_unique<TrayIconControlDialog>(m_model.get());
    m_tray = std::make_unique<TrayIcon>();
    m_about = std::make_unique<AboutDialog>();
    m_status = std::make_unique<NetworkStatus>();
    m_credDialog = std::make_unique<CredDialog>();
    m_certDialog = std::make_unique<CertDialog>();
    m_pinDialog = std::make_unique<SmartPinDialog>();

    m_bannerBox.setWindowTitle(tr("VPN Banner"));
    m_bannerBox.setIcon(QMessageBox::Warning);
    m_continueButton = m_bannerBox.addButton(tr("Continue"), QMessageBox::AcceptRole);
    m_disconnectButton = m_bannerBox.addButton(tr("Disconnect"), QMessageBox::RejectRole);
    m_yellowTimer.setInterval(YELLOW_FRAME_MS);
    connect(&m_yellowTimer, &QTimer::timeout, this, &CMainControl::nextYellowFrame);

    wireWindows();
    ConnectClientSlotsAndSignals();

    setTrayIcon(QLatin1String(RED_ICON));
    m_tray->menu()->setModel(m_model.get());
    m_tray->setVisible(true);
    if (m_tray->isVisible()) {
        qCInfo(lcGuiClient, "System tray is available.");
    } else {
        qCInfo(lcGuiClient, "System tray is NOT available.");
        m_tray->setVisible(true);
    }
    m_pendingKind.clear();
    // Full dumps of every message, when the service's root holds the switch file.
    QFile debugFile(QString::fromStdString(base::clientRoot()) + QLatin1Char('/') +
                    QLatin1String(DEBUG_FILE));
    if (debugFile.open(QIODevice::ReadOnly | QIODevice::Text)) ClientLog::setVerboseDumps(true);
    emitStatus(tr("Varnel Tamsel:\n The application has encountered an error."),
               tr("Disconnected... The application has encountered an error."));
    m_mainWindow->VpnSetState(false);
    m_tray->vpnVisible(false);
    m_mainWindow->setClientItemsEnabled(false, false);
    emitEnables(false);
    startConnectLoop();
}

CMainControl::~CMainControl() {
    m_yellowTimer.stop();
    dropClient();
    // A report of the client's last moments may still be queued for this object.
    QCoreApplication::removePostedEvents(this);
}

void CMainControl::wireWindows() {
    TrayIconControlDialog* main = m_mainWindow.get();
    TrayIcon* tray = m_tray.get();
    connect(this, &CMainControl::updateStatus, tray, &TrayIcon::updateToolTip);
    connect(this, &CMainControl::updateMainStatus, main, &TrayIconControlDialog::updateStatusTip);
    connect(this, &CMainControl::EnableRepairMenu, tray, &TrayIcon::EnableRepairMenu);
    connect(this, &CMainControl::EnableStatusMenu, tray, &TrayIcon::statusEnable);
    connect(this, &CMainControl::EnableAutoMenu, tray, &TrayIcon::EnableAutoMenu);
    connect(this, &CMainControl::EnableAddSSIDBtn, main, &TrayIconControlDialog::EnableAddSSIDBtn);
    connect(this, &CMainControl::EnableStatusBtn, main, &TrayIconControlDialog::EnableStatusBtn);
    connect(this, &CMainControl::EnableConfigureGroupsBtn, main,
            &TrayIconControlDialog::EnableConfigureGroupsBtn);

    connect(tray, &TrayIcon::repairAction, this, &CMainControl::OnRepair);
    connect(main, &TrayIconControlDialog::Repair, this, &CMainControl::OnRepair);
    connect(tray, &TrayIcon::statusAction, this, &CMainControl::GetNetworkStatus);
    connect(main, &TrayIconControlDialog::ProcessNetworkStatusDlg, this, &CMainControl::GetNetworkStatus);
    connect(tray, &TrayIcon::quitAction, this, &CMainControl::OnClose);
    connect(tray, &TrayIcon::actionMore, this, &CMainControl::MainWindow);
    connect(tray, &QSystemTrayIcon::activated, this, &CMainControl::IconActivated);
    const auto runAbout = [this] { ModalRunner::current().exec(*m_about); };
    connect(tray, &TrayIcon::aboutAction, this, runAbout);
    connect(main, &TrayIconControlDialog::About, this, runAbout);
    connect(tray, &QSystemTrayIcon::messageClicked, this, &CMainControl::messageClicked);

    connect(main, &TrayIconControlDialog::resendScanRequest, this, &CMainControl::PacketRequest);
    connect(main, &TrayIconControlDialog::AutoMode, this, &CMainControl::SetAutoMode);
    connect(main, &TrayIconControlDialog::SetPopups, this, &CMainControl::SetPopups);
    connect(main, &TrayIconControlDialog::StopTimedRequests, this, &CMainControl::StopTimedRequests);
    connect(main, &TrayIconControlDialog::StartTimedRequests, this, &CMainControl::StartTimedRequests);
    connect(main, &TrayIconControlDialog::RadioOffSetState, this, &CMainControl::RadioOffSetState);

    connect(tray, &TrayIcon::radioAction, main, &TrayIconControlDialog::TrayRadioCall);
    connect(tray, &TrayIcon::clientAction, main, &TrayIconControlDialog::TrayClientCall);
    connect(tray, &TrayIcon::contextMenuTrigger, main, &TrayIconControlDialog::ContextMenuTriggered);
    connect(tray, &TrayIcon::ActiveGroupChange, main, &TrayIconControlDialog::OnActiveGroupChange);
    connect(tray, &TrayIcon::configureGroups, main, &TrayIconControlDialog::on_locationsBtn_clicked);
    connect(tray, &TrayIcon::connectVPN, main, &TrayIconControlDialog::on_vpnConnectBtn_clicked);

    connect(main, &TrayIconControlDialog::setRadioCheckTrayIcon, tray, &TrayIcon::checkRadio);
    connect(main, &TrayIconControlDialog::EnableRadioInTray, tray, &TrayIcon::enableRadioItem);
    connect(main, &TrayIconControlDialog::En_DisableGroupsInTray, tray, &TrayIcon::enableDisableGroups);
    connect(main, &TrayIconControlDialog::EnableStatusInTray, tray, &TrayIcon::statusEnable);
    connect(main, &TrayIconControlDialog::setTrayGroupMenu, tray, &TrayIcon::addGroups);
    connect(main, &TrayIconControlDialog::VpnEnabledDisableSignal, tray, &TrayIcon::vpnEnabled);
    // The location window belongs to the client of the moment.
    connect(main, &TrayIconControlDialog::ShowLocation, this, [this] {
        if (m_client != nullptr) m_client->ShowLocation();
    });
    connect(m_credDialog.get(), &CredDialog::ResetVpnButton, main, &TrayIconControlDialog::SetVPNButton);
}

void CMainControl::ConnectClientSlotsAndSignals() {
    CPclient* client = m_client;
    TrayIconControlDialog* main = m_mainWindow.get();
    connect(client, &CPclient::StateChange, this, &CMainControl::ProcessStateChange);
    connect(client, &CPclient::ClientDisconnected, this, &CMainControl::OnServiceFailed);
    connect(client, &CPclient::ClientConnecting, this, &CMainControl::ServiceConnected);
    connect(client, &CPclient::UserNameRequest, this, &CMainControl::UserNameRequest);
    connect(client, &CPclient::CertRequest, this, &CMainControl::CertRequest);
    connect(client, &CPclient::LogonEvent, this, &CMainControl::LogonEvent);
    connect(client, &CPclient::Fault, this, &CMainControl::Fault);
    connect(client, &CPclient::Banner, this, &CMainControl::DisplayBanner);
    connect(client, &CPclient::NoWireless, this, &CMainControl::NoWireless);
    connect(client, &CPclient::EnableClientItems, this, &CMainControl::EnableClientItems);
    connect(client, &CPclient::SmartPinRequest, this, &CMainControl::SmartPin);
    connect(client, &CPclient::ConnectMode, this, &CMainControl::SetAutoMode);
    connect(client, &CPclient::ServiceState, this, &CMainControl::SetServiceState);
    connect(client, &CPclient::VpnEnabledSignal, this, &CMainControl::SetVpnEnabled);
    connect(client, &CPclient::VpnState, this, &CMainControl::SetVpnState);

    connect(client, &CPclient::AddNetworksToGroup, main, &TrayIconControlDialog::FillNetworkGroup);
    connect(client, &CPclient::NotifyActiveGroupChng, main, &TrayIconControlDialog::NotifyActiveGroupChng);
    connect(client, &CPclient::SendChngGroupRequest, main, &TrayIconControlDialog::OnActiveGroupChange);
    connect(client, &CPclient::VpnCapabilities, main, &TrayIconControlDialog::VpnSetting);
    connect(client, &CPclient::LocationCaps, main, &TrayIconControlDialog::LocationEnabled);
    connect(client, &CPclient::AdminPolicies, main, &TrayIconControlDialog::AdminPolicySetting);
    connect(client, &CPclient::RunScriptEnabledSignal, main, &TrayIconControlDialog::EnableRunScript);

    connect(client, &CPclient::UpdateMergeList, m_model.get(), &ScanModel::UpdateScanModel);
}

void CMainControl::run() {
    CPclient* client = m_client;
    if (client != nullptr && client->connectToService()) m_clientRunning = true;
}

void CMainControl::startConnectLoop() {
    start(QThread::InheritPriority);
    m_clientRunning = true;
}

void CMainControl::dropClient() {
    if (m_client == nullptr) return;
    m_client->cancel();
    // The connect loop may still be using the client: it ends on the cancel, and is waited for.
    wait();
    delete m_client;
    m_client = nullptr;
}

void CMainControl::createClient() {
    m_client = new CPclient;
}

void CMainControl::setTrayIcon(const QString& name) {
    m_iconName = name;
    m_tray->updateIcon(QIcon(name));
}

void CMainControl::emitStatus(const QString& toolTip, const QString& mainStatus) {
    m_toolTip = toolTip;
    m_mainStatus = mainStatus;
    emit updateStatus(toolTip);
    emit updateMainStatus(mainStatus);
}

void CMainControl::emitEnables(bool enabled) {
    emit EnableAddSSIDBtn(enabled);
    emit EnableStatusBtn(enabled);
    emit EnableConfigureGroupsBtn(enabled);
    emit EnableRepairMenu(enabled);
    emit EnableStatusMenu(enabled);
    emit EnableAutoMenu(enabled);
}

void CMainControl::showServiceBox(QMessageBox::Icon icon, const QString& text) {
    m_serviceBox.setWindowTitle(QLatin1String(PRODUCT));
    m_serviceBox.setText(text);
    m_serviceBox.setIcon(icon);
    m_serviceBox.setStandardButtons(QMessageBox::Ok);
    m_serviceBox.show();
    m_serviceBox.activateWindow();
}

void CMainControl::ServiceConnected() {
    // Only the current client's connection counts; a dropped one's report may still be queued.
    if (sender() != nullptr && sender() != m_client) return;
    m_serviceBox.close();
    emit EnableStatusBtn(true);
    emit EnableConfigureGroupsBtn(true);
    emit EnableRepairMenu(true);
    emit EnableStatusMenu(true);
    emit EnableAutoMenu(true);
    m_mainWindow->enableRepairAction(true);
    m_tray->statusEnable(true);
    m_mainWindow->setClientItemsEnabled(true, true);
    if (m_client == nullptr) return;
    m_client->startReceiving();
    for (const char* request : {"getScanListRequest", "getConnectionModeRequest", "getServiceStateRequest",
                                "getAdministratorPolicyRequest", "getLocationCapabilitiesRequest"}) {
        SoapRequest::send(QLatin1String(request));
    }
    StartTimedRequests();
    m_yellowTimer.stop();
    setTrayIcon(QLatin1String(RED_ICON));
    emitStatus(tr("Varnel Tamsel: Disconnected\nAttempting Connection..."), tr("Attempting Connection..."));
}

void CMainControl::StartTimedRequests() {
    if (m_timedRequestsStarted || m_client == nullptr) return;
    m_client->setDisabledByUser(false);
    connect(&m_scanListTimer, &QTimer::timeout, m_client, &CPclient::ScanlistRequest, Qt::UniqueConnection);
    m_scanListTimer.start(SCAN_LIST_PERIOD_MS);
    // Started by a connected network and a connected VPN.
    connect(&m_statusTimer, &QTimer::timeout, m_client, &CPclient::GetLastStatusRequest,
            Qt::UniqueConnection);
    connect(&m_vpnTimer, &QTimer::timeout, m_client, &CPclient::GetLastVpnStatusRequest,
            Qt::UniqueConnection);
    m_timedRequestsStarted = true;
}

void CMainControl::StopTimedRequests() {
    if (m_client != nullptr) m_client->setDisabledByUser(true);
    m_scanListTimer.stop();
    m_statusTimer.stop();
    disconnect(&m_scanListTimer, &QTimer::timeout, nullptr, nullptr);
    disconnect(&m_statusTimer, &QTimer::timeout, nullptr, nullptr);
    m_tray->statusEnable(false);
    m_yellowTimer.stop();
    setTrayIcon(QLatin1String(RED_ICON));
    m_tray->setVisible(true);
    m_toolTip = tr("Varnel Tamsel: Disabled by user\nSelect Enable Client in Settings menu.");
    emit updateStatus(m_toolTip);
    m_timedRequestsStarted = false;
}

void CMainControl::Fault(const QString& errorCode) {
    bool ok = false;
    const int code = errorCode.trimmed().toInt(&ok);
    if (!ok) return;
    for (const FaultRow& row : FAULT_TABLE) {
        if (row.code != code) continue;
        switch (row.action) {
            case FaultAction::Configuration:
                emitStatus(tr("Varnel Tamsel: Disconnected\nConfiguration file is missing or invalid.\n"
                              "Contact your administrator."),
                           tr("Disconnected...  Configuration file is missing or invalid. Contact your "
                              "administrator."));
                m_mainWindow->setClientItemsEnabled(false, true);
                m_tray->EnableRepairMenu(true);
                m_tray->vpnEnabled(false);
                m_tray->statusEnable(false);
                break;
            case FaultAction::Box:
                showServiceBox(row.icon, tr(row.text));
                break;
            case FaultAction::Log:
                qCInfo(lcGuiClient, "%s", row.text);
                break;
        }
        return;
    }
}

void CMainControl::OnServiceFailed() {
    // A client replaced or dropped already may still report its end; only the current one counts.
    if (sender() != nullptr && sender() != m_client) return;
    emitEnables(false);
    m_mainWindow->enableRepairAction(false);
    m_mainWindow->setClientItemsEnabled(false, false);
    m_yellowTimer.stop();
    setTrayIcon(QLatin1String(RED_ICON));
    emitStatus(tr("Varnel Tamsel: The application has encountered an error."),
               tr("The application has encountered an error."));
    m_tray->setVisible(true);
    if (m_client != nullptr) {
        m_clientRunning = false;
        dropClient();
    }
    qCInfo(lcGuiClient, "Client IPC disconnected.");
    createClient();
    ConnectClientSlotsAndSignals();
    qCInfo(lcGuiClient, "Client IPC disconnected. Now restarting.");
    StopTimedRequests();
    if (m_quitting) return;
    m_about->close();
    m_status->close();
    m_credDialog->close();
    m_certDialog->close();
    m_pinDialog->close();
    m_client->clearLists();
    showServiceBox(QMessageBox::Information,
                   tr("The 'Varnel Tamsel' is stopped...\nPlease wait until the repair is finished."));
    qCInfo(lcGuiClient, "Service shutdown and restarting...");
    m_toolTip = tr("Varnel Tamsel: Repairing...");
    emit updateStatus(m_toolTip);
    startConnectLoop();
    qCInfo(lcGuiClient, "Repairing Client IPC to server.");
    m_repairRequested = false;
}

void CMainControl::OnRepair() {
    if (m_clientRunning.load()) {
        qCInfo(lcGuiClient, "Client restart, shutting down service.");
        if (m_client != nullptr) m_client->sendRepair();
        m_clientRunning = false;
        m_repairRequested = true;
        return;
    }
    qCInfo(lcGuiClient, "Client and Service restart.");
    startConnectLoop();
    m_repairRequested = false;
}

void CMainControl::OnClose() {
    if (m_quitting) return;
    qCInfo(lcGuiClient, "Quit Signal was sent to tamselgui.exe.");
    qCInfo(lcGuiClient, "tamselgui.exe is now shutting down gracefully.");
    m_quitting = true;
    StopTimedRequests();
    m_clientRunning = false;
    dropClient();
    emit done();
    if (m_instanceRelease) m_instanceRelease();
}

void CMainControl::PacketRequest() {
    if (m_client != nullptr) m_client->getScanListRequest();
}

void CMainControl::GetNetworkStatus() {
    m_status->updateFromModel(m_model.get());
    if (m_client != nullptr) m_client->GetLastStatusRequest();
    m_status->showAndActivate();
}

void CMainControl::MainWindow() {
    m_mainWindow->show();
    m_mainWindow->activateWindow();
}

void CMainControl::IconActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::DoubleClick) return;
    if (m_mainWindow->isMinimized()) m_mainWindow->showNormal();
    MainWindow();
}

void CMainControl::SetAutoMode(bool automatic, const QString& networkName) {
    autoModeFlag = automatic;
    m_tray->autoMode(automatic);
    m_model->setAutoMode(automatic, networkName);
    m_mainWindow->set_ManualMode(!automatic);
}

void CMainControl::SetPopups(bool on) {
    m_popups = on;
}

void CMainControl::SetServiceState(bool clientEnabled, bool radioEnabled, bool captureEnabled) {
    m_mainWindow->setServiceState(clientEnabled, radioEnabled, captureEnabled);
    m_tray->setRadioChecked(radioEnabled);
    m_tray->statusEnable(clientEnabled);
}

void CMainControl::NoWireless(bool noWireless) {
    m_mainWindow->NoWireless(noWireless);
    m_tray->noRadio(noWireless);
    // Without wireless there is nothing scanned to offer.
    if (noWireless) m_model->clearScanResults();
}

void CMainControl::EnableClientItems() {
    QTimer::singleShot(ENABLE_CLIENT_ITEMS_DELAY_MS, m_mainWindow.get(),
                       &TrayIconControlDialog::EnableClientItems);
}

void CMainControl::SuspendResumeDisconnectVPN() {
    m_mainWindow->SuspendResumeVpnDisconnect();
}
