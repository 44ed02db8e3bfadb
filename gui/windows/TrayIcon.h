#pragma once

#include <QIcon>
#include <QMenu>
#include <QString>
#include <QSystemTrayIcon>

#include "gui/client/GroupItemList.h"
#include "gui/windows/BalloonRecorder.h"

class DynamicMenu;
class QAction;

// The program's tray icon: the icon and tool tip the controller chooses, and a context menu that
// turns the user's choices into signals. The controller drives the items' states through the slots.
class TrayIcon : public QSystemTrayIcon {
    Q_OBJECT

public:
    // Network entries listed at most in the menu.
    static constexpr int MAX_NETWORK_ENTRIES = 11;

    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // Checks the radio item by the service's radio state.
    void setRadioChecked(bool checked);

    // Shows a balloon and keeps it in the recorder.
    void showBalloon(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon icon, int msecs);
    const BalloonRecorder& balloons() const { return m_balloons; }
    BalloonRecorder& balloons() { return m_balloons; }

    DynamicMenu* menu() const { return m_menu; }
    QMenu* groupsMenu() const { return m_groupsMenu; }
    // The menu's items, for the controller's wiring and for checks.
    QAction* viewItem() const { return m_viewAction; }
    QAction* autoItem() const { return m_autoAction; }
    QAction* aboutItem() const { return m_aboutAction; }
    QAction* vpnItem() const { return m_vpnAction; }
    QAction* exitItem() const { return m_exitAction; }
    QAction* statusItem() const { return m_statusAction; }
    QAction* radioItem() const { return m_radioAction; }
    QAction* repairItem() const { return m_repairAction; }
    QAction* groupsItem() const { return m_groupsAction; }

signals:
    void actionMore();
    void repairAction();
    void quitAction();
    void aboutAction();
    void statusAction();
    void contextMenuTrigger(const QString& text);
    void radioAction();
    // The tray has no client item; declared for the controller's wiring, never emitted.
    void clientAction();
    void ActiveGroupChange(const QString& groupName);
    void configureGroups();
    void connectVPN();

public slots:
    void updateIcon(const QIcon& icon);
    void updateToolTip(const QString& text);
    void updateMenu();
    void addMenuItem(QAction* action);
    void menuTrigger(const QString& text);
    void autoMode(bool automatic);
    void autoAction();
    void EnableRepairMenu(bool enabled);
    void EnableAutoMenu(bool enabled);
    void checkRadio();
    void enableRadioItem(bool enabled);
    void addGroups(const GroupItemList& groups);
    void enableDisableGroups(bool enabled);
    void groupTriggered();
    void setVpnConnect();
    void setVpnDisconnect();
    void vpnVisible(bool visible);
    void vpnEnabled(bool enabled);
    void statusEnable(bool enabled);
    void noRadio(bool noRadio);

private:
    void createActions();
    void deleteActions();

    DynamicMenu* m_menu;
    QMenu* m_groupsMenu = nullptr;
    // A menu that is never shown; addMenuItem puts actions there.
    QMenu m_spareMenu;
    QAction* m_viewAction = nullptr;
    QAction* m_autoAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_vpnAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_statusAction = nullptr;
    QAction* m_radioAction = nullptr;
    QAction* m_repairAction = nullptr;
    QAction* m_groupsAction = nullptr;
    BalloonRecorder m_balloons;
};
