#include "gui/windows/Locations.h"

#include <QHeaderView>

#include "gui/client/GroupItemList.h"
#include "gui/client/SoapRequest.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/LocationsForm.h"
#include "gui/windows/ModalRunner.h"
#include "gui/windows/TextFit.h"

namespace {

// The width the form gives the group and network names.
constexpr int GROUP_COLUMN_WIDTH = 140;

}  // namespace

Locations::Locations(QWidget* parent) : QDialog(parent), m_form(std::make_unique<Ui::LocationsClass>()) {
    m_form->setupUi(this);
    setWindowFlags(Qt::WindowSystemMenuHint);
    connect(m_form->groupTree, &QTreeWidget::itemSelectionChanged, this, &Locations::ItemSelected);
    connect(m_form->groupTree, &QTreeWidget::itemDoubleClicked, this, &Locations::ItemDoubleClicked);
    connect(m_form->addLocBtn, &QPushButton::clicked, this, &Locations::AddLocationClicked);
    connect(m_form->deleteBtn, &QPushButton::clicked, this, &Locations::DeleteClicked);
    connect(m_form->moveNetworkUpBtn, &QToolButton::clicked, this, &Locations::MoveNetworkUpClicked);
    connect(m_form->moveNetworkDownBtn, &QToolButton::clicked, this, &Locations::MoveNetworkDownClicked);
    connect(m_form->helpButton, &QPushButton::clicked, this, &Locations::helpRequested);
    orvik::QtHelp::registerDialog(this, QStringLiteral("helpBindings"));
}

Locations::~Locations() = default;

void Locations::setVisible(bool visible) {
    QDialog::setVisible(visible);
    emit visibleChanged(visible);
}

void Locations::on_locationscloseBtn_clicked() {
    accept();
}

void Locations::ItemDoubleClicked(QTreeWidgetItem*, int) {}

bool Locations::isNetworkRow(const QTreeWidgetItem* row) {
    return row->data(0, KindRole).toInt() == NetworkRow;
}

bool Locations::isAdministratorRow(const QTreeWidgetItem* row) {
    return row->data(0, AdministratorRole).toBool();
}

QTreeWidgetItem* Locations::selectedRow() const {
    const QList<QTreeWidgetItem*> rows = m_form->groupTree->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

void Locations::showDialog() {
    m_selectedName.clear();
    m_selectedNetwork.clear();
    m_selectedGroup.clear();
    m_targetGroup.clear();
    m_priority.clear();
    m_selectionKind = -1;
    m_form->deleteBtn->setEnabled(false);
    m_form->groupTree->clearSelection();
    // Nothing is selected, so there is nothing to move either.
    m_form->moveNetworkUpBtn->setEnabled(false);
    m_form->moveNetworkDownBtn->setEnabled(false);
    show();
    raise();
    activateWindow();
}

void Locations::fill(GroupItemList* groups) {
    m_groups = groups;
    if (groups == nullptr || groups->count() == 0) return;

    QTreeWidget* tree = m_form->groupTree;
    tree->clear();
    QTreeWidgetItem* reselected = nullptr;
    for (int g = 0; g < groups->count(); ++g) {
        const GroupItem& group = groups->at(g);
        auto* groupRow = new QTreeWidgetItem(tree);
        groupRow->setText(0, group.name());
        groupRow->setText(1, group.isActive() ? tr("*Active Group*") : QString());
        groupRow->setData(0, KindRole, GroupRow);
        groupRow->setData(0, ActiveRole, group.isActive());
        groupRow->setExpanded(true);
        for (const NetworkItem& network : group.networks().networks()) {
            const bool administrator = network.networkCreator == QLatin1String("administrator");
            auto* row = new QTreeWidgetItem(groupRow);
            row->setText(0, network.networkName);
            row->setText(1, administrator ? tr("Administrator Network") : tr("User Network"));
            row->setText(2, network.isGlobal ? tr("Yes") : tr("No"));
            row->setData(0, KindRole, NetworkRow);
            row->setData(0, AdministratorRole, administrator);
            row->setData(0, GlobalRole, network.isGlobal);
            if (network.networkName == m_reselectNetwork && group.name() == m_reselectGroup) reselected = row;
        }
    }
    if (reselected != nullptr) reselected->setSelected(true);
    // Names and privileges show whole; the last column takes the room that is left.
    TextFit::fitColumn(tree, 0, GROUP_COLUMN_WIDTH);
    TextFit::fitColumn(tree, 1, tree->header()->defaultSectionSize());
    tree->viewport()->update();
    // The move that set the wait cursor has come back as this list.
    unsetCursor();
    if (QTreeWidgetItem* row = selectedRow()) tree->scrollToItem(row, QAbstractItemView::PositionAtCenter);
}

void Locations::ItemSelected() {
    QTreeWidgetItem* row = selectedRow();
    if (row == nullptr) {
        m_form->moveNetworkUpBtn->setEnabled(false);
        m_form->moveNetworkDownBtn->setEnabled(false);
        return;
    }
    m_selectedName = row->text(0);
    m_selectedGroup.clear();
    m_targetGroup.clear();

    bool deletable = false;
    if (isNetworkRow(row)) {
        m_selectionKind = NetworkRow;
        const bool administrator = isAdministratorRow(row);
        m_form->moveNetworkUpBtn->setEnabled(!administrator);
        m_form->moveNetworkDownBtn->setEnabled(!administrator);
        m_selectedNetwork = m_selectedName;
        m_selectedGroup = row->parent()->text(0);
        deletable = !administrator;
    } else {
        m_selectionKind = GroupRow;
        m_form->moveNetworkUpBtn->setEnabled(false);
        m_form->moveNetworkDownBtn->setEnabled(false);
        m_selectedGroup = m_selectedName;
        const bool active = row->data(0, ActiveRole).toBool();
        // A group that holds an administrator's network outside the global ones cannot go.
        bool holdsProtected = false;
        for (int i = 0; !active && i < row->childCount(); ++i) {
            const QTreeWidgetItem* network = row->child(i);
            if (isAdministratorRow(network) && !network->data(0, GlobalRole).toBool()) {
                holdsProtected = true;
                break;
            }
        }
        deletable = !active && !holdsProtected;
    }
    m_form->deleteBtn->setEnabled(deletable);
}

void Locations::AddLocationClicked() {
    bool ok = false;
    const QString name = ModalRunner::current().getText(this, tr("Add New Connection Group"),
                                                        tr("Group name:"), QLineEdit::Normal, QString(), &ok);
    if (!ok || name.trimmed().isEmpty()) return;
    SoapRequest::send(QStringLiteral("addGroupRequest"), {{QStringLiteral("groupName"), name}});
    SoapRequest::send(QStringLiteral("getNetworksInGroupRequest"), {{QStringLiteral("groupName"), name}});
}

void Locations::DeleteClicked() {
    if (m_selectedName.isEmpty()) return;
    if (m_selectionKind == GroupRow) {
        SoapRequest::send(QStringLiteral("removeGroupRequest"),
                          {{QStringLiteral("groupName"), m_selectedName}});
        return;
    }
    SoapRequest::send(
        QStringLiteral("removeNetworkRequest"),
        {{QStringLiteral("groupName"), m_selectedGroup}, {QStringLiteral("networkName"), m_selectedNetwork}});
    emit GroupReturnToAuto(m_selectedName);
}

bool Locations::groupHasNetwork(const QString& groupName, const QString& networkName) const {
    if (m_groups == nullptr) return false;
    for (int g = 0; g < m_groups->count(); ++g) {
        const GroupItem& group = m_groups->at(g);
        if (group.name() != groupName) continue;
        for (const NetworkItem& network : group.networks().networks()) {
            if (network.networkName == networkName) return true;
        }
    }
    return false;
}

bool Locations::FormChngRequestPacket() {
    SoapRequest request(QStringLiteral("changeNetworkRequest"));
    request.addRequestParam(QStringLiteral("groupName"), m_selectedGroup);
    m_reselectGroup = m_selectedGroup;
    m_reselectNetwork = m_selectedNetwork;
    request.addRequestParam(QStringLiteral("networkName"), m_selectedNetwork);
    if (!m_targetGroup.isEmpty() && m_targetGroup != m_selectedGroup) {
        request.addRequestParam(QStringLiteral("newGroupName"), m_targetGroup);
        m_reselectGroup = m_targetGroup;
        // The service would refuse a second network of the name in one group.
        if (groupHasNetwork(m_targetGroup, m_selectedNetwork)) {
            m_reselectGroup.clear();
            m_reselectNetwork.clear();
            return false;
        }
    }
    request.addRequestParam(QStringLiteral("priority"), m_priority);
    request.endRequest();
    request.sendRequest();
    setCursor(Qt::WaitCursor);
    return true;
}

bool Locations::tryMove(const QString& targetGroup, const char* priority) {
    m_targetGroup = targetGroup;
    m_priority = QLatin1String(priority);
    return FormChngRequestPacket();
}

void Locations::MoveNetworkDownClicked() {
    QTreeWidgetItem* selected = selectedRow();
    if (selected == nullptr || !isNetworkRow(selected)) return;
    QTreeWidget* tree = m_form->groupTree;
    for (QTreeWidgetItem* row = tree->itemBelow(selected); row != nullptr; row = tree->itemBelow(row)) {
        if (isNetworkRow(row)) {
            // Administrator networks of the own group are passed; networks below an abandoned group's
            // row belong to that group and are passed too.
            if (row->parent() == selected->parent() && !isAdministratorRow(row)) {
                tryMove(QString(), "increment");
                return;
            }
            continue;
        }
        if (tryMove(row->text(0), "top")) return;
    }
}

void Locations::MoveNetworkUpClicked() {
    QTreeWidgetItem* selected = selectedRow();
    if (selected == nullptr || !isNetworkRow(selected)) return;
    QTreeWidget* tree = m_form->groupTree;
    for (QTreeWidgetItem* row = tree->itemAbove(selected); row != nullptr; row = tree->itemAbove(row)) {
        if (row == selected->parent()) continue;
        if (isNetworkRow(row) && row->parent() == selected->parent()) {
            if (isAdministratorRow(row)) continue;
            tryMove(QString(), "decrement");
            return;
        }
        const QString group = isNetworkRow(row) ? row->parent()->text(0) : row->text(0);
        if (tryMove(group, "bottom")) return;
    }
}
