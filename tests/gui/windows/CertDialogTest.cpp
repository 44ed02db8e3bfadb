#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include "gui/client/Certificate.h"
#include "gui/orvik/HelpWidget.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/CertDialog.h"
#include "gui/windows/CertDialogForm.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/RecordingTransport.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/support/ServiceMessage.h"
#include "tests/gui/windows/FormChecks.h"

namespace tamsel::test {
namespace {

using Children = QList<QPair<QString, QString>>;

const QStringList CARD_WIDGETS = {"label_7", "smartName", "label_6", "smartPin"};

QByteArray entry(const QByteArray& hash, const QByteArray& name, const QByteArray& card) {
    return "<certificate><certificateHash>" + hash + "</certificateHash><certificateName>" + name +
           "</certificateName><issuedTo>" + name + " User</issuedTo><issuedBy>" + name +
           " CA</issuedBy><expiryDate>2031-01-0" + hash.right(1) + "</expiryDate><serialNumber>SN-" + hash +
           "</serialNumber><smartCardName>" + card + "</smartCardName></certificate>";
}

// A getCertificateRequest of the service; each entry is (hash, name, card).
Certificate request(const QByteArray& sequenceNumber, const QByteArray& network, const QByteArray& entries) {
    Certificate parsed;
    EXPECT_TRUE(parsed.parse(serviceMessage(
        "getCertificateRequest", "<sequenceNumber>" + sequenceNumber +
                                     "</sequenceNumber>\n<groupName>Office</groupName>\n<networkName>" +
                                     network + "</networkName>\n<certificateList type=\"array\">" + entries +
                                     "</certificateList>")));
    return parsed;
}

// The two-entry request of most tests: a machine certificate, then one on card "SC1".
Certificate twoCertificates(const QByteArray& sequenceNumber = "61", const QByteArray& network = "CorpNet") {
    return request(sequenceNumber, network, entry("aa01", "Machine", "") + entry("bb02", "Badge", "SC1"));
}

void fill(CertDialog& dialog, const Certificate& certificate) {
    dialog.setRequestContext(certificate);
    dialog.setCertificateList(certificate.entries());
}

QString details(const CertDialog& dialog) {
    const auto& f = dialog.form();
    return QStringList{f.issueToText->text(), f.issueByText->text(), f.expDate->text(), f.serialNo->text()}
        .join('|');
}

TEST(CertDialogForm, NamesTextsAndOrder) {
    CertDialog dialog;
    const auto& f = dialog.form();
    EXPECT_EQ(dialog.objectName(), "CertDialogClass");
    EXPECT_EQ(dialog.windowTitle(), "CertDialog");
    EXPECT_EQ(dialog.size(), QSize(269, 238));
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(
        (QStringList{f.label->text(), f.label_2->text(), f.label_3->text(), f.label_4->text(),
                     f.label_5->text(), f.label_7->text(), f.label_6->text(), f.OkBtn->text(),
                     f.cancelBtn->text(), f.helpButton->text()}),
        (QStringList{"Choose Certificate:", "Issued to:", "Issued by:", "Expiration date:", "Serial Number:",
                     "SmartCard Name:", "SmartCard PIN:", "&OK", "&Cancel", "&Help"}));
    EXPECT_EQ(f.certName->accessibleName(), "Certificate List");
    EXPECT_EQ(f.smartPin->accessibleName(), "Enter Smart Card Pin");
    EXPECT_TRUE(f.OkBtn->isDefault());
    EXPECT_EQ(tabChain(dialog), (QStringList{"certName", "smartPin", "OkBtn", "cancelBtn", "helpButton"}));
}

TEST(CertDialogChoice, DetailsAndSmartCardFollowTheSelection) {
    CertDialog dialog;
    const auto& f = dialog.form();
    fill(dialog, twoCertificates());
    dialog.show();
    EXPECT_EQ(f.label->text(), "Choose Certificate for the connection CorpNet:");
    EXPECT_EQ(f.certName->count(), 2);
    EXPECT_EQ(f.certName->currentText(), "Machine");
    EXPECT_EQ(details(dialog), "Machine User|Machine CA|2031-01-01|SN-aa01");
    EXPECT_EQ(shown(dialog, CARD_WIDGETS), QStringList{});

    f.smartPin->setText("left over");
    f.certName->setCurrentIndex(1);
    saveScreenshot(dialog, "CertDialog-card");
    EXPECT_EQ(details(dialog), "Badge User|Badge CA|2031-01-02|SN-bb02");
    EXPECT_EQ(shown(dialog, CARD_WIDGETS), CARD_WIDGETS);
    EXPECT_EQ(f.smartName->text(), "SC1");
    EXPECT_EQ(f.smartPin->text(), "");
    EXPECT_EQ(f.smartPin->echoMode(), QLineEdit::Password);

    f.certName->setCurrentIndex(0);
    EXPECT_EQ(shown(dialog, CARD_WIDGETS), QStringList{});
}

// Certificates of one name in the store and on cards say where each lives; a name of its own stays
// bare. The answer still names the hash of the one chosen.
TEST(CertDialogChoice, CertificatesOfTheSameNameSayTheirSource) {
    RecordingTransport pipe;
    CertDialog dialog;
    const auto& f = dialog.form();
    fill(dialog,
         request("64", "CorpNet",
                 entry("aa01", "alice@corp.example", "") + entry("bb02", "alice@corp.example", "Alice card") +
                     entry("cc03", "Machine", "") + entry("dd04", "alice@corp.example", "Spare card")));
    dialog.show();
    QStringList items;
    for (int i = 0; i < f.certName->count(); ++i) items.append(f.certName->itemText(i));
    EXPECT_EQ(items, (QStringList{"alice@corp.example (certificate store)", "alice@corp.example (Alice card)",
                                  "Machine", "alice@corp.example (Spare card)"}));
    f.certName->setCurrentIndex(1);
    QTest::mouseClick(f.OkBtn, Qt::LeftButton);
    ASSERT_EQ(pipe.messages().size(), 1);
    EXPECT_EQ(pipe.messages()[0].children,
              (Children{{"groupName", "Office"}, {"networkName", "CorpNet"}, {"certificateHash", "bb02"}}));
}

TEST(CertDialogChoice, OkAnswersWithTheChosenHashAndAPinOnlyWhenTyped) {
    const std::pair<QString, Children> cases[] = {
        {"1234",
         {{"groupName", "Office"}, {"networkName", "CorpNet"}, {"certificateHash", "bb02"}, {"pin", "1234"}}},
        {"", {{"groupName", "Office"}, {"networkName", "CorpNet"}, {"certificateHash", "bb02"}}},
    };
    for (const auto& [pin, children] : cases) {
        RecordingTransport pipe;
        CertDialog dialog;
        fill(dialog, twoCertificates("61"));
        dialog.show();
        dialog.form().certName->setCurrentIndex(1);
        dialog.form().smartPin->setText(pin);
        QTest::mouseClick(dialog.form().OkBtn, Qt::LeftButton);

        const QList<SentMessage> sent = pipe.messages();
        ASSERT_EQ(sent.size(), 1) << pin.toStdString();
        EXPECT_EQ(sent[0].method, "getCertificateResponse");
        EXPECT_EQ(sent[0].sequenceNumber, "61");
        EXPECT_EQ(sent[0].children, children) << pin.toStdString();
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST(CertDialogChoice, CancelSendsNothing) {
    RecordingTransport pipe;
    CertDialog dialog;
    fill(dialog, twoCertificates());
    dialog.show();
    dialog.form().smartPin->setText("1234");
    QTest::mouseClick(dialog.form().cancelBtn, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(pipe.frames().isEmpty());
}

TEST(CertDialogChoice, AnEmptyListCannotBeConfirmed) {
    RecordingTransport pipe;
    CertDialog dialog;
    const auto& f = dialog.form();
    fill(dialog, twoCertificates("61"));
    fill(dialog, request("62", "LabNet", ""));
    dialog.show();
    EXPECT_EQ(f.certName->count(), 0);
    EXPECT_EQ(f.label->text(), "Choose Certificate for the connection CorpNet:");
    EXPECT_EQ(details(dialog), "|||");
    EXPECT_FALSE(f.OkBtn->isEnabled());
    QTest::mouseClick(f.OkBtn, Qt::LeftButton);
    dialog.ReturnCert(-1);
    EXPECT_TRUE(pipe.frames().isEmpty());
    EXPECT_TRUE(dialog.isVisible());

    fill(dialog, twoCertificates("63"));
    EXPECT_TRUE(f.OkBtn->isEnabled());
}

// The controller sets the newer request's context first, then its list: the list shown must follow.
TEST(CertDialogChoice, ANewerListTakesTheVisibleChooserOver) {
    RecordingTransport pipe;
    CertDialog dialog;
    const auto& f = dialog.form();
    fill(dialog, twoCertificates("61", "CorpNet"));
    dialog.show();
    f.certName->setCurrentIndex(1);
    f.smartPin->setText("1234");

    fill(dialog, request("62", "LabNet", entry("cc03", "Lab", "SC9")));
    EXPECT_EQ(f.label->text(), "Choose Certificate for the connection LabNet:");
    EXPECT_EQ(f.certName->count(), 1);
    EXPECT_EQ(f.smartName->text(), "SC9");
    EXPECT_EQ(f.smartPin->text(), "");
    QTest::mouseClick(f.OkBtn, Qt::LeftButton);

    ASSERT_EQ(pipe.messages().size(), 1);
    EXPECT_EQ(pipe.messages()[0].sequenceNumber, "62");
    EXPECT_EQ(pipe.messages()[0].children,
              (Children{{"groupName", "Office"}, {"networkName", "LabNet"}, {"certificateHash", "cc03"}}));
}

TEST(CertDialogHelp, HelpOpensTheChoosersPage) {
    orvik::QtHelp::loadIndex(QStringLiteral(GUI_WINDOWS_HELP_DIR "/windows.xml"));
    CertDialog dialog;
    QSignalSpy visible(&dialog, &CertDialog::visibleChanged);
    QSignalSpy help(&dialog, &CertDialog::helpRequested);
    fill(dialog, twoCertificates());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(visible.size(), 1);

    QTest::mouseClick(dialog.form().helpButton, Qt::LeftButton);
    EXPECT_EQ(help.size(), 1);
    orvik::HelpWidget* page = orvik::QtHelp::instance().helpWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(page->findChild<QTextBrowser*>("text")->toPlainText().contains("Choose a Certificate"));

    QTest::mouseClick(dialog.form().cancelBtn, Qt::LeftButton);
    EXPECT_FALSE(visible.last().first().toBool());
    EXPECT_FALSE(page->isVisible());
}

}  // namespace
}  // namespace tamsel::test
