#include "gui/windows/WindowResources.h"

// Outside any namespace, as the resource initialiser's name is global.
static void registerIcons() {
    Q_INIT_RESOURCE(tamsel_icons);
}

void initWindowResources() {
    static const bool registered = (registerIcons(), true);
    Q_UNUSED(registered);
}

const QStringList& windowIconPaths() {
    static const QStringList paths = [] {
        QStringList list;
        for (const char* name : {"red", "green", "greenVPN", "greenWired", "greenWiredVPN", "blue", "blueVPN",
                                 "blueWired", "blueWiredVPN", "Logo"}) {
            list << QStringLiteral(":/Icons/") + QLatin1String(name);
        }
        for (int frame = 1; frame <= 6; ++frame) {
            list << QStringLiteral(":/Icons/yellow%1").arg(frame)
                 << QStringLiteral(":/Icons/Wiredyellow%1").arg(frame);
        }
        for (const char* name : {"VeryLow", "Low", "Good", "VeryGood", "Excellent", "Empty", "Wired"}) {
            list << QStringLiteral(":/Icons/Resources/") + QLatin1String(name) + QStringLiteral(".png");
        }
        list << QStringLiteral(":/Icons/Resources/VarnelLogo.PNG");
        return list;
    }();
    return paths;
}
