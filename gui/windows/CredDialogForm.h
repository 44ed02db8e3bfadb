#pragma once

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "gui/windows/FormRows.h"

namespace Ui {

// The form of the credential prompt: the prompt, four label and field rows, the check box that
// shows the passwords, OK and Cancel.
class CredDialogClass {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QLabel* label_3 = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QLabel* label = nullptr;
    QLineEdit* userNameText = nullptr;
    QHBoxLayout* hboxLayout1 = nullptr;
    QLabel* label_2 = nullptr;
    QLineEdit* passwordText = nullptr;
    QHBoxLayout* hboxLayout2 = nullptr;
    QLabel* label_4 = nullptr;
    QLineEdit* newPasswordText = nullptr;
    QHBoxLayout* hboxLayout3 = nullptr;
    QLabel* label_5 = nullptr;
    QLineEdit* verifyPasswordText = nullptr;
    QCheckBox* passwordCheckBox = nullptr;
    QHBoxLayout* hboxLayout4 = nullptr;
    QSpacerItem* spacerItem = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* cancelBtn = nullptr;

    void setupUi(QDialog* dialog) {
        if (dialog->objectName().isEmpty()) dialog->setObjectName("CredDialogClass");
        dialog->resize(239, 201);
        dialog->setModal(true);
        vboxLayout = new QVBoxLayout(dialog);
        vboxLayout->setObjectName("vboxLayout");
        vboxLayout->setSpacing(6);
        vboxLayout->setContentsMargins(11, 11, 11, 11);

        label_3 = new QLabel(dialog);
        label_3->setObjectName("label_3");
        label_3->setWordWrap(true);
        label_3->setScaledContents(true);
        label_3->setFocusPolicy(Qt::StrongFocus);
        vboxLayout->addWidget(label_3);

        addFieldRow(vboxLayout, hboxLayout, "hboxLayout", label, "label", userNameText, "userNameText");
        label->setAlignment(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
        label->setBuddy(userNameText);
        userNameText->setMaximumWidth(170);
        addFieldRow(vboxLayout, hboxLayout1, "hboxLayout1", label_2, "label_2", passwordText, "passwordText");
        label_2->setBuddy(passwordText);
        passwordText->setMaximumWidth(170);
        passwordText->setEchoMode(QLineEdit::Password);
        addFieldRow(vboxLayout, hboxLayout2, "hboxLayout2", label_4, "label_4", newPasswordText,
                    "newPasswordText");
        newPasswordText->setEchoMode(QLineEdit::Password);
        addFieldRow(vboxLayout, hboxLayout3, "hboxLayout3", label_5, "label_5", verifyPasswordText,
                    "verifyPasswordText");
        verifyPasswordText->setEchoMode(QLineEdit::Password);

        passwordCheckBox = new QCheckBox(dialog);
        passwordCheckBox->setObjectName("passwordCheckBox");
        vboxLayout->addWidget(passwordCheckBox);

        addButtonRow(vboxLayout, hboxLayout4, "hboxLayout4", spacerItem,
                     {{&OkBtn, "OkBtn"}, {&cancelBtn, "cancelBtn"}});
        OkBtn->setDefault(true);

        QWidget::setTabOrder(userNameText, passwordText);
        QWidget::setTabOrder(passwordText, newPasswordText);
        QWidget::setTabOrder(newPasswordText, verifyPasswordText);
        QWidget::setTabOrder(verifyPasswordText, passwordCheckBox);
        QWidget::setTabOrder(passwordCheckBox, OkBtn);
        QWidget::setTabOrder(OkBtn, cancelBtn);

        retranslateUi(dialog);
        QMetaObject::connectSlotsByName(dialog);
    }

    void retranslateUi(QDialog* dialog) {
        dialog->setWindowTitle(QCoreApplication::translate("CredDialogClass", "Credentials"));
        label->setText(QCoreApplication::translate("CredDialogClass", "Username:"));
        userNameText->setAccessibleName(QCoreApplication::translate("CredDialogClass", "Username"));
        label_2->setText(QCoreApplication::translate("CredDialogClass", "Password:"));
        passwordText->setAccessibleName(QCoreApplication::translate("CredDialogClass", "Password"));
        label_4->setText(QCoreApplication::translate("CredDialogClass", "New Password:"));
        newPasswordText->setAccessibleName(QCoreApplication::translate("CredDialogClass", "New Password"));
        label_5->setText(QCoreApplication::translate("CredDialogClass", "Verify Password:"));
        verifyPasswordText->setAccessibleName(
            QCoreApplication::translate("CredDialogClass", "Verify Password"));
        passwordCheckBox->setText(QCoreApplication::translate("CredDialogClass", "Show password"));
        OkBtn->setText(QCoreApplication::translate("CredDialogClass", "&OK"));
        cancelBtn->setText(QCoreApplication::translate("CredDialogClass", "&Cancel"));
    }
};

}  // namespace Ui
