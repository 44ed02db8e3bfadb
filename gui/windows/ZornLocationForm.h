#pragma once

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "gui/windows/FormRows.h"

namespace Ui {

// The form of the location window: the request's settings above, the answer's values below.
class ZornLocationClass {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QGroupBox* groupBox = nullptr;
    QVBoxLayout* vboxLayout1 = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QComboBox* formatBox = nullptr;
    QComboBox* resolutionBox = nullptr;
    QComboBox* encodingBox = nullptr;
    QHBoxLayout* hboxLayout1 = nullptr;
    QPushButton* getLocationBtn = nullptr;
    QPushButton* closeBtn = nullptr;
    QGroupBox* groupBox_2 = nullptr;
    QGridLayout* gridLayout = nullptr;
    QLabel* label = nullptr;
    QLabel* Format = nullptr;
    QLabel* label_7 = nullptr;
    QLabel* SigType = nullptr;
    QLabel* label_3 = nullptr;
    QLabel* Data = nullptr;
    QLabel* label_9 = nullptr;
    QLabel* DigitalSignature = nullptr;
    QLabel* label_5 = nullptr;
    QLabel* Accuracy = nullptr;
    QLabel* label_11 = nullptr;
    QLabel* LocationId = nullptr;
    QLabel* Status = nullptr;

    void setupUi(QWidget* window) {
        if (window->objectName().isEmpty()) window->setObjectName("ZornLocationClass");
        window->resize(389, 225);
        vboxLayout = new QVBoxLayout(window);
        vboxLayout->setObjectName("vboxLayout");

        groupBox = new QGroupBox(window);
        groupBox->setObjectName("groupBox");
        vboxLayout1 = new QVBoxLayout(groupBox);
        vboxLayout1->setObjectName("vboxLayout1");
        hboxLayout = new QHBoxLayout();
        hboxLayout->setObjectName("hboxLayout");
        for (auto [box, name] :
             {std::pair{&formatBox, "formatBox"}, std::pair{&resolutionBox, "resolutionBox"},
              std::pair{&encodingBox, "encodingBox"}}) {
            *box = new QComboBox(groupBox);
            (*box)->setObjectName(name);
            hboxLayout->addWidget(*box);
        }
        vboxLayout1->addLayout(hboxLayout);
        hboxLayout1 = new QHBoxLayout();
        hboxLayout1->setObjectName("hboxLayout1");
        getLocationBtn = new QPushButton(groupBox);
        getLocationBtn->setObjectName("getLocationBtn");
        hboxLayout1->addWidget(getLocationBtn);
        closeBtn = new QPushButton(groupBox);
        closeBtn->setObjectName("closeBtn");
        hboxLayout1->addWidget(closeBtn);
        vboxLayout1->addLayout(hboxLayout1);
        vboxLayout->addWidget(groupBox);

        groupBox_2 = new QGroupBox(window);
        groupBox_2->setObjectName("groupBox_2");
        gridLayout = new QGridLayout(groupBox_2);
        gridLayout->setObjectName("gridLayout");
        gridLayout->setColumnStretch(1, 1);
        addCaptionRow(gridLayout, 0, label, "label", Format, "Format");
        addCaptionRow(gridLayout, 1, label_7, "label_7", SigType, "SigType");
        addCaptionRow(gridLayout, 2, label_3, "label_3", Data, "Data");
        addCaptionRow(gridLayout, 3, label_9, "label_9", DigitalSignature, "DigitalSignature");
        addCaptionRow(gridLayout, 4, label_5, "label_5", Accuracy, "Accuracy");
        addCaptionRow(gridLayout, 5, label_11, "label_11", LocationId, "LocationId");
        vboxLayout->addWidget(groupBox_2);

        Status = new QLabel(window);
        Status->setObjectName("Status");
        vboxLayout->addWidget(Status);

        retranslateUi(window);
        QMetaObject::connectSlotsByName(window);
    }

    void retranslateUi(QWidget* window) {
        window->setWindowTitle(QCoreApplication::translate("ZornLocationClass", "Location"));
        groupBox->setTitle(QCoreApplication::translate("ZornLocationClass", "Location Settings"));
        getLocationBtn->setText(QCoreApplication::translate("ZornLocationClass", "GetLocation"));
        closeBtn->setText(QCoreApplication::translate("ZornLocationClass", "Close"));
        groupBox_2->setTitle(QCoreApplication::translate("ZornLocationClass", "Location Results"));
        label->setText(QCoreApplication::translate("ZornLocationClass", "Format:"));
        Format->setText(QCoreApplication::translate("ZornLocationClass", "Format"));
        label_7->setText(QCoreApplication::translate("ZornLocationClass", "Signature Type:"));
        SigType->setText(QCoreApplication::translate("ZornLocationClass", "SigType"));
        label_3->setText(QCoreApplication::translate("ZornLocationClass", "Data:"));
        Data->setText(QCoreApplication::translate("ZornLocationClass", "Data"));
        label_9->setText(QCoreApplication::translate("ZornLocationClass", "Digital Signature:"));
        DigitalSignature->setText(QCoreApplication::translate("ZornLocationClass", "DigitalSignature"));
        label_5->setText(QCoreApplication::translate("ZornLocationClass", "Accuracy:"));
        Accuracy->setText(QCoreApplication::translate("ZornLocationClass", "Accuracy"));
        label_11->setText(QCoreApplication::translate("ZornLocationClass", "Location Id"));
        LocationId->setText(QCoreApplication::translate("ZornLocationClass", "LocationId"));
        Status->setText(QCoreApplication::translate("ZornLocationClass", "Waiting for data..."));
    }
};

}  // namespace Ui
