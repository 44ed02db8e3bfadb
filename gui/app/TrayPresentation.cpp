// How the controller shows the service's state and questions: tray icon, tool tip, status line,
// balloons, prompts and the VPN's boxes.
#include <QIcon>
#include <QPushButton>

#include "gui/app/CMainControl.h"
#include "gui/app/CPclient.h"
#include "gui/client/SoapRequest.h"
#include "gui/windows/CertDialog.h"
#include "gui/windows/CredDialog.h"
#include "gui/windows/ModalRunner.h"
#include "gui/windows/NetworkStatus.h"
#include "gui/windows/ScanModel.h"
#include "gui/windows/SmartPinDialog.h"
#include "gui/windows/TrayIcon.h"
#include "gui/windows/TrayIconControlDialog.h"

namespace {

const char* const TOOL_TIP_WIRED_VPN =
    "Varnel Tamsel Wired/Wireless Network\nConnected: %1\nStatus: %2\nIP: %4";
const char* const TOOL_TIP_WIRED = "Varnel Tamsel Wired/Wireless Network\nConnection: %1\nStatus: %2\nIP: %4";
const char* const TOOL_TIP_WIRELESS_VPN =
    "Varnel Tamsel Wired/Wireless Network\nConnected: %1\nStatus: %2\nStrength: %3\nIP: %4";
const char* const TOOL_TIP_WIRELESS =
    "Varnel Tamsel Wired/Wireless Network\nConnection: %1\nStatus: %2\nStrength: %3\nIP: %4";
const char* const TOOL_TIP_YELLOW =
    "Varnel Tamsel Wired/Wireless Network\nConnection: %1\nStatus: %2\nStrength: %3";
const char* const TERMINATED = "Your VPN connection has been terminated.";
const int YELLOW_FRAMES = 6;

}  // namespace

void CMainControl::ProcessStateChange(const StateEvent& event) {
    if (!event.networkName.isEmpty()) {
        m_model->updateStatus(event);
        m_status->updateFromModel(m_model.get());
        m_status->updateFromStateEvent(event);
    }
    m_statusText = event.displayStatus;
    m_groupName = event.groupName;
    m_ipAddress = event.ipAddress;
    m_networkName = event.networkName;
    m_outerEapMethod = event.outerEapMethod;
    m_shortName = m_networkName.size() <= SHORT_NAME_LENGTH
                      ? m_networkName
                      : m_networkName.left(SHORT_NAME_LENGTH) + QLatin1String("...");
    m_strength = m_rater.signalLevelText(event.signalStrengthInDbm, event.channel.toInt());

    const int row = m_model->currentRow();
    const QString security = row >= 0 ? m_model->text(row, ScanModel::SecurityColumn) : QString();
    m_wired = (row >= 0 ? m_model->text(row, ScanModel::SsidColumn) : QString()).isEmpty();

    const bool connected = m_statusText.contains(QLatin1String("Connected")) || m_vpnConnecting;
    if (connected) m_credentialFailureShown.clear();
    showCredentialFailure(event);
    if (!connected) {
        m_statusTimer.stop();
        SetYellowIcon(m_wired);
        m_mainWindow->enableVpnButton(false);
        m_tray->vpnEnabled(false);
        m_runScriptPending = true;
        return;
    }
    m_statusTimer.start(STATUS_PERIOD_MS);
    const bool blue = security.contains(QLatin1String("open"), Qt::CaseInsensitive) ||
                      (m_wired && m_outerEapMethod.contains(QLatin1String("none")));
    if (blue) {
        SetBlueIcon(m_wired);
    } else {
        SetGreenIcon(m_wired);
    }
    if (!m_vpnConnected && !m_vpnConnecting) {
        m_mainWindow->enableVpnButton(true);
        m_tray->vpnEnabled(true);
    }
    if (m_runScriptPending) {
        if (row >= 0) m_mainWindow->runNetworkScript(m_model->index(row, ScanModel::NameColumn));
        m_runScriptPending = false;
    }
}

void CMainControl::showCredentialFailure(const StateEvent& event) {
    static const struct {
        const char* failure;
        const char* text;
    } REASONS[] = {
        {"wrongPin", QT_TR_NOOP("the smart card refused the PIN.")},
        {"cardBlocked", QT_TR_NOOP("the smart card is blocked. Contact your administrator.")},
        {"noCertificate", QT_TR_NOOP("no certificate is available for it.")},
    };
    if (event.credentialFailure.isEmpty() || m_mainWindow->isVisible()) return;
    // Every failed attempt repeats the reason: the balloon comes once until the network connects.
    const QString shown = event.networkName + QLatin1Char('\n') + event.credentialFailure;
    if (shown == m_credentialFailureShown) return;
    for (const auto& reason : REASONS) {
        if (event.credentialFailure != QLatin1String(reason.failure)) continue;
        m_credentialFailureShown = shown;
        m_tray->showBalloon(tr("Authentication failed"),
                            tr("Authentication to %1 failed: %2").arg(event.networkName, tr(reason.text)),
                            QSystemTrayIcon::Warning, 15000);
        return;
    }
}

void CMainControl::SetGreenIcon(bool wired) {
    m_yellowTimer.stop();
    // Texts are filled in one pass, so a name holding "%1" stays as it is.
    if (wired) {
        setTrayIcon(QStringLiteral(":/Icons/greenWired"));
        if (m_vpnConnected) {
            setTrayIcon(QStringLiteral(":/Icons/greenWiredVPN"));
            emitStatus(
                tr(TOOL_TIP_WIRED_VPN).arg(m_shortName, m_statusText, m_ipAddress),
                tr("VPN Connected: %1    Status: %2    IP: %4").arg(m_shortName, m_statusText, m_ipAddress));
        } else {
            emitStatus(
                tr(TOOL_TIP_WIRED).arg(m_shortName, m_statusText, m_ipAddress),
                tr("Connection: %1    Status: %2    IP: %4").arg(m_shortName, m_statusText, m_ipAddress));
        }
    } else {
        setTrayIcon(m_vpnConnected ? QStringLiteral(":/Icons/greenVPN") : QStringLiteral(":/Icons/green"));
        emitStatus(tr(m_vpnConnected ? TOOL_TIP_WIRELESS_VPN : TOOL_TIP_WIRELESS)
                       .arg(m_shortName, m_statusText, m_strength, m_ipAddress),
                   tr("Connection: %1    Status: %2    Strength: %3    IP: %4")
                       .arg(m_shortName, m_statusText, m_strength, m_ipAddress));
    }
    m_tray->setVisible(true);
}

void CMainControl::SetBlueIcon(bool wired) {
    m_yellowTimer.stop();
    const QString mainStatus = m_vpnConnected
                                   ? tr("VPN Connected. IP: %1").arg(m_ipAddress)
                                   : tr("Connected to open(non-secured) network. IP: %1").arg(m_ipAddress);
    if (wired) {
        setTrayIcon(m_vpnConnected ? QStringLiteral(":/Icons/blueWiredVPN")
                                   : QStringLiteral(":/Icons/blueWired"));
        emitStatus(tr(m_vpnConnected ? TOOL_TIP_WIRED_VPN : TOOL_TIP_WIRED)
                       .arg(m_shortName, m_statusText, m_ipAddress),
                   mainStatus);
    } else {
        setTrayIcon(m_vpnConnected ? QStringLiteral(":/Icons/blueVPN") : QStringLiteral(":/Icons/blue"));
        emitStatus(tr(m_vpnConnected ? TOOL_TIP_WIRELESS_VPN : TOOL_TIP_WIRELESS)
                       .arg(m_shortName, m_statusText, m_strength, m_ipAddress),
                   mainStatus);
    }
    m_tray->setVisible(true);
}

void CMainControl::SetYellowIcon(bool wired) {
    emitStatus(tr(TOOL_TIP_YELLOW).arg(m_shortName, m_statusText, m_strength),
               tr("Connection: %1    Status: %2    Strength: %3").arg(m_shortName, m_statusText, m_strength));
    // The frames follow each other on a timer, so the GUI thread never waits between them.
    m_yellowWired = wired;
    m_yellowFrame = 0;
    nextYellowFrame();
    m_yellowTimer.start();
    m_tray->setVisible(true);
}

void CMainControl::nextYellowFrame() {
    ++m_yellowFrame;
    const QString pattern =
        m_yellowWired ? QStringLiteral(":/Icons/Wiredyellow%1") : QStringLiteral(":/Icons/yellow%1");
    setTrayIcon(pattern.arg(m_yellowFrame));
    if (m_yellowFrame >= YELLOW_FRAMES) m_yellowTimer.stop();
}

void CMainControl::RadioOffSetState() {
    m_yellowTimer.stop();
    setTrayIcon(QStringLiteral(":/Icons/red"));
    m_toolTip = tr("Varnel Tamsel: Wi-Fi disabled");
    emit updateStatus(m_toolTip);
    m_tray->setVisible(true);
}

void CMainControl::SetVpnState(const QString& state, const QString& status) {
    if (!m_vpnEnabled) return;
    if (state == QLatin1String("connected")) {
        m_vpnConnected = true;
        m_mainWindow->SetVPNButton(true);
        m_vpnTimer.start(VPN_PERIOD_MS);
        m_tray->setVpnDisconnect();
        m_tray->vpnEnabled(true);
        m_vpnConnecting = false;
    } else if (state == QLatin1String("connecting")) {
        m_vpnConnected = false;
        m_vpnConnecting = true;
        m_mainWindow->SetVPNButton(true);
        m_tray->setVpnDisconnect();
        m_tray->vpnEnabled(true);
    } else if (state == QLatin1String("disconnecting")) {
        m_vpnConnected = false;
        m_vpnConnecting = true;
        m_mainWindow->enableVpnButton(false);
        m_tray->setVpnConnect();
        m_tray->vpnEnabled(false);
    } else {
        m_vpnConnected = false;
        m_vpnConnecting = false;
        m_mainWindow->SetVPNButton(false);
        m_vpnTimer.stop();
        m_tray->setVpnConnect();
        m_tray->vpnEnabled(true);
    }
    if (m_client != nullptr) m_client->GetLastStatusRequest();
    if (status.isEmpty() || status == QLatin1String("none")) return;
    if (status != QLatin1String(TERMINATED)) {
        runVpnStatusBox(m_vpnStatusBox, status);
    } else {
        if (m_bannerBox.isVisible()) {
            answerBanner(false);
            m_bannerBox.hide();
        }
        runVpnStatusBox(m_vpnTerminatedBox, status);
    }
    m_mainWindow->SetVPNButton(false);
}

void CMainControl::runVpnStatusBox(QMessageBox& box, const QString& status) {
    box.setWindowTitle(tr("VPN Status"));
    box.setText(status);
    box.setIcon(QMessageBox::Warning);
    box.setStandardButtons(QMessageBox::Ok);
    ModalRunner::current().exec(box);
}

void CMainControl::SetVpnEnabled(bool enabled) {
    m_vpnEnabled = enabled;
    m_mainWindow->VpnSetState(enabled);
    m_tray->vpnVisible(enabled);
    m_vpnConnecting = false;
    if (!enabled) return;
    SoapRequest::send(QStringLiteral("getVpnCapabilitiesRequest"));
    if (m_client != nullptr) m_client->GetLastVpnStatusRequest();
}

void CMainControl::answerBanner(bool accepted) {
    SoapRequest::send(
        QStringLiteral("getBannerResponse"),
        {{QStringLiteral("bannerAccepted"), accepted ? QStringLiteral("true") : QStringLiteral("false")}});
}

void CMainControl::DisplayBanner(const QString& prompt) {
    m_bannerBox.setWindowTitle(tr("VPN Banner"));
    m_bannerBox.setText(tr("%1.").arg(prompt));
    m_bannerBox.setIcon(QMessageBox::Warning);
    m_bannerBox.show();
    m_bannerBox.activateWindow();
    m_vpnStatusBox.close();
    m_vpnTerminatedBox.close();
    ModalRunner::current().exec(m_bannerBox);
    // A banner hidden meanwhile (the VPN ended) was answered already: no button, nothing sent.
    if (m_bannerBox.clickedButton() == m_continueButton) {
        answerBanner(true);
    } else if (m_bannerBox.clickedButton() == m_disconnectButton) {
        answerBanner(false);
    }
    m_bannerBox.hide();
}

bool CMainControl::promptShownAtOnce(const QWidget& dialog) const {
    return m_mainWindow->isVisible() || dialog.isVisible();
}

void CMainControl::UserNameRequest(const Credentials& credentials) {
    const bool vpn = credentials.passwordType().isEmpty();
    if (promptShownAtOnce(*m_credDialog) || vpn) {
        m_credDialog->prepare(credentials);
        m_credDialog->show();
        m_credDialog->activateWindow();
    }
    if (!m_credDialog->isVisible()) {
        m_tray->showBalloon(vpn ? tr("VPN Username/Password request") : tr("Username/Password request"),
                            tr("The network is requesting username and password. Click in this balloon to "
                               "enter your username and password"),
                            QSystemTrayIcon::Information, BALLOON_MS);
        m_credDialog->prepare(credentials);
    }
    m_pendingKind = QStringLiteral("UserPassword");
}

void CMainControl::CertRequest(const Certificate& certificate) {
    const bool atOnce = promptShownAtOnce(*m_certDialog);
    m_certDialog->setRequestContext(certificate);
    if (atOnce) {
        m_certDialog->setCertificateList(certificate.entries());
        m_certDialog->show();
        m_certDialog->activateWindow();
    }
    m_pendingCertificates = certificate.entries();
    if (!atOnce && !m_pendingCertificates.isEmpty()) {
        m_tray->showBalloon(
            tr("Certificate Request"),
            tr("The network is requesting a certificate. Click in this balloon to choose your "
               "certificate"),
            QSystemTrayIcon::Information, BALLOON_MS);
    }
    m_pendingKind = QStringLiteral("Certificate");
}

void CMainControl::SmartPin(const QString& smartCardName, const QString& groupName,
                            const QString& networkName) {
    if (!promptShownAtOnce(*m_pinDialog)) {
        // The click answers for this request's network, whatever state events came meanwhile.
        m_smartCardName = smartCardName;
        m_pinGroupName = groupName;
        m_pinNetworkName = networkName;
        m_tray->showBalloon(
            tr("PIN Request"),
            tr("The network is requesting a PIN for the smartcard %1. Click in this balloon to "
               "enter your PIN")
                .arg(smartCardName),
            QSystemTrayIcon::Information, BALLOON_MS);
        m_pendingKind = QStringLiteral("PIN");
        return;
    }
    m_pinDialog->showForNetwork(smartCardName, groupName, networkName);
    m_pinDialog->activateWindow();
}

void CMainControl::LogonEvent() {
    m_tray->showBalloon(tr("Password Expired"),
                        tr("Your password has expired. Type Ctrl-Alt-Del and select Change Password."),
                        QSystemTrayIcon::Information, BALLOON_MS);
    m_pendingKind = QStringLiteral("passwordExpired");
}

void CMainControl::messageClicked() {
    if (m_pendingKind == QLatin1String("UserPassword") || m_pendingKind == QLatin1String("VpnCredentials")) {
        m_credDialog->show();
        m_credDialog->activateWindow();
    } else if (m_pendingKind == QLatin1String("Certificate")) {
        m_certDialog->setCertificateList(m_pendingCertificates);
        m_certDialog->show();
        m_certDialog->activateWindow();
    } else if (m_pendingKind == QLatin1String("PIN")) {
        m_pinDialog->showForNetwork(m_smartCardName, m_pinGroupName, m_pinNetworkName);
        m_pinDialog->activateWindow();
    }
}
