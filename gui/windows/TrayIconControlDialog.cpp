#include "gui/windows/TrayIconControlDialog.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QShortcut>

#include "gui/client/AdminPolicy.h"
#include "gui/client/ClientLog.h"
#include "gui/client/SoapRequest.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/AutoModeFlag.h"
#include "gui/windows/CustomDelegate.h"
#include "gui/windows/KeyInfo.h"
#include "gui/windows/Locations.h"
#include "gui/windows/ScanModel.h"
#include "gui/windows/ShowMainWindowFlag.h"
#include "gui/windows/TrayIconControlDialogForm.h"
#include "gui/windows/VpnConnection.h"
#include "gui/windows/WindowResources.h"

namespace {

QAction* makeAction(QObject* owner, const QString& text, const QString& shortcut, const QString& toolTip) {
    auto* action = new QAction(text, owner);
    if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    if (!toolTip.isEmpty()) action->setToolTip(toolTip);
    return action;
}

void makeChecked(QAction* action) {
    action->setCheckable(true);
    action->setChecked(true);
}

}  // namespace

TrayIconControlDialog::TrayIconControlDialog(ScanModel* model, QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), m_form(std::make_unique<Ui::TrayIconControlDialogClass>()), m_model(model) {
    initWindowResources();
    m_contextMenu = new QMenu(this);
    // Owned by the window, so emptying the context menu never deletes them.
    m_connectAction = makeAction(this, tr("Connect"), QString(), tr("Connect to this network"));
    m_connectExAction = makeAction(this, tr("Connect Exclusively"), QString(),
                                   tr("Connect only to this network, setting Manual Mode."));
    m_connectExAction->setCheckable(true);
    m_deleteAction = makeAction(this, tr("Delete"), QString(), tr("Delete this network"));
    m_editAction = makeAction(this, tr("Edit..."), QString(), tr("View network properties"));
    m_locations = std::make_unique<Locations>();
    m_keyInfo = std::make_unique<KeyInfo>();

    m_form->setupUi(this);
    ScanListWidget* list = m_form->scanTreeView;
    list->setScanModel(model);
    list->setItemDelegate(new CustomDelegate(list));
    m_keyInfo->setModel(model);
    for (QWidget* widget :
         {static_cast<QWidget*>(m_form->connectBtn), static_cast<QWidget*>(m_form->propertiesBtn),
          static_cast<QWidget*>(m_form->deleteBtn), static_cast<QWidget*>(m_form->addSsidBtn),
          static_cast<QWidget*>(m_form->statusBtn), static_cast<QWidget*>(m_form->label_2)}) {
        QFont font = widget->font();
        font.setWeight(QFont::Normal);
        widget->setFont(font);
    }

    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName("statusLabel");
    m_statusLabel->setFocusPolicy(Qt::TabFocus);
    // The status line takes the width the window has and never asks for more: a longer status (the
    // VPN's added to the network's) must not widen the window. What does not fit is in its tool tip.
    m_statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(m_statusLabel, 1);

    connect(list, &ScanListWidget::EnablePropertiesBtn, this, &TrayIconControlDialog::EnablePropertiesBtn);
    connect(list, &ScanListWidget::EnableConnectBtn, this, &TrayIconControlDialog::EnableConnectBtn);
    connect(list, &ScanListWidget::EnableConnectExBtn, this, &TrayIconControlDialog::EnableConnectExBtn);
    connect(list, &ScanListWidget::CheckConnectExBtn, this, &TrayIconControlDialog::CheckConnectExBtn);
    connect(list, &ScanListWidget::EnableDeleteBtn, this, &TrayIconControlDialog::EnableDeleteBtn);
    connect(list, &ScanListWidget::MapNetworkData, this, &TrayIconControlDialog::MapNetworkData);
    connect(list, &ScanListWidget::ClearMenu, this, &TrayIconControlDialog::ClearMenu);
    connect(list, &ScanListWidget::ShowMenu, this, &TrayIconControlDialog::ShowMenu);
    connect(list, &ScanListWidget::SetManualMode, this, &TrayIconControlDialog::ManualMode);
    connect(list, &ScanListWidget::MapKeyInfoData, m_keyInfo.get(), &KeyInfo::MapKeyInfoData);
    connect(list, &ScanListWidget::ProcessConnectDlg, m_keyInfo.get(), &KeyInfo::ProcessConnectDlg);
    connect(m_keyInfo.get(), &KeyInfo::SetManualMode, this, &TrayIconControlDialog::ManualMode);
    connect(m_keyInfo.get(), &KeyInfo::returnToAutoMode, this, &TrayIconControlDialog::returnToAutoMode);
    connect(m_connectAction, &QAction::triggered, this, &TrayIconControlDialog::on_connectBtn_clicked);
    connect(m_connectExAction, &QAction::triggered, this, &TrayIconControlDialog::on_connectExBtn_clicked);
    connect(m_deleteAction, &QAction::triggered, this, &TrayIconControlDialog::on_deleteBtn_clicked);
    connect(m_editAction, &QAction::triggered, this, &TrayIconControlDialog::on_propertiesBtn_clicked);
    connect(m_locations.get(), &Locations::GroupReturnToAuto, this,
            &TrayIconControlDialog::GroupReturnToAuto);
    connect(m_form->connectBtn, &QPushButton::clicked, this, &TrayIconControlDialog::on_connectBtn_clicked);
    connect(m_form->propertiesBtn, &QPushButton::clicked, this,
            &TrayIconControlDialog::on_propertiesBtn_clicked);
    connect(m_form->deleteBtn, &QPushButton::clicked, this, &TrayIconControlDialog::on_deleteBtn_clicked);
    connect(m_form->addSsidBtn, &QPushButton::clicked, this, &TrayIconControlDialog::on_addSsidBtn_clicked);
    connect(m_form->statusBtn, &QPushButton::clicked, this, &TrayIconControlDialog::on_statusBtn_clicked);
    connect(m_form->vpnConnectBtn, &QPushButton::clicked, this,
            &TrayIconControlDialog::on_vpnConnectBtn_clicked);

    createActions();
    createMenus();
    orvik::QtHelp::registerDialog(this, QStringLiteral("helpBindings"));
    m_form->label->setPixmap(QPixmap(QStringLiteral(":/Icons/Logo")));

    if (showMainWindowAtStart) show();
    activateWindow();
}

TrayIconControlDialog::~TrayIconControlDialog() = default;

void TrayIconControlDialog::showEvent(QShowEvent* event) {
    // The window opens wide enough for every column of the list, the status included; once open it
    // keeps the width it has, whatever the list and the status line come to hold.
    ScanListWidget* list = m_form->scanTreeView;
    list->fitNameColumn();
    const int missing = list->widthForColumns() - list->width();
    if (missing > 0) resize(width() + missing, height());
    QMainWindow::showEvent(event);
}

void TrayIconControlDialog::createActions() {
    m_clientAction = makeAction(this, tr("Enable &Client"), QStringLiteral("Alt+C"),
                                tr("Enable or disable Client Connection Software"));
    makeChecked(m_clientAction);
    connect(m_clientAction, &QAction::triggered, this, &TrayIconControlDialog::ClientOnOff);
    m_radioAction = makeAction(this, tr("Enable &Wi-fi Radio"), QStringLiteral("Alt+W"),
                               tr("Enable or disable Wi-fi Radio"));
    makeChecked(m_radioAction);
    connect(m_radioAction, &QAction::triggered, this, &TrayIconControlDialog::RadioOnOff);
    m_locationAction = makeAction(this, tr("&Location"), QString(), QString());
    m_locationAction->setVisible(false);
    connect(m_locationAction, &QAction::triggered, this, &TrayIconControlDialog::ShowLocation);
    m_configureGroupsAction = makeAction(this, tr("Configure Groups..."), QStringLiteral("Ctrl+G"),
                                         tr("Open groups configuration dialog."));
    connect(m_configureGroupsAction, &QAction::triggered, this,
            &TrayIconControlDialog::on_locationsBtn_clicked);
    m_helpAction = makeAction(this, tr("&Help..."), QStringLiteral("F1"), tr("Get the application's help"));
    connect(m_helpAction, &QAction::triggered, this, &TrayIconControlDialog::Help);
    m_repairAction =
        makeAction(this, tr("&Repair"), QStringLiteral("Ctrl+R"), tr("Attempt to repair broken connection."));
    connect(m_repairAction, &QAction::triggered, this, &TrayIconControlDialog::RepairCall);
    m_extendedLoggingAction = makeAction(this, tr("&Extended Logging"), QString(),
                                         tr("Start Debugging mode by turning on Packet Capture."));
    m_extendedLoggingAction->setCheckable(true);
    m_extendedLoggingAction->setVisible(false);
    connect(m_extendedLoggingAction, &QAction::triggered, this, &TrayIconControlDialog::PacketCap);
    m_aboutAction = makeAction(this, tr("&About..."), QString(), tr("Show the application's About box"));
    connect(m_aboutAction, &QAction::triggered, this, &TrayIconControlDialog::AboutCall);
    m_balloonsAction =
        makeAction(this, tr("Enable &system tray notifications for network requests"), QString(),
                   tr("Enable or disable direct popup windows instead of balloon notifications"));
    makeChecked(m_balloonsAction);
    connect(m_balloonsAction, &QAction::triggered, this, &TrayIconControlDialog::BalloonsOnOff);

    m_extendedLoggingShortcut = new QShortcut(QKeySequence(QStringLiteral("Alt+Shift+L")), this);
    connect(m_extendedLoggingShortcut, &QShortcut::activated, this,
            &TrayIconControlDialog::ExtendedLoggingMenu);
}

void TrayIconControlDialog::createMenus() {
    m_settingsMenu = menuBar()->addMenu(tr("&Settings"));
    m_settingsMenu->addAction(m_clientAction);
    m_settingsMenu->addAction(m_radioAction);
    m_settingsMenu->addAction(m_locationAction);
    m_groupsMenu = menuBar()->addMenu(tr("&Groups"));
    m_groupsMenu->addAction(m_configureGroupsAction);
    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->addAction(m_helpAction);
    m_helpMenu->addAction(m_repairAction);
    m_helpMenu->addAction(m_extendedLoggingAction);
    m_helpMenu->addAction(m_aboutAction);
}

void TrayIconControlDialog::setVisible(bool visible) {
    QMainWindow::setVisible(visible);
    emit visibleChanged(visible);
}

bool TrayIconControlDialog::isAutomatedVpnCapable() const {
    return m_vpn != nullptr && m_vpn->isAutomatedVpnCapable();
}

// Selection and buttons.

void TrayIconControlDialog::showContextAction(QAction* action, bool shown) {
    // Adding an action the menu holds already moves it to the end.
    if (shown) {
        m_contextMenu->addAction(action);
    } else {
        m_contextMenu->removeAction(action);
    }
}

void TrayIconControlDialog::EnablePropertiesBtn(bool enabled) {
    showContextAction(m_editAction, enabled);
    m_form->propertiesBtn->setEnabled(enabled);
}

void TrayIconControlDialog::EnableConnectBtn(bool enabled) {
    // In manual mode Connect stays available: it is the way back to a network of one's choice.
    m_form->connectBtn->setEnabled(autoModeFlag ? enabled : true);
    showContextAction(m_connectAction, enabled);
}

void TrayIconControlDialog::EnableConnectExBtn(bool enabled) {
    showContextAction(m_connectExAction, enabled);
}

void TrayIconControlDialog::CheckConnectExBtn(bool checked) {
    m_connectExAction->setChecked(checked);
}

void TrayIconControlDialog::EnableDeleteBtn(bool enabled) {
    showContextAction(m_deleteAction, enabled);
    m_form->deleteBtn->setEnabled(enabled);
}

void TrayIconControlDialog::EnableAddSSIDBtn(bool enabled) {
    m_form->addSsidBtn->setEnabled(enabled);
}

void TrayIconControlDialog::EnableStatusBtn(bool enabled) {
    m_form->statusBtn->setEnabled(enabled);
}

void TrayIconControlDialog::EnableConfigureGroupsBtn(bool enabled) {
    m_configureGroupsAction->setEnabled(enabled);
}

void TrayIconControlDialog::ClearMenu() {
    m_contextMenu->clear();
}

void TrayIconControlDialog::ShowMenu() {
    m_contextMenu->popup(QCursor::pos());
}

void TrayIconControlDialog::MapNetworkData(ScanModel* model, const QModelIndex& index) {
    if (model == nullptr || !index.isValid()) return;
    m_selectedNetworkName = model->index(index.row(), ScanModel::NameColumn).data().toString();
}

void TrayIconControlDialog::resetSelection() {
    showContextAction(m_editAction, false);
    m_form->propertiesBtn->setEnabled(false);
    m_form->connectBtn->setEnabled(!autoModeFlag);
    showContextAction(m_connectAction, false);
    showContextAction(m_connectExAction, false);
    showContextAction(m_deleteAction, false);
    m_form->deleteBtn->setEnabled(false);
    m_model->emitListReset();
}

// Network actions.

void TrayIconControlDialog::on_connectBtn_clicked() {
    m_keyInfo->ProcessConnectDlg(false);
    resetSelection();
}

void TrayIconControlDialog::on_connectExBtn_clicked() {
    if (m_connectExAction->isChecked()) {
        m_keyInfo->ProcessConnectDlg(true);
    } else {
        m_keyInfo->ProcessConnectDlg(false);
        returnToAutoMode();
    }
    resetSelection();
}

void TrayIconControlDialog::on_propertiesBtn_clicked() {
    m_keyInfo->ShowPropertiesDlg();
    resetSelection();
}

void TrayIconControlDialog::on_deleteBtn_clicked() {
    SoapRequest::send(QStringLiteral("removeNetworkRequest"),
                      {{QStringLiteral("groupName"), m_activeGroupName},
                       {QStringLiteral("networkName"), m_selectedNetworkName}});
    resetSelection();
    // The manual network is gone: the service is to choose again.
    if (!autoModeFlag && m_selectedNetworkName == m_model->currentRowName()) returnToAutoMode();
}

void TrayIconControlDialog::on_addSsidBtn_clicked() {
    m_keyInfo->MapAddSSIDInfoData();
    for (QAction* action : {m_connectAction, m_connectExAction, m_deleteAction, m_editAction})
        showContextAction(action, true);
    m_form->propertiesBtn->setEnabled(true);
    m_form->connectBtn->setEnabled(true);
    m_form->deleteBtn->setEnabled(true);
    m_model->emitListReset();
}

void TrayIconControlDialog::on_statusBtn_clicked() {
    emit ProcessNetworkStatusDlg();
    m_model->emitListReset();
}

void TrayIconControlDialog::ManualMode(const QString& networkName) {
    m_form->connectBtn->setEnabled(true);
    emit AutoMode(false, networkName);
}

void TrayIconControlDialog::set_ManualMode(bool manual) {
    if (manual) m_form->connectBtn->setEnabled(true);
}

void TrayIconControlDialog::returnToAutoMode() {
    SoapRequest::send(QStringLiteral("enableAutoconnectRequest"));
    emit AutoMode(true, QString());
}

void TrayIconControlDialog::GroupReturnToAuto(const QString& networkName) {
    if (autoModeFlag) return;
    if (networkName == m_model->currentRowName()) returnToAutoMode();
}

void TrayIconControlDialog::ContextMenuTriggered(const QString& text) {
    if (text == QLatin1String("AutoMode")) {
        returnToAutoMode();
        return;
    }
    QString name = text;
    if (name.contains(QLatin1String("(Connected)"), Qt::CaseInsensitive))
        name.remove(QStringLiteral(" (Connected)"));
    if (name.contains(QLatin1String("(VPN Connected)"), Qt::CaseInsensitive))
        name.remove(QStringLiteral(" (VPN Connected)"));
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->text(row, ScanModel::NameColumn) == name) {
            m_keyInfo->MapKeyInfoData(m_model, m_model->index(row, ScanModel::NameColumn));
            on_connectBtn_clicked();
            return;
        }
    }
    // No row of that name (the list changed meanwhile): the editor's last row must not be connected.
}

// Groups.

void TrayIconControlDialog::NotifyActiveGroupChng(const QString& groupName) {
    m_keyInfo->SetActiveGroup(groupName);
    m_activeGroupName = groupName;
    m_form->groupBox_2->setTitle(tr("Available Connections for Group '%1'").arg(groupName));
}

void TrayIconControlDialog::FillNetworkGroup(const GroupItemList& groups, ResponseType type) {
    m_groups = groups;
    if (type != ResponseType::SetActiveGroupResponse) rebuildGroupsMenu(groups);
    emit setTrayGroupMenu(groups);
    m_locations->fill(&m_groups);
}

void TrayIconControlDialog::rebuildGroupsMenu(const GroupItemList& groups) {
    m_groupsMenu->clear();
    for (int i = 0; i < groups.count(); ++i) {
        QAction* group = m_groupsMenu->addAction(groups.at(i).name());
        connect(group, &QAction::triggered, this, &TrayIconControlDialog::groupTriggered);
        group->setCheckable(true);
        group->setChecked(groups.at(i).isActive());
    }
    m_groupsMenu->addSeparator();
    m_groupsMenu->addAction(m_configureGroupsAction);
}

void TrayIconControlDialog::groupTriggered() {
    if (auto* group = qobject_cast<QAction*>(sender())) OnActiveGroupChange(group->text());
}

void TrayIconControlDialog::OnActiveGroupChange(const QString& groupName) {
    m_model->clearAll();
    SoapRequest::send(QStringLiteral("setActiveGroupRequest"), {{QStringLiteral("groupName"), groupName}});
    m_statusLabel->setText(QString());
    m_model->emitListReset();
    returnToAutoMode();
    SoapRequest::send(QStringLiteral("resendLastNetworkStateEventRequest"));
}

void TrayIconControlDialog::on_locationsBtn_clicked() {
    m_locations->showDialog();
    m_model->emitListReset();
}

// Client and radio.

void TrayIconControlDialog::ClientOnOff() {
    if (m_clientAction->isChecked()) {
        SoapRequest::send(QStringLiteral("enableTamselRequest"));
        m_statusLabel->setText(tr("Enabling Client, please wait..."));
        emit StartTimedRequests();
        SoapRequest::send(QStringLiteral("getServiceStateRequest"));
        // Enabled again once the service has enabled the client.
        m_clientAction->setEnabled(false);
    } else {
        SoapRequest::send(QStringLiteral("disableTamselRequest"));
        m_model->clearAll();
        m_statusLabel->setText(tr("Client is Disabled."));
        emit StopTimedRequests();
        for (QAction* action : {m_radioAction, m_repairAction, m_configureGroupsAction})
            action->setEnabled(false);
        for (QWidget* button :
             {static_cast<QWidget*>(m_form->statusBtn), static_cast<QWidget*>(m_form->addSsidBtn),
              static_cast<QWidget*>(m_form->connectBtn)}) {
            button->setEnabled(false);
        }
        emit EnableRadioInTray(false);
        m_groupsMenu->setEnabled(false);
        emit En_DisableGroupsInTray(false);
        m_form->vpnConnectBtn->setEnabled(false);
        emit VpnEnabledDisableSignal(false);
    }
    m_fromTray = false;
}

void TrayIconControlDialog::RadioOnOff() {
    if (m_radioAction->isChecked()) {
        SoapRequest::send(QStringLiteral("turnOnRadioRequest"));
        m_statusLabel->setText(tr("The Wi-fi radio is turned on."));
        if (m_vpnCapable) {
            m_form->vpnConnectBtn->setEnabled(isAutomatedVpnCapable());
            emit VpnEnabledDisableSignal(isAutomatedVpnCapable());
        }
    } else {
        SoapRequest::send(QStringLiteral("turnOffRadioRequest"));
        m_model->clearScanResults();
        m_statusLabel->setText(tr("Wi-Fi disabled"));
        emit RadioOffSetState();
        m_form->vpnConnectBtn->setEnabled(false);
        emit VpnEnabledDisableSignal(false);
    }
    // The tray toggled its own item already.
    if (!m_fromTray) emit setRadioCheckTrayIcon();
    m_fromTray = false;
}

void TrayIconControlDialog::TrayRadioCall() {
    m_radioAction->setChecked(!m_radioAction->isChecked());
    m_fromTray = true;
    RadioOnOff();
}

void TrayIconControlDialog::TrayClientCall() {
    m_clientAction->setChecked(!m_clientAction->isChecked());
    m_fromTray = true;
    ClientOnOff();
}

void TrayIconControlDialog::setServiceState(bool clientEnabled, bool radioOn, bool) {
    if (clientEnabled) {
        m_statusLabel->setText(tr("Enabling Client, please wait..."));
        emit StartTimedRequests();
    } else {
        m_model->removeScanRows();
        m_statusLabel->setText(tr("Client is Disabled."));
        emit StopTimedRequests();
    }
    m_radioAction->setEnabled(clientEnabled);
    m_clientAction->setChecked(clientEnabled);
    m_form->statusBtn->setEnabled(clientEnabled);
    m_configureGroupsAction->setEnabled(clientEnabled);
    emit EnableRadioInTray(clientEnabled);

    // Written last, so the radio's text is the one the status line keeps.
    m_radioAction->setChecked(radioOn);
    if (radioOn) {
        m_statusLabel->setText(tr("The Wi-fi radio is turned on."));
    } else {
        m_statusLabel->setText(tr("Wi-Fi disabled"));
        emit RadioOffSetState();
    }
}

void TrayIconControlDialog::setClientItemsEnabled(bool enabled, bool repairEnabled) {
    if (!enabled) {
        m_model->clearAll();
        m_keyInfo->close();
        m_locations->close();
        m_model->removeScanRows();
    }
    m_repairAction->setEnabled(repairEnabled);
    m_captureAllowed = enabled;
    for (QAction* action : {m_radioAction, m_clientAction, m_configureGroupsAction})
        action->setEnabled(enabled);
    m_form->statusBtn->setEnabled(enabled);
    m_form->vpnConnectBtn->setEnabled(enabled);
    emit En_DisableGroupsInTray(enabled);
    emit VpnEnabledDisableSignal(enabled);
    emit EnableRadioInTray(enabled);
    emit EnableStatusInTray(enabled);
}

void TrayIconControlDialog::EnableClientItems() {
    for (QAction* action : {m_radioAction, m_repairAction, m_clientAction, m_configureGroupsAction})
        action->setEnabled(true);
    m_form->statusBtn->setEnabled(true);
    m_form->addSsidBtn->setEnabled(true);
    emit EnableRadioInTray(true);
    m_groupsMenu->setEnabled(true);
    emit En_DisableGroupsInTray(true);
    if (m_vpnCapable) {
        m_form->vpnConnectBtn->setEnabled(isAutomatedVpnCapable());
        emit VpnEnabledDisableSignal(isAutomatedVpnCapable());
    }
}

void TrayIconControlDialog::NoWireless(bool noWireless) {
    m_radioAction->setVisible(!noWireless);
    m_form->addSsidBtn->setEnabled(!noWireless);
}

void TrayIconControlDialog::enableRepairAction(bool enabled) {
    m_repairAction->setEnabled(enabled);
}

void TrayIconControlDialog::RepairCall() {
    // One repair at a time: the item comes back with the service.
    if (m_repairAction->isEnabled()) m_repairAction->setEnabled(false);
    emit Repair();
}

// VPN.

void TrayIconControlDialog::VpnSetting(VpnConnection* dialog) {
    m_keyInfo->setVpnEntries(dialog);
    m_vpn = dialog;
    if (m_vpnCapable) m_form->vpnConnectBtn->setEnabled(isAutomatedVpnCapable());
    if (dialog != nullptr) {
        connect(dialog, &VpnConnection::VpnChangeEvent, this, &TrayIconControlDialog::VpnDialogProcess,
                Qt::UniqueConnection);
    }
}

void TrayIconControlDialog::VpnSetState(bool capable) {
    m_form->vpnConnectBtn->setVisible(capable);
    m_keyInfo->setVpnCapable(capable);
    m_vpnCapable = capable;
}

void TrayIconControlDialog::SetVPNButton(bool connected) {
    m_form->vpnConnectBtn->setText(connected ? tr("VPN Disconnect") : tr("VPN Connect"));
    if (m_vpnCapable) m_form->vpnConnectBtn->setEnabled(isAutomatedVpnCapable());
}

void TrayIconControlDialog::enableVpnButton(bool enabled) {
    if (!enabled) {
        m_form->vpnConnectBtn->setEnabled(false);
    } else if (m_vpnCapable) {
        m_form->vpnConnectBtn->setEnabled(isAutomatedVpnCapable());
    }
}

void TrayIconControlDialog::on_vpnConnectBtn_clicked() {
    QPushButton* button = m_form->vpnConnectBtn;
    if (button->text().contains(QLatin1String("Disconnect"))) {
        SoapRequest::send(QStringLiteral("disconnectVpnRequest"));
        button->setText(tr("VPN Connect"));
        button->setEnabled(false);
        return;
    }
    if (m_keyInfo->currentHasVpnEntry()) {
        SoapRequest::send(QStringLiteral("connectVpnRequest"));
    } else if (m_vpn != nullptr) {
        m_vpn->showDialog();
    }
    button->setEnabled(false);
}

void TrayIconControlDialog::VpnDialogProcess(const QString& choice, const QString& entry) {
    QPushButton* button = m_form->vpnConnectBtn;
    if (choice == QLatin1String("Cancel")) {
        button->setText(tr("VPN Connect"));
        button->setEnabled(isAutomatedVpnCapable());
        return;
    }
    button->setText(tr("VPN Disconnect"));
    button->setEnabled(false);
    m_keyInfo->SetVpnDefaults(choice, entry);
}

void TrayIconControlDialog::SuspendResumeVpnDisconnect() {
    QPushButton* button = m_form->vpnConnectBtn;
    if (!button->text().contains(QLatin1String("Disconnect"))) return;
    qCDebug(lcGuiClient, "sending SOAP request for VPN disconnect on Suspend/Shutdown/Resume.");
    SoapRequest::send(QStringLiteral("disconnectVpnRequest"));
    button->setText(tr("VPN Connect"));
    button->setEnabled(false);
}

// Other slots.

void TrayIconControlDialog::updateStatusTip(const QString& text) {
    m_statusLabel->setText(tr("%1").arg(text));
    m_statusLabel->setToolTip(text);
}

void TrayIconControlDialog::LocationEnabled() {
    m_locationAction->setVisible(true);
}

void TrayIconControlDialog::AdminPolicySetting(AdminPolicy* policy) {
    if (policy != nullptr) m_keyInfo->setAllowedEapMethods(policy->allowedEapMethods());
}

void TrayIconControlDialog::EnableRunScript(bool allowed) {
    m_keyInfo->enableRunScript(allowed);
}

void TrayIconControlDialog::runNetworkScript(const QModelIndex& index) {
    m_keyInfo->runScript(index);
}

void TrayIconControlDialog::AboutCall() {
    emit About();
}

void TrayIconControlDialog::Help() {
    emit helpRequested();
}

void TrayIconControlDialog::updateWindowIcon(const QIcon& icon) {
    setWindowIcon(icon);
}

void TrayIconControlDialog::BalloonsOnOff() {
    emit SetPopups(!m_balloonsAction->isChecked());
}

void TrayIconControlDialog::ExtendedLoggingMenu() {
    if (!m_captureAllowed) return;
    if (!m_extendedLoggingAction->isVisible()) {
        m_extendedLoggingAction->setChecked(false);
        m_extendedLoggingAction->setVisible(true);
    } else if (!m_extendedLoggingAction->isChecked()) {
        // A running capture keeps its item, so it can still be stopped.
        m_extendedLoggingAction->setVisible(false);
    }
}

void TrayIconControlDialog::PacketCap() {
    if (m_extendedLoggingAction->isChecked()) {
        SoapRequest::send(QStringLiteral("enablePacketCaptureRequest"));
    } else {
        SoapRequest::send(QStringLiteral("disablePacketCaptureRequest"));
        m_extendedLoggingAction->setVisible(false);
    }
}

void TrayIconControlDialog::PacketCaptureEnable(bool allowed) {
    m_captureAllowed = allowed;
}
