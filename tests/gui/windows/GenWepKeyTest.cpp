#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "gui/windows/GenWepKey.h"
#include "gui/windows/GenWepKeyForm.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/windows/FormChecks.h"

namespace tamsel::test {
namespace {

// The key the window shows for `phrase` with the chosen length, starting from `before` in the field.
QString generate(GenWepKey& window, bool bits64, const QString& phrase, const QString& before = {}) {
    const auto& f = window.form();
    (bits64 ? f.hex10Btn : f.radioButton_2)->setChecked(true);
    f.lineEdit->setText(phrase);
    f.lineEdit_2->setText(before);
    QTest::mouseClick(f.pushButton, Qt::LeftButton);
    return f.lineEdit_2->text();
}

TEST(GenWepKeyForm, NamesTextsAndOrder) {
    GenWepKey window;
    const auto& f = window.form();
    EXPECT_EQ(window.objectName(), "GenWepKeyClass");
    EXPECT_EQ(window.windowTitle(), "Generate WEP key");
    // At least the form's width: wider where its texts need it.
    EXPECT_GE(window.width(), 310);
    EXPECT_EQ(window.height(), 336);
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(f.radioButton_2->isChecked());
    EXPECT_FALSE(f.hex10Btn->isChecked());
    EXPECT_EQ((QStringList{f.hex10Btn->text(), f.radioButton_2->text(), f.label->text(), f.label_2->text(),
                           f.pushButton->text()}),
              (QStringList{"64 bits 10 hex digits", "128 bits 26 hex digits",
                           "Pass Phrase:", "Generated WEP Key:", "Generate WEP Key"}));
    EXPECT_TRUE(f.label_3->text().startsWith("This window will allow you to generate the same WEP key"));
    EXPECT_TRUE(f.label_4->text().endsWith("your Generated Key will be copied to the previous window."));
    EXPECT_TRUE(f.label_3->font().bold() && f.label_4->font().bold());
    EXPECT_EQ(f.lineEdit->accessibleName(), "Enter Pass phrase");
    EXPECT_FALSE(f.lineEdit_2->isEnabled());
    EXPECT_TRUE(f.lineEdit_2->isReadOnly());
    EXPECT_TRUE(f.pushButton->isDefault());
    EXPECT_EQ(f.buttonBox->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(tabChain(window), (QStringList{"hex10Btn", "radioButton_2", "lineEdit", "lineEdit_2",
                                             "buttonBox", "buttonBox", "pushButton"}));
}

TEST(GenWepKeyKeys, PassPhrasesGiveTheRoutersKeys) {
    struct Case {
        QString phrase;
        QString key64;
        QString key128;
    };
    const Case cases[] = {
        {"test", "1b9dda483d", "9fdf3bfdfb10afeb0925ef9605"},
        // Folds to four zero bytes.
        {"abcdabcd", "2627f68597", "386f81fd57366030ae7ea0392a"},
        // Only the first 64 bytes count for the 128-bit key.
        {QString(70, 'a'), "0390bb3684", "014842d480b571495a4a036379"},
        {QString(64, 'a'), "2627f68597", "014842d480b571495a4a036379"},
        // Latin-1 bytes for 64 bits, UTF-8 for 128.
        {QStringLiteral("Büro"), "95a5c1795c", "42efb3b59c4a18ba9d41876fc0"},
        // Same folded bytes, same 64-bit key.
        {"abcdefgh", "37dd5a0741", "6603ae3536db4d48779b5a7aa9"},
        {"efghabcd", "37dd5a0741", "1faeab120593f3cf150c2f76e8"},
    };
    GenWepKey window;
    for (const Case& c : cases) {
        EXPECT_EQ(generate(window, true, c.phrase), c.key64) << c.phrase.toStdString();
        EXPECT_EQ(generate(window, false, c.phrase), c.key128) << c.phrase.toStdString();
    }
}

TEST(GenWepKeyKeys, AnEmptyPassPhrase) {
    GenWepKey window;
    EXPECT_EQ(generate(window, true, "", "old"), "2020202020");
    EXPECT_EQ(generate(window, false, "", "old"), "old");
}

TEST(GenWepKeyWindow, ShowWindowStartsEmptyAndKeepsTheKeyLength) {
    GenWepKey window;
    generate(window, true, "test");
    window.close();
    window.ShowWindow();
    saveScreenshot(window, "GenWepKey");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.form().lineEdit->text() + window.form().lineEdit_2->text(), "");
    EXPECT_TRUE(window.form().hex10Btn->isChecked());
}

TEST(GenWepKeyWindow, OkCopiesTheKeyEvenEmptyAndCancelCopiesNothing) {
    GenWepKey window;
    QSignalSpy copied(&window, &GenWepKey::copyHexString);
    const auto& f = window.form();

    window.ShowWindow();
    generate(window, false, "test");
    QTest::mouseClick(f.buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
    ASSERT_EQ(copied.size(), 1);
    EXPECT_EQ(copied.last().first().toString(), "9fdf3bfdfb10afeb0925ef9605");
    EXPECT_FALSE(window.isVisible());

    window.ShowWindow();
    QTest::mouseClick(f.buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
    ASSERT_EQ(copied.size(), 2);
    EXPECT_EQ(copied.last().first().toString(), "");

    window.ShowWindow();
    generate(window, true, "test");
    QTest::mouseClick(f.buttonBox->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    EXPECT_EQ(copied.size(), 2);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tamsel::test
