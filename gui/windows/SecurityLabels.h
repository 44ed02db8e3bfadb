#pragma once

#include <QString>

// How the scan list shows association and encryption mode keywords, and the order in which it
// lists scanned networks by them.
class SecurityLabels {
public:
    // Each keyword in `keywords` replaced by its short label ("WPA2-Personal").
    static QString shortLabels(const QString& keywords);
    // Each keyword replaced by its long label ("WPA2-Personal-AES").
    static QString longLabels(const QString& keywords);

    // Listing position of a row showing `label`, or -1 for a label outside the table.
    static int labelPosition(const QString& label);
    // Listing position of a scanned network whose strongest mode is `mode`, or -1 when unknown.
    static int modePosition(const QString& mode);
};
