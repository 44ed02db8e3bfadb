#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/client/SoapRequest.h"
#include "gui/windows/SmartPinDialog.h"
#include "gui/windows/SmartPinDialogForm.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/RecordingTransport.h"
#include "tests/gui/support/Screenshot.h"

namespace tamsel::test {
namespace {

using Children = QList<QPair<QString, QString>>;

// The number the tray program's next request of its own will carry.
uint nextNumber(RecordingTransport& pipe) {
    SoapRequest probe(QStringLiteral("getScanListRequest"));
    probe.endRequest();
    probe.sendRequest();
    const uint number = pipe.messages().last().sequenceNumber.toUInt();
    pipe.clear();
    return number + 1;
}

TEST(SmartPinDialogForm, NamesAndTexts) {
    SmartPinDialog dialog;
    const auto& f = dialog.form();
    EXPECT_EQ(dialog.objectName(), "SmartPinDialogClass");
    EXPECT_EQ(dialog.windowTitle(), "SmartCard PIN");
    EXPECT_EQ(dialog.size(), QSize(253, 200));
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ((QStringList{f.label->text(), f.pinName->text(), f.PinLabel->text(), f.OKButton->text(),
                           f.pushButton->text()}),
              (QStringList{"Please enter your SmarCard PIN for:", "", "SmartCard PIN:", "OK", "Cancel"}));
    EXPECT_EQ(f.Pin->echoMode(), QLineEdit::Password);
}

TEST(SmartPinDialogAnswer, OkSendsThePinUnderAFreshNumberWithTheNamesAsReceived) {
    RecordingTransport pipe;
    SmartPinDialog dialog;
    const uint expected = nextNumber(pipe);
    const QString network = QStringLiteral("Офис-Сеть");
    dialog.showForNetwork("SC1", "Группа", network);
    saveScreenshot(dialog, "SmartPinDialog");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.form().pinName->text(), "SC1");
    EXPECT_EQ(dialog.focusWidget(), dialog.form().Pin);
    dialog.form().Pin->setText("4321");
    QTest::mouseClick(dialog.form().OKButton, Qt::LeftButton);

    const QList<SentMessage> sent = pipe.messages();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].method, "getSmartCardPinResponse");
    EXPECT_EQ(sent[0].sequenceNumber.toUInt(), expected);
    EXPECT_EQ(sent[0].children,
              (Children{{"groupName", "Группа"}, {"networkName", network}, {"pin", "4321"}}));
    EXPECT_FALSE(dialog.isVisible());
}

TEST(SmartPinDialogAnswer, CancelSendsNothing) {
    RecordingTransport pipe;
    SmartPinDialog dialog;
    dialog.showForNetwork("SC1", "Office", "CorpNet");
    dialog.form().Pin->setText("4321");
    QTest::mouseClick(dialog.form().pushButton, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(pipe.frames().isEmpty());
}

TEST(SmartPinDialogAnswer, ANewerRequestTakesTheVisiblePromptOver) {
    RecordingTransport pipe;
    SmartPinDialog dialog;
    dialog.showForNetwork("SC1", "Office", "CorpNet");
    dialog.form().Pin->setText("4321");
    dialog.showForNetwork("SC2", "Lab", "LabNet");
    EXPECT_EQ(dialog.form().pinName->text(), "SC2");
    EXPECT_EQ(dialog.form().Pin->text(), "");
    dialog.form().Pin->setText("99");
    QTest::mouseClick(dialog.form().OKButton, Qt::LeftButton);
    ASSERT_EQ(pipe.messages().size(), 1);
    EXPECT_EQ(pipe.messages()[0].children,
              (Children{{"groupName", "Lab"}, {"networkName", "LabNet"}, {"pin", "99"}}));
}

}  // namespace
}  // namespace tamsel::test
