#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QString>

class QAction;
class QActionGroup;

// A menu whose network entries are rebuilt from an item model each time it is about to open.
// Picking an entry emits its text.
class DynamicMenu : public QMenu {
    Q_OBJECT

public:
    enum InsertionMode {
        // Before the first action the menu holds when the entries are built (at the end when none).
        InsertAtStart = 0,
        InsertAtEnd = 1,
        InsertBeforeAnchor = 2
    };

    explicit DynamicMenu(QWidget* parent = nullptr);
    ~DynamicMenu() override;

    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const { return m_model; }
    // 0 lists every row.
    void setMaxCount(int count) { m_maxCount = count; }
    int maxCount() const { return m_maxCount; }
    void setInsertionMode(InsertionMode mode);
    InsertionMode insertionMode() const { return m_mode; }
    void setAnchorAction(QAction* anchor);
    QAction* anchorAction() const { return m_anchor; }
    // The entries of the last rebuild, in menu order.
    const QList<QAction*>& dynamicActions() const { return m_actions; }

signals:
    void triggered(const QString& text);

public slots:
    void updateDynItems();
    void dynActionTriggered(QAction* action);
    void modelDestroyed(QObject* model);

private:
    void removeDynItems();

    QList<QAction*> m_actions;
    QActionGroup* m_group;
    QPointer<QAbstractItemModel> m_model;
    int m_maxCount = 0;
    InsertionMode m_mode = InsertAtStart;
    QAction* m_anchor = nullptr;
};
