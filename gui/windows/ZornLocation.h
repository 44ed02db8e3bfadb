#pragma once

#include <QByteArray>
#include <QWidget>
#include <memory>

#include "gui/client/CEButtons.h"

namespace Ui {
class ZornLocationClass;
}

// The location window: the user asks the service's location service for the workstation's
// location, with a format, resolution and encoding it offers, and reads the answer.
class ZornLocation : public QWidget {
    Q_OBJECT

public:
    explicit ZornLocation(QWidget* parent = nullptr);
    ~ZornLocation() override;

    // Reads a getLocationCapabilitiesResponse; true when the service offers a location service,
    // whose choices then fill the three lists.
    bool readCapabilities(const QByteArray& message);
    // Keeps what the service offers and lists exactly those choices.
    void setCapabilities(const LocationCapabilities& capabilities);
    // Empties the three lists of choices.
    void clearCapabilities();
    const LocationCapabilities& capabilities() const { return m_capabilities; }

    // Clears the last answer and brings the window up.
    void showWindow();
    // Shows one locationResponseEvent; a message that does not parse changes nothing.
    void showLocationResponse(const QByteArray& message);

    const Ui::ZornLocationClass& form() const { return *m_form; }

public slots:
    void sendLocationRequest();

private:
    std::unique_ptr<Ui::ZornLocationClass> m_form;
    LocationCapabilities m_capabilities;
};
