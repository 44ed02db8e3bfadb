#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class GroupItemList;
class QTreeWidgetItem;

namespace Ui {
class LocationsClass;
}

// The "Connection Groups" dialog: the configured groups with their networks, in which the user adds
// and deletes groups, deletes networks and moves a network up or down in priority, across group
// boundaries too. It sends its requests and never waits: the main window refills the tree from each
// new group list.
class Locations : public QDialog {
    Q_OBJECT

public:
    // What each row of the tree is, kept beside its (translated) texts.
    enum RowRole {
        KindRole = Qt::UserRole,
        // Network rows: created by the administrator; global. Group rows: the active group.
        AdministratorRole,
        GlobalRole,
        ActiveRole
    };
    enum RowKind { GroupRow = 0, NetworkRow = 1 };

    explicit Locations(QWidget* parent = nullptr);
    ~Locations() override;

    // Opens the dialog with nothing selected.
    void showDialog();
    // Rebuilds the tree from the main window's group list, which must outlive the dialog's use of
    // it; a list without groups leaves the tree as it is.
    void fill(GroupItemList* groups);

    void setVisible(bool visible) override;

    const Ui::LocationsClass& form() const { return *m_form; }
    // -1 nothing selected since the dialog was opened, 0 a group, 1 a network.
    int selectionKind() const { return m_selectionKind; }

signals:
    void helpRequested();
    void visibleChanged(bool visible);
    // A network was deleted; the main window returns to automatic mode when it was the current one.
    void GroupReturnToAuto(const QString& networkName);

public slots:
    void ItemSelected();
    void ItemDoubleClicked(QTreeWidgetItem* item, int column);
    void AddLocationClicked();
    void DeleteClicked();
    void MoveNetworkUpClicked();
    void MoveNetworkDownClicked();
    // Sends one move of the selected network; false when the target group already holds a network
    // of its name.
    bool FormChngRequestPacket();
    void on_locationscloseBtn_clicked();

private:
    QTreeWidgetItem* selectedRow() const;
    bool groupHasNetwork(const QString& groupName, const QString& networkName) const;
    bool tryMove(const QString& targetGroup, const char* priority);
    static bool isNetworkRow(const QTreeWidgetItem* row);
    static bool isAdministratorRow(const QTreeWidgetItem* row);

    std::unique_ptr<Ui::LocationsClass> m_form;
    GroupItemList* m_groups = nullptr;
    QString m_selectedName;
    QString m_selectedNetwork;
    QString m_selectedGroup;
    int m_selectionKind = -1;
    QString m_targetGroup;
    QString m_priority;
    QString m_reselectGroup;
    QString m_reselectNetwork;
};
