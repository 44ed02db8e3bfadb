#include "gui/windows/DynamicMenu.h"

#include <QAbstractItemModel>
#include <QActionGroup>
#include <QFont>
#include <QIcon>

#include "gui/windows/ScanModel.h"

namespace {
const QString CONNECTED = QStringLiteral("Connected");
const QString VPN_CONNECTED = QStringLiteral("VPN Connected");
}  // namespace

DynamicMenu::DynamicMenu(QWidget* parent) : QMenu(parent), m_group(new QActionGroup(this)) {
    m_group->setExclusive(false);
    connect(this, &QMenu::aboutToShow, this, &DynamicMenu::updateDynItems);
    connect(m_group, &QActionGroup::triggered, this, &DynamicMenu::dynActionTriggered);
}

DynamicMenu::~DynamicMenu() {
    removeDynItems();
}

void DynamicMenu::setModel(QAbstractItemModel* model) {
    if (m_model != nullptr) disconnect(m_model, &QObject::destroyed, this, &DynamicMenu::modelDestroyed);
    m_model = model;
    if (m_model != nullptr) connect(m_model, &QObject::destroyed, this, &DynamicMenu::modelDestroyed);
}

void DynamicMenu::setInsertionMode(InsertionMode mode) {
    m_mode = mode;
    m_anchor = nullptr;
}

void DynamicMenu::setAnchorAction(QAction* anchor) {
    m_anchor = anchor;
    m_mode = InsertBeforeAnchor;
}

void DynamicMenu::modelDestroyed(QObject*) {
    m_model = nullptr;
}

void DynamicMenu::removeDynItems() {
    for (QAction* action : m_actions) {
        removeAction(action);
        m_group->removeAction(action);
        delete action;
    }
    m_actions.clear();
}

void DynamicMenu::updateDynItems() {
    removeDynItems();
    if (m_model == nullptr || m_model->rowCount() == 0) return;
    int count = m_model->rowCount();
    if (m_maxCount > 0 && m_maxCount < count) count = m_maxCount;

    // Fixed once per rebuild, so that the entries keep the model's order.
    QAction* before = nullptr;
    if (m_mode == InsertAtStart) {
        before = actions().value(0, nullptr);
    } else if (m_mode == InsertBeforeAnchor) {
        before = m_anchor;
    }

    for (int row = 0; row < count; ++row) {
        const QModelIndex name = m_model->index(row, ScanModel::NameColumn);
        QString text = name.data(Qt::DisplayRole).toString();
        const QString status = m_model->index(row, ScanModel::StatusColumn).data(Qt::DisplayRole).toString();
        if (status == CONNECTED) {
            text += QStringLiteral(" (Connected)");
        } else if (status == VPN_CONNECTED) {
            text += QStringLiteral(" (VPN Connected)");
        }
        auto* action = new QAction(text, m_group);
        const QVariant icon = name.data(Qt::DecorationRole);
        if (icon.metaType() == QMetaType::fromType<QIcon>()) action->setIcon(icon.value<QIcon>());
        const QVariant font = name.data(Qt::FontRole);
        if (font.metaType() == QMetaType::fromType<QFont>()) action->setFont(font.value<QFont>());
        action->setData(text);
        if (name.data(Qt::CheckStateRole).toInt() == Qt::Checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        m_actions.append(action);
        insertAction(before, action);
    }
}

void DynamicMenu::dynActionTriggered(QAction* action) {
    const QString text = action->data().toString();
    if (ScanModel::isSeparatorText(text)) return;
    emit triggered(text);
}
