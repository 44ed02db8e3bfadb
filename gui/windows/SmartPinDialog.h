#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class SmartPinDialogClass;
}

// The prompt for the PIN of a named smart card. Created once, without a parent, by the controller.
// A newer request takes a visible prompt over; the answer always names the network shown.
class SmartPinDialog : public QDialog {
    Q_OBJECT

public:
    explicit SmartPinDialog(QWidget* parent = nullptr);
    ~SmartPinDialog() override;

    // Shows the card's name with an empty PIN field and keeps the names the answer goes to.
    void showForNetwork(const QString& cardName, const QString& groupName, const QString& networkName);

    const QString& groupName() const { return m_groupName; }
    const QString& networkName() const { return m_networkName; }
    const Ui::SmartPinDialogClass& form() const { return *m_form; }

private slots:
    void on_OKButton_clicked();
    void on_pushButton_clicked();

private:
    std::unique_ptr<Ui::SmartPinDialogClass> m_form;
    QString m_groupName;
    QString m_networkName;
};
