#include "gui/windows/TrayIcon.h"

#include <QAction>

#include "gui/windows/DynamicMenu.h"
#include "gui/windows/WindowResources.h"

namespace {
const QString AUTO_MODE = QStringLiteral("AutoMode");
}

TrayIcon::TrayIcon(QObject* parent) : QSystemTrayIcon(parent), m_menu(new DynamicMenu()) {
    initWindowResources();
    updateMenu();
}

TrayIcon::~TrayIcon() {
    setContextMenu(nullptr);
    deleteActions();
    delete m_menu;
}

void TrayIcon::deleteActions() {
    delete m_groupsMenu;
    m_groupsMenu = nullptr;
    for (QAction** action : {&m_viewAction, &m_autoAction, &m_aboutAction, &m_vpnAction, &m_exitAction,
                             &m_statusAction, &m_radioAction, &m_repairAction, &m_groupsAction}) {
        delete *action;
        *action = nullptr;
    }
}

void TrayIcon::createActions() {
    m_viewAction = new QAction(tr("&View Available Connections..."), this);
    m_autoAction = new QAction(tr("&Connect Automatically"), this);
    m_aboutAction = new QAction(tr("&About..."), this);
    m_vpnAction = new QAction(tr("Connect to &VPN"), this);
    m_exitAction = new QAction(tr("&Exit"), this);
    m_statusAction = new QAction(tr("&Connection Status..."), this);
    m_radioAction = new QAction(tr("Enable &Wi-fi Radio"), this);
    m_repairAction = new QAction(tr("&Repair"), this);
    m_groupsAction = new QAction(tr("Configure &Groups..."), this);
    for (QAction* checkable : {m_radioAction, m_autoAction}) {
        checkable->setCheckable(true);
        checkable->setChecked(true);
    }
}

void TrayIcon::updateMenu() {
    deleteActions();
    createActions();
    connect(m_viewAction, &QAction::triggered, this, &TrayIcon::actionMore);
    connect(m_aboutAction, &QAction::triggered, this, &TrayIcon::aboutAction);
    connect(m_exitAction, &QAction::triggered, this, &TrayIcon::quitAction);
    connect(m_repairAction, &QAction::triggered, this, &TrayIcon::repairAction);
    connect(m_autoAction, &QAction::triggered, this, &TrayIcon::autoAction);
    connect(m_statusAction, &QAction::triggered, this, &TrayIcon::statusAction);
    connect(m_radioAction, &QAction::triggered, this, &TrayIcon::radioAction);
    connect(m_groupsAction, &QAction::triggered, this, &TrayIcon::configureGroups);
    connect(m_vpnAction, &QAction::triggered, this, &TrayIcon::connectVPN);

    m_groupsMenu = new QMenu(QStringLiteral("Groups"), m_menu);
    m_groupsMenu->addSeparator();
    m_groupsMenu->addAction(m_groupsAction);

    m_menu->clear();
    m_menu->setSeparatorsCollapsible(false);
    m_menu->addAction(m_autoAction);
    m_menu->addSeparator();
    m_menu->addAction(m_viewAction);
    m_menu->addSeparator();
    m_menu->addAction(m_statusAction);
    m_menu->addAction(m_vpnAction);
    m_menu->addMenu(m_groupsMenu);
    m_menu->addAction(m_radioAction);
    m_menu->addAction(m_repairAction);
    m_menu->addAction(m_aboutAction);
    // Last, apart from the rest: the user's way to quit the tray program.
    m_menu->addSeparator();
    m_menu->addAction(m_exitAction);
    m_menu->setDefaultAction(m_viewAction);

    m_menu->setAnchorAction(m_viewAction);
    m_menu->setMaxCount(MAX_NETWORK_ENTRIES);
    connect(m_menu, qOverload<const QString&>(&DynamicMenu::triggered), this, &TrayIcon::menuTrigger,
            Qt::UniqueConnection);
    setContextMenu(m_menu);
}

void TrayIcon::setRadioChecked(bool checked) {
    m_radioAction->setChecked(checked);
}

void TrayIcon::showBalloon(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon icon,
                           int msecs) {
    m_balloons.record({title, text, icon, msecs});
    showMessage(title, text, icon, msecs);
}

void TrayIcon::updateIcon(const QIcon& icon) {
    setIcon(icon);
}

void TrayIcon::updateToolTip(const QString& text) {
    setToolTip(text);
}

void TrayIcon::addMenuItem(QAction* action) {
    m_spareMenu.insertAction(m_viewAction, action);
}

void TrayIcon::menuTrigger(const QString& text) {
    emit contextMenuTrigger(text);
}

void TrayIcon::autoMode(bool automatic) {
    m_autoAction->setChecked(automatic);
}

void TrayIcon::autoAction() {
    // The item follows the mode the service reports, not the click.
    m_autoAction->setChecked(!m_autoAction->isChecked());
    if (m_autoAction->isChecked()) return;
    emit contextMenuTrigger(AUTO_MODE);
}

void TrayIcon::EnableRepairMenu(bool enabled) {
    m_repairAction->setEnabled(enabled);
}

void TrayIcon::EnableAutoMenu(bool enabled) {
    m_autoAction->setEnabled(enabled);
}

void TrayIcon::checkRadio() {
    m_radioAction->setChecked(!m_radioAction->isChecked());
}

void TrayIcon::enableRadioItem(bool enabled) {
    m_radioAction->setEnabled(enabled);
    m_repairAction->setEnabled(enabled);
}

void TrayIcon::addGroups(const GroupItemList& groups) {
    m_groupsMenu->clear();
    for (int i = 0; i < groups.count(); ++i) {
        QAction* group = m_groupsMenu->addAction(groups.at(i).name());
        connect(group, &QAction::triggered, this, &TrayIcon::groupTriggered);
        group->setCheckable(true);
        group->setChecked(groups.at(i).isActive());
    }
    m_groupsMenu->addSeparator();
    m_groupsMenu->addAction(m_groupsAction);
}

void TrayIcon::enableDisableGroups(bool enabled) {
    m_groupsMenu->setEnabled(enabled);
}

void TrayIcon::groupTriggered() {
    if (auto* group = qobject_cast<QAction*>(sender())) emit ActiveGroupChange(group->text());
}

void TrayIcon::setVpnConnect() {
    m_vpnAction->setText(tr("VPN Connect"));
}

void TrayIcon::setVpnDisconnect() {
    m_vpnAction->setText(tr("VPN Disconnect"));
}

void TrayIcon::vpnVisible(bool visible) {
    m_vpnAction->setVisible(visible);
}

void TrayIcon::vpnEnabled(bool enabled) {
    m_vpnAction->setEnabled(enabled);
}

void TrayIcon::statusEnable(bool enabled) {
    m_statusAction->setEnabled(enabled);
}

void TrayIcon::noRadio(bool noRadio) {
    m_radioAction->setVisible(!noRadio);
}
