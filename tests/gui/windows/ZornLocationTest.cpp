#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "gui/windows/ZornLocation.h"
#include "gui/windows/ZornLocationForm.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/RecordingTransport.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/support/ServiceMessage.h"

namespace tamsel::test {
namespace {

const QByteArray CAPABILITIES = serviceMessage(
    "getLocationCapabilitiesResponse",
    "<sequenceNumber>6</sequenceNumber>\n<isLocationServiceAvailable>true</isLocationServiceAvailable>\n"
    "<supportedServices type=\"array\"><locationService>requestLoc</locationService></supportedServices>\n"
    "<supportedFormats "
    "type=\"array\"><locationFormat>CIVIC</locationFormat><locationFormat>GEO</locationFormat>"
    "</supportedFormats>\n<supportedResolutions "
    "type=\"array\"><locationResolution>apResolution</locationResolution>"
    "<locationResolution>xyResolution</locationResolution></supportedResolutions>\n"
    "<supportedEncodings type=\"array\"><locationEncoding>text</locationEncoding></supportedEncodings>");

QByteArray locationResponse(const QByteArray& data) {
    return serviceMessage(
        "locationResponseEvent",
        "<sequenceNumber>9</sequenceNumber>\n<locationFormat>GEO</locationFormat>\n<locationData>" + data +
            "</locationData>\n<locationAccuracy>15</locationAccuracy>\n<signatureType>sha1Rsa"
            "</signatureType>\n<digitalSignature>ab12</digitalSignature>\n<locationId>L-7</locationId>");
}

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

// Format, signature type, data, signature, accuracy, location id.
QString values(const ZornLocation& window) {
    const auto& f = window.form();
    return QStringList{f.Format->text(),           f.SigType->text(),  f.Data->text(),
                       f.DigitalSignature->text(), f.Accuracy->text(), f.LocationId->text()}
        .join('|');
}

TEST(ZornLocationTest, FormAsTheUserFirstSeesIt) {
    ZornLocation window;
    EXPECT_EQ(window.objectName(), "ZornLocationClass");
    EXPECT_EQ(window.windowTitle(), "Location");
    EXPECT_EQ(window.size(), QSize(389, 225));
    const auto& f = window.form();
    EXPECT_EQ(f.groupBox->title(), "Location Settings");
    EXPECT_EQ(f.groupBox_2->title(), "Location Results");
    EXPECT_EQ(f.getLocationBtn->text(), "GetLocation");
    EXPECT_EQ(f.closeBtn->text(), "Close");
    EXPECT_EQ(f.Status->text(), "Waiting for data...");
    EXPECT_EQ((QStringList{f.label->text(), f.label_7->text(), f.label_3->text(), f.label_9->text(),
                           f.label_5->text(), f.label_11->text()}),
              (QStringList{
                  "Format:", "Signature Type:", "Data:", "Digital Signature:", "Accuracy:", "Location Id"}));
}

TEST(ZornLocationTest, TheServicesChoicesFillTheListsOnce) {
    ZornLocation window;
    ASSERT_TRUE(window.readCapabilities(CAPABILITIES));
    ASSERT_TRUE(window.readCapabilities(CAPABILITIES));
    EXPECT_EQ(window.capabilities().serviceType, "requestLoc");
    EXPECT_EQ(items(window.form().formatBox), (QStringList{"CIVIC", "GEO"}));
    EXPECT_EQ(items(window.form().resolutionBox), (QStringList{"apResolution", "xyResolution"}));
    EXPECT_EQ(items(window.form().encodingBox), QStringList{"text"});

    const QByteArray none = serviceMessage("getLocationCapabilitiesResponse",
                                           "<sequenceNumber>7</sequenceNumber>\n"
                                           "<isLocationServiceAvailable>false</isLocationServiceAvailable>");
    EXPECT_FALSE(window.readCapabilities(none));
    EXPECT_EQ(items(window.form().formatBox), (QStringList{"CIVIC", "GEO"}));
    window.clearCapabilities();
    EXPECT_EQ(window.form().formatBox->count() + window.form().resolutionBox->count(), 0);
    EXPECT_TRUE(window.capabilities().encodings.isEmpty());
}

TEST(ZornLocationTest, GetLocationAsksWithTheChosenSettings) {
    RecordingTransport pipe;
    ZornLocation window;
    window.readCapabilities(CAPABILITIES);
    window.form().formatBox->setCurrentIndex(1);
    window.form().resolutionBox->setCurrentIndex(1);
    QTest::mouseClick(window.form().getLocationBtn, Qt::LeftButton);
    window.sendLocationRequest();
    EXPECT_EQ(window.form().Status->text(), "Waiting for Data...");

    const QList<SentMessage> sent = pipe.messages();
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0].method, "getLocationRequest");
    EXPECT_EQ(sent[0].children, (QList<QPair<QString, QString>>{{"locationFormat", "GEO"},
                                                                {"requestSecureResponseOnly", "false"},
                                                                {"locationEncoding", "text"},
                                                                {"requestDigitalSignature", "false"},
                                                                {"requestLocationId", "true"},
                                                                {"locationResolution", "xyResolution"}}));
    // Each request takes a fresh number.
    EXPECT_EQ(sent[1].sequenceNumber.toUInt(), sent[0].sequenceNumber.toUInt() + 1);
}

TEST(ZornLocationTest, AnswersShowTheirValuesWithTheDataCut) {
    ZornLocation window;
    window.showWindow();
    EXPECT_EQ(window.form().Status->text(), "Choose Settings and click GetLocation");
    EXPECT_EQ(values(window), "|||||");

    window.showLocationResponse(locationResponse("0123456789"));
    saveScreenshot(window, "ZornLocation");
    EXPECT_EQ(values(window), "GEO|sha1Rsa|012345...|ab12|15|L-7");
    EXPECT_TRUE(window.form().Status->text().startsWith("Current data recieved. "));
    window.showLocationResponse(locationResponse("AB"));
    EXPECT_EQ(window.form().Data->text(), "AB...");

    window.form().Status->setText("before");
    window.showLocationResponse("<SOAP-ENV:Envelope><broken");
    EXPECT_EQ(values(window), "GEO|sha1Rsa|AB...|ab12|15|L-7");
    EXPECT_EQ(window.form().Status->text(), "before");

    window.showWindow();
    EXPECT_EQ(values(window), "|||||");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.form().closeBtn, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tamsel::test
