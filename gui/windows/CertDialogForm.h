#pragma once

#include <QComboBox>
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

// The form of the certificate chooser: the prompt, the certificates offered, the chosen one's
// details, its smart card and PIN, and the buttons.
class CertDialogClass {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QLabel* label = nullptr;
    QComboBox* certName = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QLabel* label_2 = nullptr;
    QLabel* issueToText = nullptr;
    QHBoxLayout* hboxLayout1 = nullptr;
    QLabel* label_3 = nullptr;
    QLabel* issueByText = nullptr;
    QHBoxLayout* hboxLayout2 = nullptr;
    QLabel* label_4 = nullptr;
    QLabel* expDate = nullptr;
    QHBoxLayout* hboxLayout3 = nullptr;
    QLabel* label_5 = nullptr;
    QLabel* serialNo = nullptr;
    QHBoxLayout* hboxLayout4 = nullptr;
    QLabel* label_7 = nullptr;
    QLabel* smartName = nullptr;
    QHBoxLayout* hboxLayout5 = nullptr;
    QLabel* label_6 = nullptr;
    QLineEdit* smartPin = nullptr;
    QHBoxLayout* hboxLayout6 = nullptr;
    QSpacerItem* spacerItem = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* cancelBtn = nullptr;
    QPushButton* helpButton = nullptr;

    void setupUi(QDialog* dialog) {
        if (dialog->objectName().isEmpty()) dialog->setObjectName("CertDialogClass");
        dialog->resize(269, 238);
        dialog->setModal(true);
        vboxLayout = new QVBoxLayout(dialog);
        vboxLayout->setObjectName("vboxLayout");
        vboxLayout->setSpacing(6);
        vboxLayout->setContentsMargins(11, 11, 11, 11);

        label = new QLabel(dialog);
        label->setObjectName("label");
        label->setWordWrap(true);
        vboxLayout->addWidget(label);
        certName = new QComboBox(dialog);
        certName->setObjectName("certName");
        vboxLayout->addWidget(certName);

        addFieldRow(vboxLayout, hboxLayout, "hboxLayout", label_2, "label_2", issueToText, "issueToText");
        addFieldRow(vboxLayout, hboxLayout1, "hboxLayout1", label_3, "label_3", issueByText, "issueByText");
        addFieldRow(vboxLayout, hboxLayout2, "hboxLayout2", label_4, "label_4", expDate, "expDate");
        addFieldRow(vboxLayout, hboxLayout3, "hboxLayout3", label_5, "label_5", serialNo, "serialNo");
        addFieldRow(vboxLayout, hboxLayout4, "hboxLayout4", label_7, "label_7", smartName, "smartName");

        addFieldRow(vboxLayout, hboxLayout5, "hboxLayout5", label_6, "label_6", smartPin, "smartPin");
        smartPin->setEchoMode(QLineEdit::Password);
        label_6->setBuddy(smartPin);

        addButtonRow(vboxLayout, hboxLayout6, "hboxLayout6", spacerItem,
                     {{&OkBtn, "OkBtn"}, {&cancelBtn, "cancelBtn"}, {&helpButton, "helpButton"}});
        OkBtn->setDefault(true);

        QWidget::setTabOrder(certName, smartPin);
        QWidget::setTabOrder(smartPin, OkBtn);
        QWidget::setTabOrder(OkBtn, cancelBtn);
        QWidget::setTabOrder(cancelBtn, helpButton);

        retranslateUi(dialog);
        QMetaObject::connectSlotsByName(dialog);
    }

    void retranslateUi(QDialog* dialog) {
        dialog->setWindowTitle(QCoreApplication::translate("CertDialogClass", "CertDialog"));
        label->setText(QCoreApplication::translate("CertDialogClass", "Choose Certificate:"));
        certName->setAccessibleName(QCoreApplication::translate("CertDialogClass", "Certificate List"));
        label_2->setText(QCoreApplication::translate("CertDialogClass", "Issued to:"));
        label_3->setText(QCoreApplication::translate("CertDialogClass", "Issued by:"));
        label_4->setText(QCoreApplication::translate("CertDialogClass", "Expiration date:"));
        label_5->setText(QCoreApplication::translate("CertDialogClass", "Serial Number:"));
        label_7->setText(QCoreApplication::translate("CertDialogClass", "SmartCard Name:"));
        label_6->setText(QCoreApplication::translate("CertDialogClass", "SmartCard PIN:"));
        smartPin->setAccessibleName(QCoreApplication::translate("CertDialogClass", "Enter Smart Card Pin"));
        OkBtn->setText(QCoreApplication::translate("CertDialogClass", "&OK"));
        cancelBtn->setText(QCoreApplication::translate("CertDialogClass", "&Cancel"));
        helpButton->setText(QCoreApplication::translate("CertDialogClass", "&Help"));
    }
};

}  // namespace Ui
