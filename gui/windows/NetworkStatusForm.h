#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "gui/windows/FormRows.h"

namespace Ui {

// The form of the "Connection Status" window: a caption and a value label per row, in three groups.
class NetworkStatusClass {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QLabel* label_7 = nullptr;
    QLabel* status = nullptr;
    QGroupBox* groupBox = nullptr;
    QGridLayout* gridLayout = nullptr;
    QLabel* label = nullptr;
    QLabel* friendlyName = nullptr;
    QLabel* label_14 = nullptr;
    QLabel* adapterName = nullptr;
    QLabel* label_15 = nullptr;
    QLabel* adapterMacAddress = nullptr;
    QLabel* label_13 = nullptr;
    QLabel* macAddress = nullptr;
    QLabel* label_8 = nullptr;
    QLabel* ip = nullptr;
    QLabel* label_9 = nullptr;
    QLabel* speed = nullptr;
    QLabel* label_10 = nullptr;
    QLabel* label_12 = nullptr;
    QGroupBox* groupBox_2 = nullptr;
    QGridLayout* gridLayout_2 = nullptr;
    QLabel* label_4 = nullptr;
    QLabel* securityOptionsBox = nullptr;
    QLabel* label_11 = nullptr;
    QLabel* eapInnerMthd = nullptr;
    QLabel* label_17 = nullptr;
    QLabel* serverName = nullptr;
    QLabel* label_16 = nullptr;
    QLabel* userMethod = nullptr;
    QGroupBox* groupBox_3 = nullptr;
    QGridLayout* gridLayout_3 = nullptr;
    QLabel* label_2 = nullptr;
    QLabel* ssid = nullptr;
    QLabel* label_3 = nullptr;
    QLabel* signalStrength = nullptr;
    QLabel* label_6 = nullptr;
    QLabel* channel = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QSpacerItem* spacerItem = nullptr;
    QPushButton* closeBtn = nullptr;
    QPushButton* helpButton = nullptr;

    void setupUi(QDialog* dialog) {
        if (dialog->objectName().isEmpty()) dialog->setObjectName("NetworkStatusClass");
        dialog->resize(369, 501);
        dialog->setModal(false);
        vboxLayout = new QVBoxLayout(dialog);
        vboxLayout->setObjectName("vboxLayout");

        label_7 = new QLabel(dialog);
        label_7->setObjectName("label_7");
        QFont title(QStringLiteral("Arial"), 11);
        title.setWeight(QFont::Bold);
        label_7->setFont(title);
        label_7->setAlignment(Qt::AlignCenter);
        vboxLayout->addWidget(label_7);

        status = new QLabel(dialog);
        status->setObjectName("status");
        status->setAlignment(Qt::AlignCenter);
        vboxLayout->addWidget(status);

        groupBox = group(dialog, "groupBox", gridLayout, "gridLayout");
        addCaptionRow(gridLayout, 0, label, "label", friendlyName, "friendlyName");
        addCaptionRow(gridLayout, 1, label_14, "label_14", adapterName, "adapterName");
        addCaptionRow(gridLayout, 2, label_15, "label_15", adapterMacAddress, "adapterMacAddress");
        addCaptionRow(gridLayout, 3, label_13, "label_13", macAddress, "macAddress");
        addCaptionRow(gridLayout, 4, label_8, "label_8", ip, "ip");
        addCaptionRow(gridLayout, 5, label_9, "label_9", speed, "speed");
        addCaptionRow(gridLayout, 6, label_10, "label_10", label_12, "label_12");
        vboxLayout->addWidget(groupBox);

        groupBox_2 = group(dialog, "groupBox_2", gridLayout_2, "gridLayout_2");
        addCaptionRow(gridLayout_2, 0, label_4, "label_4", securityOptionsBox, "securityOptionsBox");
        addCaptionRow(gridLayout_2, 1, label_11, "label_11", eapInnerMthd, "eapInnerMthd");
        addCaptionRow(gridLayout_2, 2, label_17, "label_17", serverName, "serverName");
        addCaptionRow(gridLayout_2, 3, label_16, "label_16", userMethod, "userMethod");
        vboxLayout->addWidget(groupBox_2);

        groupBox_3 = group(dialog, "groupBox_3", gridLayout_3, "gridLayout_3");
        addCaptionRow(gridLayout_3, 0, label_2, "label_2", ssid, "ssid");
        addCaptionRow(gridLayout_3, 1, label_3, "label_3", signalStrength, "signalStrength");
        addCaptionRow(gridLayout_3, 2, label_6, "label_6", channel, "channel");
        vboxLayout->addWidget(groupBox_3);

        hboxLayout = new QHBoxLayout();
        hboxLayout->setObjectName("hboxLayout");
        spacerItem = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
        hboxLayout->addItem(spacerItem);
        closeBtn = new QPushButton(dialog);
        closeBtn->setObjectName("closeBtn");
        hboxLayout->addWidget(closeBtn);
        helpButton = new QPushButton(dialog);
        helpButton->setObjectName("helpButton");
        hboxLayout->addWidget(helpButton);
        vboxLayout->addLayout(hboxLayout);

        retranslateUi(dialog);
        QMetaObject::connectSlotsByName(dialog);
    }

    void retranslateUi(QDialog* dialog) {
        dialog->setWindowTitle(QCoreApplication::translate("NetworkStatusClass", "Connection Status"));
        label_7->setText(QCoreApplication::translate("NetworkStatusClass", "Varnel Tamsel"));
        groupBox->setTitle(QCoreApplication::translate("NetworkStatusClass", "Connection Settings"));
        label->setText(QCoreApplication::translate("NetworkStatusClass", "Descriptive Name:"));
        label_14->setText(QCoreApplication::translate("NetworkStatusClass", "Network Adapter:"));
        label_15->setText(QCoreApplication::translate("NetworkStatusClass", "Local MAC Address:"));
        label_13->setText(QCoreApplication::translate("NetworkStatusClass", "Remote MAC Address: "));
        label_8->setText(QCoreApplication::translate("NetworkStatusClass", "IP Address:"));
        label_9->setText(QCoreApplication::translate("NetworkStatusClass", "Max. Speed (Mbps):"));
        label_10->setText(QCoreApplication::translate("NetworkStatusClass", "Media:"));
        label_12->setText(QCoreApplication::translate("NetworkStatusClass", "WLAN"));
        groupBox_2->setTitle(QCoreApplication::translate("NetworkStatusClass", "Security Settings"));
        label_4->setText(QCoreApplication::translate("NetworkStatusClass", "Security:"));
        label_11->setText(QCoreApplication::translate("NetworkStatusClass", "EAP Method:"));
        label_17->setText(QCoreApplication::translate("NetworkStatusClass", "Server:"));
        label_16->setText(QCoreApplication::translate("NetworkStatusClass", "Credential type:"));
        groupBox_3->setTitle(QCoreApplication::translate("NetworkStatusClass", "Wi-Fi Settings"));
        label_2->setText(QCoreApplication::translate("NetworkStatusClass", "SSID:"));
        label_3->setText(QCoreApplication::translate("NetworkStatusClass", "Signal Strength:"));
        label_6->setText(QCoreApplication::translate("NetworkStatusClass", "Channel:"));
        closeBtn->setText(QCoreApplication::translate("NetworkStatusClass", "&Close"));
        helpButton->setText(QCoreApplication::translate("NetworkStatusClass", "Help"));
    }

private:
    static QGroupBox* group(QDialog* dialog, const char* name, QGridLayout*& grid, const char* gridName) {
        auto* box = new QGroupBox(dialog);
        box->setObjectName(name);
        grid = new QGridLayout(box);
        grid->setObjectName(gridName);
        grid->setColumnStretch(1, 1);
        return box;
    }
};

}  // namespace Ui
