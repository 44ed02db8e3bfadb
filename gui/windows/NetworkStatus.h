#pragma once

#include <QDialog>
#include <memory>

#include "gui/client/SignalStrength.h"
#include "gui/client/StateEvent.h"

class ScanModel;

namespace Ui {
class NetworkStatusClass;
}

// The "Connection Status" window: a read-only summary of the current network, refreshed from the
// scan list model and from each network state event. It sends nothing; closing only hides it.
class NetworkStatus : public QDialog {
    Q_OBJECT

public:
    explicit NetworkStatus(QWidget* parent = nullptr);
    ~NetworkStatus() override;

    void setVisible(bool visible) override;

    // Takes name, SSID, signal, security and status from the model's current row, if any.
    void updateFromModel(const ScanModel* model);
    void updateFromStateEvent(const StateEvent& event);
    void showAndActivate();

    const Ui::NetworkStatusClass& form() const { return *m_form; }

signals:
    void helpRequested();
    void visibleChanged(bool visible);

public slots:
    void accept() override;
    void reject() override;

private:
    // The credential type the EAP methods ask for, before the security mode and medium are considered.
    static const char* credentialType(const StateEvent& event);

    std::unique_ptr<Ui::NetworkStatusClass> m_form;
    SignalStrength m_rater;
};
