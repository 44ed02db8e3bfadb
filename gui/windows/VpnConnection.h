#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>

namespace Ui {
class VpnClass;
}

// What the service reported about VPN capability, and the dialog in which the user chooses whether
// to connect to the VPN automatically and through which entry point. It sends nothing itself: the
// choice leaves through VpnChangeEvent.
class VpnConnection : public QDialog {
    Q_OBJECT

public:
    explicit VpnConnection(QWidget* parent = nullptr);
    ~VpnConnection() override;

    // Reads a getVpnCapabilitiesResponse; false, and nothing changed, when it does not parse. The
    // entries are replaced only when the answer carries an array of them.
    bool readVpnCapabilities(const QByteArray& message);

    bool isAutomatedVpnCapable() const { return m_automatedVpnCapable; }
    const QStringList& connectionEntries() const { return m_connectionEntries; }
    // Empty for an index outside the list.
    QString connectionEntry(int index) const;
    int connectionEntryCount() const { return static_cast<int>(m_connectionEntries.size()); }
    const QString& defaultConnectionEntry() const { return m_defaultConnectionEntry; }
    void appendConnectionEntry(const QString& entry);
    void clearConnectionEntries();

    // Opens unchecked on the first entry, whatever was chosen before.
    void showDialog();

    const Ui::VpnClass& form() const { return *m_form; }

signals:
    // ("true" or "false", the entry) on OK, ("Cancel", "") on Cancel.
    void VpnChangeEvent(const QString& automatic, const QString& entry);

private slots:
    void on_okBtn_clicked();
    void on_cancelBtn_clicked();

private:
    std::unique_ptr<Ui::VpnClass> m_form;
    bool m_automatedVpnCapable = false;
    QStringList m_connectionEntries;
    QString m_defaultConnectionEntry;
};
