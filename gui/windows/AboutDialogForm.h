#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace Ui {

// The form of the about box: the logo, the product's name and version, the maker's notice.
class AboutDialogClass {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QLabel* label_6 = nullptr;
    QVBoxLayout* vboxLayout1 = nullptr;
    QLabel* label_2 = nullptr;
    QLabel* label = nullptr;
    QLabel* label_3 = nullptr;
    QLabel* label_4 = nullptr;
    QLabel* label_5 = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QSpacerItem* spacerItem = nullptr;
    QPushButton* pushButton = nullptr;
    QSpacerItem* spacerItem1 = nullptr;
    QLabel* imgIcon = nullptr;

    void setupUi(QDialog* dialog) {
        if (dialog->objectName().isEmpty()) dialog->setObjectName("AboutDialogClass");
        dialog->resize(215, 220);
        QPalette palette;
        const QBrush white(QColor(255, 255, 255));
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setBrush(group, QPalette::Window, white);
            palette.setBrush(group, QPalette::Base, white);
        }
        dialog->setPalette(palette);
        dialog->setAutoFillBackground(true);

        vboxLayout = new QVBoxLayout(dialog);
        vboxLayout->setObjectName("vboxLayout");
        label_6 = new QLabel(dialog);
        label_6->setObjectName("label_6");
        label_6->setPixmap(QPixmap(QStringLiteral(":/Icons/Resources/VarnelLogo.PNG")));
        label_6->setAlignment(Qt::AlignCenter);
        vboxLayout->addWidget(label_6);

        vboxLayout1 = new QVBoxLayout();
        vboxLayout1->setObjectName("vboxLayout1");
        const QFont small(QStringLiteral("Verdana"), 7);
        for (auto [line, name] :
             {std::pair{&label_2, "label_2"}, std::pair{&label, "label"}, std::pair{&label_3, "label_3"},
              std::pair{&label_4, "label_4"}, std::pair{&label_5, "label_5"}}) {
            *line = new QLabel(dialog);
            (*line)->setObjectName(name);
            (*line)->setFont(small);
            (*line)->setAlignment(Qt::AlignCenter);
            vboxLayout1->addWidget(*line);
        }
        vboxLayout->addLayout(vboxLayout1);

        hboxLayout = new QHBoxLayout();
        hboxLayout->setObjectName("hboxLayout");
        spacerItem = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
        hboxLayout->addItem(spacerItem);
        pushButton = new QPushButton(dialog);
        pushButton->setObjectName("pushButton");
        hboxLayout->addWidget(pushButton);
        spacerItem1 = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
        hboxLayout->addItem(spacerItem1);
        vboxLayout->addLayout(hboxLayout);

        imgIcon = new QLabel(dialog);
        imgIcon->setObjectName("imgIcon");
        imgIcon->hide();

        retranslateUi(dialog);
        QObject::connect(pushButton, &QPushButton::clicked, dialog, &QDialog::accept);
        QMetaObject::connectSlotsByName(dialog);
    }

    void retranslateUi(QDialog* dialog) {
        dialog->setWindowTitle(QCoreApplication::translate("AboutDialogClass", "About"));
        label_2->setText(QCoreApplication::translate("AboutDialogClass", "Varnel Tamsel"));
        label_3->setText(QCoreApplication::translate("AboutDialogClass", "Copyright (c) Varnel."));
        label_4->setText(QCoreApplication::translate("AboutDialogClass", "All rights reserved."));
        label_5->setText(
            QCoreApplication::translate("AboutDialogClass", "Secure access to wired and wireless networks."));
        pushButton->setText(QCoreApplication::translate("AboutDialogClass", "&Close"));
    }
};

}  // namespace Ui
