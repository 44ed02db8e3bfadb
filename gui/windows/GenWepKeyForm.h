#pragma once

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <QWidget>

namespace Ui {

// The form of the WEP key generator: key length, pass phrase, the generated key and the buttons.
class GenWepKeyClass {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QLabel* label_3 = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QRadioButton* hex10Btn = nullptr;
    QRadioButton* radioButton_2 = nullptr;
    QGridLayout* gridLayout = nullptr;
    QLabel* label = nullptr;
    QLineEdit* lineEdit = nullptr;
    QLabel* label_2 = nullptr;
    QLineEdit* lineEdit_2 = nullptr;
    QHBoxLayout* hboxLayout1 = nullptr;
    QSpacerItem* spacerItem = nullptr;
    QPushButton* pushButton = nullptr;
    QLabel* label_4 = nullptr;
    QDialogButtonBox* buttonBox = nullptr;

    void setupUi(QWidget* window) {
        if (window->objectName().isEmpty()) window->setObjectName("GenWepKeyClass");
        window->resize(310, 336);
        window->setWindowModality(Qt::ApplicationModal);
        vboxLayout = new QVBoxLayout(window);
        vboxLayout->setObjectName("vboxLayout");
        vboxLayout->setSpacing(6);
        vboxLayout->setContentsMargins(11, 11, 11, 11);

        QFont bold;
        bold.setWeight(QFont::Bold);
        label_3 = new QLabel(window);
        label_3->setObjectName("label_3");
        label_3->setFont(bold);
        label_3->setWordWrap(true);
        vboxLayout->addWidget(label_3);

        hboxLayout = new QHBoxLayout();
        hboxLayout->setObjectName("hboxLayout");
        hex10Btn = new QRadioButton(window);
        hex10Btn->setObjectName("hex10Btn");
        hboxLayout->addWidget(hex10Btn);
        radioButton_2 = new QRadioButton(window);
        radioButton_2->setObjectName("radioButton_2");
        radioButton_2->setChecked(true);
        hboxLayout->addWidget(radioButton_2);
        vboxLayout->addLayout(hboxLayout);

        gridLayout = new QGridLayout();
        gridLayout->setObjectName("gridLayout");
        label = new QLabel(window);
        label->setObjectName("label");
        gridLayout->addWidget(label, 0, 0);
        lineEdit = new QLineEdit(window);
        lineEdit->setObjectName("lineEdit");
        gridLayout->addWidget(lineEdit, 0, 1);
        label_2 = new QLabel(window);
        label_2->setObjectName("label_2");
        gridLayout->addWidget(label_2, 1, 0);
        lineEdit_2 = new QLineEdit(window);
        lineEdit_2->setObjectName("lineEdit_2");
        lineEdit_2->setEnabled(false);
        lineEdit_2->setReadOnly(true);
        gridLayout->addWidget(lineEdit_2, 1, 1);
        vboxLayout->addLayout(gridLayout);

        hboxLayout1 = new QHBoxLayout();
        hboxLayout1->setObjectName("hboxLayout1");
        spacerItem = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
        hboxLayout1->addItem(spacerItem);
        pushButton = new QPushButton(window);
        pushButton->setObjectName("pushButton");
        pushButton->setDefault(true);
        hboxLayout1->addWidget(pushButton);
        vboxLayout->addLayout(hboxLayout1);

        label_4 = new QLabel(window);
        label_4->setObjectName("label_4");
        label_4->setFont(bold);
        label_4->setWordWrap(true);
        vboxLayout->addWidget(label_4);

        buttonBox = new QDialogButtonBox(window);
        buttonBox->setObjectName("buttonBox");
        buttonBox->setOrientation(Qt::Horizontal);
        buttonBox->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        vboxLayout->addWidget(buttonBox);

        QWidget::setTabOrder(hex10Btn, radioButton_2);
        QWidget::setTabOrder(radioButton_2, lineEdit);
        QWidget::setTabOrder(lineEdit, lineEdit_2);
        // The box takes no focus itself: its buttons stand in its place.
        QWidget* previous = lineEdit_2;
        for (QAbstractButton* button : buttonBox->buttons()) {
            QWidget::setTabOrder(previous, button);
            previous = button;
        }
        QWidget::setTabOrder(previous, pushButton);

        retranslateUi(window);
        QMetaObject::connectSlotsByName(window);
    }

    void retranslateUi(QWidget* window) {
        window->setWindowTitle(QCoreApplication::translate("GenWepKeyClass", "Generate WEP key"));
        label_3->setText(QCoreApplication::translate(
            "GenWepKeyClass",
            "This window will allow you to generate the same WEP key as your wireless router. If you have "
            "not generated a hex WEP key using a passphrase on your wireless router, do not use this "
            "method."));
        hex10Btn->setText(QCoreApplication::translate("GenWepKeyClass", "64 bits 10 hex digits"));
        radioButton_2->setText(QCoreApplication::translate("GenWepKeyClass", "128 bits 26 hex digits"));
        label->setText(QCoreApplication::translate("GenWepKeyClass", "Pass Phrase:"));
        lineEdit->setAccessibleName(QCoreApplication::translate("GenWepKeyClass", "Enter Pass phrase"));
        label_2->setText(QCoreApplication::translate("GenWepKeyClass", "Generated WEP Key:"));
        pushButton->setText(QCoreApplication::translate("GenWepKeyClass", "Generate WEP Key"));
        label_4->setText(QCoreApplication::translate(
            "GenWepKeyClass",
            "Enter your passphrase then hit the Generate WEP Key Button. When you hit the OK button your "
            "Generated Key will be copied to the previous window."));
    }
};

}  // namespace Ui
