#pragma once

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

// The form of the smart-card PIN prompt: the card's name, the PIN field, OK and Cancel.
class SmartPinDialogClass {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QLabel* label = nullptr;
    QLabel* pinName = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QLabel* PinLabel = nullptr;
    QLineEdit* Pin = nullptr;
    QHBoxLayout* hboxLayout1 = nullptr;
    QSpacerItem* spacerItem = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* pushButton = nullptr;

    void setupUi(QDialog* dialog) {
        if (dialog->objectName().isEmpty()) dialog->setObjectName("SmartPinDialogClass");
        dialog->resize(253, 200);
        dialog->setModal(true);
        vboxLayout = new QVBoxLayout(dialog);
        vboxLayout->setObjectName("vboxLayout");
        vboxLayout->setSpacing(6);
        vboxLayout->setContentsMargins(11, 11, 11, 11);

        label = new QLabel(dialog);
        label->setObjectName("label");
        vboxLayout->addWidget(label);
        pinName = new QLabel(dialog);
        pinName->setObjectName("pinName");
        vboxLayout->addWidget(pinName);

        addFieldRow(vboxLayout, hboxLayout, "hboxLayout", PinLabel, "PinLabel", Pin, "Pin");
        Pin->setEchoMode(QLineEdit::Password);
        PinLabel->setBuddy(Pin);

        addButtonRow(vboxLayout, hboxLayout1, "hboxLayout1", spacerItem,
                     {{&OKButton, "OKButton"}, {&pushButton, "pushButton"}});

        retranslateUi(dialog);
        QMetaObject::connectSlotsByName(dialog);
    }

    void retranslateUi(QDialog* dialog) {
        dialog->setWindowTitle(QCoreApplication::translate("SmartPinDialogClass", "SmartCard PIN"));
        label->setText(
            QCoreApplication::translate("SmartPinDialogClass", "Please enter your SmarCard PIN for:"));
        PinLabel->setText(QCoreApplication::translate("SmartPinDialogClass", "SmartCard PIN:"));
        OKButton->setText(QCoreApplication::translate("SmartPinDialogClass", "OK"));
        pushButton->setText(QCoreApplication::translate("SmartPinDialogClass", "Cancel"));
    }
};

}  // namespace Ui
