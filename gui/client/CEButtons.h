#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What the service's location service offers (getLocationCapabilitiesResponse); the location
// window keeps it.
struct LocationCapabilities {
    QString serviceType;
    QStringList formats;
    QStringList resolutions;
    QStringList encodings;
};

// Reader of the location capabilities.
class CEButtons {
public:
    // True when the service has a location service; then `capabilities` holds what it offers.
    // False (unparsable message, or no service) leaves `capabilities` as it was.
    static bool parse(const QByteArray& message, LocationCapabilities& capabilities);
};

Q_DECLARE_METATYPE(LocationCapabilities)
