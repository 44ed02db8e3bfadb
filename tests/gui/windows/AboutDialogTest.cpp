#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "gui/windows/AboutDialog.h"
#include "gui/windows/AboutDialogForm.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/Screenshot.h"

namespace tamsel::test {
namespace {

TEST(AboutDialogTest, ProductVersionAndLogoOnWhite) {
    AboutDialog about;
    EXPECT_EQ(about.objectName(), "AboutDialogClass");
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.size(), QSize(215, 220));
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_EQ(about.form().label_2->text(), "Varnel Tamsel");
    EXPECT_EQ(about.form().label->text(), "Version 5.1.1.18");
    EXPECT_EQ(about.form().label->font().family(), "Verdana");
    EXPECT_EQ(about.form().label->font().pointSize(), 7);
    for (QLabel* notice : {about.form().label_3, about.form().label_4, about.form().label_5}) {
        EXPECT_FALSE(notice->text().isEmpty());
    }
    EXPECT_TRUE(about.form().imgIcon->text().isEmpty());
    EXPECT_FALSE(about.form().label_6->pixmap().isNull());
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        EXPECT_EQ(about.palette().color(group, QPalette::Window), QColor(255, 255, 255));
        EXPECT_EQ(about.palette().color(group, QPalette::Base), QColor(255, 255, 255));
    }
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    saveScreenshot(about, "AboutDialog");
    EXPECT_EQ(about.form().pushButton->text(), "&Close");
    QTest::mouseClick(about.form().pushButton, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tamsel::test
