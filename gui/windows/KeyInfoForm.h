#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "gui/windows/FormRows.h"

namespace Ui {

// The form of the network profile editor: name, SSID, security type and key, the 802.1X choices,
// the message line, the VPN settings, the script and the buttons.
class KeyInfoClass {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QGroupBox* groupBox = nullptr;
    QVBoxLayout* vboxLayout1 = nullptr;
    QGridLayout* gridLayout = nullptr;
    QLabel* nameLabel = nullptr;
    QLineEdit* nameText = nullptr;
    QLabel* label_2 = nullptr;
    QLineEdit* ssidText = nullptr;
    QLabel* label_5 = nullptr;
    QComboBox* keyType = nullptr;
    QLabel* label_4 = nullptr;
    QLineEdit* keyText = nullptr;
    QGroupBox* groupBox_2 = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QComboBox* eapMethod = nullptr;
    QComboBox* credentials = nullptr;
    QHBoxLayout* hboxLayout1 = nullptr;
    QCheckBox* checkBox = nullptr;
    QPushButton* generateBtn = nullptr;
    QLabel* label = nullptr;
    QGroupBox* vpnGroupBox = nullptr;
    QVBoxLayout* vboxLayout2 = nullptr;
    QCheckBox* autoVpn = nullptr;
    QComboBox* vpnComboBox = nullptr;
    QGroupBox* groupBox_3 = nullptr;
    QGridLayout* gridLayout1 = nullptr;
    QLabel* label_3 = nullptr;
    QPushButton* scriptButton = nullptr;
    QLineEdit* scriptName = nullptr;
    QHBoxLayout* hboxLayout2 = nullptr;
    QSpacerItem* spacerItem = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* helpButton = nullptr;

    void setupUi(QDialog* dialog) {
        if (dialog->objectName().isEmpty()) dialog->setObjectName("KeyInfoClass");
        // Rows come and go with the security type; the window keeps its size.
        dialog->setFixedSize(318, 515);
        dialog->setWindowModality(Qt::ApplicationModal);
        vboxLayout = new QVBoxLayout(dialog);
        vboxLayout->setObjectName("vboxLayout");

        groupBox = new QGroupBox(dialog);
        groupBox->setObjectName("groupBox");
        vboxLayout1 = new QVBoxLayout(groupBox);
        vboxLayout1->setObjectName("vboxLayout1");
        gridLayout = new QGridLayout();
        gridLayout->setObjectName("gridLayout");
        addGridRow(groupBox, 0, nameLabel, "nameLabel", nameText, "nameText");
        nameText->setMaxLength(40);
        addGridRow(groupBox, 1, label_2, "label_2", ssidText, "ssidText");
        ssidText->setMaxLength(32);
        ssidText->setEnabled(false);
        ssidText->setReadOnly(true);
        addGridRow(groupBox, 2, label_5, "label_5", keyType, "keyType");
        addGridRow(groupBox, 3, label_4, "label_4", keyText, "keyText");
        vboxLayout1->addLayout(gridLayout);

        groupBox_2 = new QGroupBox(groupBox);
        groupBox_2->setObjectName("groupBox_2");
        hboxLayout = new QHBoxLayout(groupBox_2);
        hboxLayout->setObjectName("hboxLayout");
        eapMethod = new QComboBox(groupBox_2);
        eapMethod->setObjectName("eapMethod");
        hboxLayout->addWidget(eapMethod);
        credentials = new QComboBox(groupBox_2);
        credentials->setObjectName("credentials");
        hboxLayout->addWidget(credentials);
        vboxLayout1->addWidget(groupBox_2);

        hboxLayout1 = new QHBoxLayout();
        hboxLayout1->setObjectName("hboxLayout1");
        checkBox = new QCheckBox(groupBox);
        checkBox->setObjectName("checkBox");
        hboxLayout1->addWidget(checkBox);
        generateBtn = new QPushButton(groupBox);
        generateBtn->setObjectName("generateBtn");
        hboxLayout1->addWidget(generateBtn);
        vboxLayout1->addLayout(hboxLayout1);

        label = new QLabel(groupBox);
        label->setObjectName("label");
        QFont messageFont(QStringLiteral("MS Shell Dlg 2"), 8);
        messageFont.setBold(true);
        label->setFont(messageFont);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        vboxLayout1->addWidget(label);
        vboxLayout->addWidget(groupBox);

        vpnGroupBox = new QGroupBox(dialog);
        vpnGroupBox->setObjectName("vpnGroupBox");
        vboxLayout2 = new QVBoxLayout(vpnGroupBox);
        vboxLayout2->setObjectName("vboxLayout2");
        autoVpn = new QCheckBox(vpnGroupBox);
        autoVpn->setObjectName("autoVpn");
        vboxLayout2->addWidget(autoVpn);
        vpnComboBox = new QComboBox(vpnGroupBox);
        vpnComboBox->setObjectName("vpnComboBox");
        vboxLayout2->addWidget(vpnComboBox);
        vboxLayout->addWidget(vpnGroupBox);

        groupBox_3 = new QGroupBox(dialog);
        groupBox_3->setObjectName("groupBox_3");
        gridLayout1 = new QGridLayout(groupBox_3);
        gridLayout1->setObjectName("gridLayout1");
        label_3 = new QLabel(groupBox_3);
        label_3->setObjectName("label_3");
        label_3->setWordWrap(true);
        gridLayout1->addWidget(label_3, 0, 0, 1, 2);
        scriptButton = new QPushButton(groupBox_3);
        scriptButton->setObjectName("scriptButton");
        gridLayout1->addWidget(scriptButton, 1, 0);
        scriptName = new QLineEdit(groupBox_3);
        scriptName->setObjectName("scriptName");
        gridLayout1->addWidget(scriptName, 1, 1);
        vboxLayout->addWidget(groupBox_3);

        addButtonRow(vboxLayout, hboxLayout2, "hboxLayout2", spacerItem,
                     {{&okButton, "okButton"}, {&cancelButton, "cancelButton"}, {&helpButton, "helpButton"}});
        okButton->setDefault(true);

        QWidget::setTabOrder(nameText, ssidText);
        QWidget::setTabOrder(ssidText, keyType);
        QWidget::setTabOrder(keyType, keyText);
        QWidget::setTabOrder(keyText, eapMethod);
        QWidget::setTabOrder(eapMethod, credentials);
        QWidget::setTabOrder(credentials, checkBox);
        QWidget::setTabOrder(checkBox, generateBtn);
        QWidget::setTabOrder(generateBtn, autoVpn);
        QWidget::setTabOrder(autoVpn, vpnComboBox);
        QWidget::setTabOrder(vpnComboBox, scriptButton);
        QWidget::setTabOrder(scriptButton, scriptName);
        QWidget::setTabOrder(scriptName, okButton);
        QWidget::setTabOrder(okButton, cancelButton);
        QWidget::setTabOrder(cancelButton, helpButton);

        retranslateUi(dialog);
        QMetaObject::connectSlotsByName(dialog);
    }

    void retranslateUi(QDialog* dialog) {
        const char* const context = "KeyInfoClass";
        dialog->setWindowTitle(QCoreApplication::translate(context, "Enter Connection Info"));
        groupBox->setTitle(QCoreApplication::translate(context, "Connect"));
        nameLabel->setText(QCoreApplication::translate(context, "Descriptive Name:"));
        nameText->setAccessibleName(QCoreApplication::translate(context, "Descriptive Name"));
        label_2->setText(QCoreApplication::translate(context, "SSID Name:"));
        ssidText->setAccessibleName(QCoreApplication::translate(context, "SSID Name"));
        label_5->setText(QCoreApplication::translate(context, "Security:"));
        label_4->setText(QCoreApplication::translate(context, "Key:"));
        keyText->setAccessibleName(QCoreApplication::translate(context, "Enter Key"));
        groupBox_2->setTitle(QCoreApplication::translate(context, "802.1X Configuration"));
        checkBox->setText(QCoreApplication::translate(context, "Show key"));
        generateBtn->setText(QCoreApplication::translate(context, "Generate Router WEP key"));
        label->setText(QCoreApplication::translate(context, "Enter Information for New Connection."));
        vpnGroupBox->setTitle(QCoreApplication::translate(context, "VPN Settings"));
        autoVpn->setText(QCoreApplication::translate(context, "Automatically connect to VPN"));
        vpnComboBox->setAccessibleName(QCoreApplication::translate(context, "Select V P N Entry Point"));
        groupBox_3->setTitle(QCoreApplication::translate(context, "Script"));
        label_3->setText(
            QCoreApplication::translate(context, "When this network is connected run the follow script:"));
        scriptButton->setText(QCoreApplication::translate(context, "Run Script..."));
        okButton->setText(QCoreApplication::translate(context, "&OK"));
        cancelButton->setText(QCoreApplication::translate(context, "&Cancel"));
        helpButton->setText(QCoreApplication::translate(context, "Help"));
    }

private:
    template <typename Field>
    void addGridRow(QWidget* box, int line, QLabel*& caption, const char* captionName, Field*& field,
                    const char* fieldName) {
        caption = new QLabel(box);
        caption->setObjectName(captionName);
        gridLayout->addWidget(caption, line, 0);
        field = new Field(box);
        field->setObjectName(fieldName);
        gridLayout->addWidget(field, line, 1);
    }
};

}  // namespace Ui
