#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace Ui {

// The form of the VPN settings dialog: automatic connection, the entry point, OK and Cancel.
class VpnClass {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QCheckBox* autoVpn = nullptr;
    QComboBox* vpnComboBox = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QPushButton* okBtn = nullptr;
    QPushButton* cancelBtn = nullptr;

    void setupUi(QDialog* dialog) {
        if (dialog->objectName().isEmpty()) dialog->setObjectName("VpnClass");
        dialog->resize(182, 151);
        dialog->setModal(true);
        vboxLayout = new QVBoxLayout(dialog);
        vboxLayout->setObjectName("vboxLayout");
        autoVpn = new QCheckBox(dialog);
        autoVpn->setObjectName("autoVpn");
        vboxLayout->addWidget(autoVpn);
        vpnComboBox = new QComboBox(dialog);
        vpnComboBox->setObjectName("vpnComboBox");
        vboxLayout->addWidget(vpnComboBox);
        hboxLayout = new QHBoxLayout();
        hboxLayout->setObjectName("hboxLayout");
        okBtn = new QPushButton(dialog);
        okBtn->setObjectName("okBtn");
        hboxLayout->addWidget(okBtn);
        cancelBtn = new QPushButton(dialog);
        cancelBtn->setObjectName("cancelBtn");
        hboxLayout->addWidget(cancelBtn);
        vboxLayout->addLayout(hboxLayout);

        retranslateUi(dialog);
        QMetaObject::connectSlotsByName(dialog);
    }

    void retranslateUi(QDialog* dialog) {
        dialog->setWindowTitle(QCoreApplication::translate("VpnClass", "VPN Settings"));
        autoVpn->setText(QCoreApplication::translate("VpnClass", "Automatically connect to VPN"));
        vpnComboBox->setAccessibleName(QCoreApplication::translate("VpnClass", "Select VPN Entry Point"));
        okBtn->setText(QCoreApplication::translate("VpnClass", "OK"));
        cancelBtn->setText(QCoreApplication::translate("VpnClass", "Cancel"));
    }
};

}  // namespace Ui
