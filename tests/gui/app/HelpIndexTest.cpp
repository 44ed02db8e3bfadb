#include <gtest/gtest.h>

#include "gui/orvik/QtHelp.h"
#include "gui/windows/CertDialog.h"
#include "gui/windows/KeyInfo.h"
#include "gui/windows/Locations.h"
#include "gui/windows/NetworkStatus.h"
#include "gui/windows/ScanModel.h"
#include "gui/windows/TrayIconControlDialog.h"

// The program's help index, as installed beside it: every window that registers with the help
// system finds its page, and so does the overview.
TEST(HelpIndexTest, EveryRegisteringWindowFindsItsPage) {
    orvik::QtHelp::loadIndex(QStringLiteral(TAMSEL_GUI_PROGRAM_DIR "/help.xml"));
    ScanModel model;
    TrayIconControlDialog main(&model);
    CertDialog certificates;
    NetworkStatus status;
    const QList<QWidget*> windows = {&main, &main.keyInfo(), &main.locations(), &certificates, &status};
    QStringList names = {QStringLiteral("tamselgui")};
    for (QWidget* window : windows) names << window->objectName();
    for (const QString& name : names) {
        const QString page = orvik::QtHelp::instance().helpText(name);
        EXPECT_FALSE(page.contains("Help reference for") || page.contains("cannot be loaded"))
            << name.toStdString() << ": " << page.toStdString();
        EXPECT_TRUE(page.contains("<h3>")) << name.toStdString();
    }
}
