#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "gui/windows/VpnConnection.h"
#include "gui/windows/VpnConnectionForm.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/support/ServiceMessage.h"

namespace tamsel::test {
namespace {

const QByteArray CAPABLE = serviceMessage(
    "getVpnCapabilitiesResponse",
    "<sequenceNumber>12</sequenceNumber>\n<isAutomatedVpnCapable>true</isAutomatedVpnCapable>\n"
    "<connectionEntries type=\"array\"><connectionEntry>E1</connectionEntry>"
    "<connectionEntry>E2</connectionEntry></connectionEntries>\n"
    "<defaultConnectionEntry>E2</defaultConnectionEntry>");

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

TEST(VpnConnectionForm, NamesAndTexts) {
    VpnConnection dialog;
    const auto& f = dialog.form();
    EXPECT_EQ(dialog.objectName(), "VpnClass");
    EXPECT_EQ(dialog.windowTitle(), "VPN Settings");
    EXPECT_EQ(dialog.size(), QSize(182, 151));
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ((QStringList{f.autoVpn->text(), f.okBtn->text(), f.cancelBtn->text()}),
              (QStringList{"Automatically connect to VPN", "OK", "Cancel"}));
    EXPECT_EQ(f.vpnComboBox->accessibleName(), "Select VPN Entry Point");
    EXPECT_FALSE(dialog.isAutomatedVpnCapable());
    EXPECT_EQ(dialog.connectionEntryCount(), 0);
    EXPECT_EQ(dialog.defaultConnectionEntry(), "");
}

TEST(VpnConnectionCapabilities, TheServicesAnswerFillsTheRecord) {
    VpnConnection dialog;
    ASSERT_TRUE(dialog.readVpnCapabilities(CAPABLE));
    EXPECT_TRUE(dialog.isAutomatedVpnCapable());
    EXPECT_EQ(dialog.connectionEntries(), (QStringList{"E1", "E2"}));
    EXPECT_EQ(dialog.connectionEntry(1), "E2");
    EXPECT_EQ(dialog.connectionEntry(2), "");
    EXPECT_EQ(dialog.connectionEntry(-1), "");
    EXPECT_EQ(dialog.defaultConnectionEntry(), "E2");

    // Without an array of entries the list stays; the flag and the default follow the answer.
    ASSERT_TRUE(dialog.readVpnCapabilities(serviceMessage(
        "getVpnCapabilitiesResponse",
        "<sequenceNumber>13</sequenceNumber>\n<isAutomatedVpnCapable>false</isAutomatedVpnCapable>")));
    EXPECT_FALSE(dialog.isAutomatedVpnCapable());
    EXPECT_EQ(dialog.connectionEntries(), (QStringList{"E1", "E2"}));
    EXPECT_EQ(dialog.defaultConnectionEntry(), "");

    // An empty array empties it; a message that does not parse changes nothing.
    ASSERT_TRUE(dialog.readVpnCapabilities(
        serviceMessage("getVpnCapabilitiesResponse",
                       "<isAutomatedVpnCapable>true</isAutomatedVpnCapable>\n<connectionEntries "
                       "type=\"array\"></connectionEntries>")));
    EXPECT_EQ(dialog.connectionEntryCount(), 0);
    EXPECT_FALSE(dialog.readVpnCapabilities("<SOAP-ENV:Envelope><broken"));
    EXPECT_TRUE(dialog.isAutomatedVpnCapable());

    dialog.appendConnectionEntry("E9");
    EXPECT_EQ(dialog.connectionEntries(), QStringList{"E9"});
    dialog.clearConnectionEntries();
    EXPECT_EQ(dialog.connectionEntryCount(), 0);
}

TEST(VpnConnectionDialog, OpensUncheckedOnTheFirstEntryAndReportsTheChoice) {
    VpnConnection dialog;
    QSignalSpy change(&dialog, &VpnConnection::VpnChangeEvent);
    const auto& f = dialog.form();
    dialog.readVpnCapabilities(CAPABLE);

    dialog.showDialog();
    saveScreenshot(dialog, "VpnConnection");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(items(f.vpnComboBox), (QStringList{"E1", "E2"}));
    EXPECT_EQ(f.vpnComboBox->currentText(), "E1");
    EXPECT_FALSE(f.autoVpn->isChecked());
    f.autoVpn->setChecked(true);
    QTest::mouseClick(f.okBtn, Qt::LeftButton);
    ASSERT_EQ(change.size(), 1);
    EXPECT_EQ(change.last(), (QVariantList{"true", "E1"}));
    EXPECT_FALSE(dialog.isVisible());

    // Reopened: unchecked again, the list refilled once.
    dialog.showDialog();
    EXPECT_FALSE(f.autoVpn->isChecked());
    EXPECT_EQ(f.vpnComboBox->count(), 2);
    f.vpnComboBox->setCurrentIndex(1);
    QTest::mouseClick(f.okBtn, Qt::LeftButton);
    EXPECT_EQ(change.last(), (QVariantList{"false", "E2"}));

    dialog.showDialog();
    QTest::mouseClick(f.cancelBtn, Qt::LeftButton);
    ASSERT_EQ(change.size(), 3);
    EXPECT_EQ(change.last(), (QVariantList{"Cancel", ""}));
    EXPECT_FALSE(dialog.isVisible());

    // The title bar's close button reports nothing.
    dialog.showDialog();
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(change.size(), 3);
}

}  // namespace
}  // namespace tamsel::test
