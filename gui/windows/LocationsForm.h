#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSpacerItem>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Ui {

// The form of the groups dialog: the tree of groups and networks with the move buttons beside it,
// then Delete and Add Group, then Close and Help.
class LocationsClass {
public:
    QGridLayout* gridLayout = nullptr;
    QGroupBox* groupBox = nullptr;
    QGridLayout* gridLayout1 = nullptr;
    QTreeWidget* groupTree = nullptr;
    QVBoxLayout* vboxLayout = nullptr;
    QSpacerItem* spacerItem = nullptr;
    QToolButton* moveNetworkUpBtn = nullptr;
    QToolButton* moveNetworkDownBtn = nullptr;
    QSpacerItem* spacerItem1 = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QPushButton* deleteBtn = nullptr;
    QPushButton* addLocBtn = nullptr;
    QHBoxLayout* hboxLayout1 = nullptr;
    QPushButton* locationscloseBtn = nullptr;
    QPushButton* helpButton = nullptr;

    void setupUi(QDialog* dialog) {
        if (dialog->objectName().isEmpty()) dialog->setObjectName("LocationsClass");
        dialog->resize(491, 286);
        dialog->setWindowModality(Qt::ApplicationModal);
        gridLayout = new QGridLayout(dialog);
        gridLayout->setObjectName("gridLayout");

        groupBox = new QGroupBox(dialog);
        groupBox->setObjectName("groupBox");
        gridLayout1 = new QGridLayout(groupBox);
        gridLayout1->setObjectName("gridLayout1");
        groupTree = new QTreeWidget(groupBox);
        groupTree->setObjectName("groupTree");
        groupTree->setColumnCount(3);
        groupTree->setColumnWidth(0, 140);
        groupTree->setAlternatingRowColors(false);
        groupTree->setSelectionMode(QAbstractItemView::SingleSelection);
        gridLayout1->addWidget(groupTree, 0, 0);

        vboxLayout = new QVBoxLayout();
        vboxLayout->setObjectName("vboxLayout");
        spacerItem = new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
        vboxLayout->addItem(spacerItem);
        moveNetworkUpBtn = new QToolButton(groupBox);
        moveNetworkUpBtn->setObjectName("moveNetworkUpBtn");
        moveNetworkUpBtn->setArrowType(Qt::UpArrow);
        vboxLayout->addWidget(moveNetworkUpBtn);
        moveNetworkDownBtn = new QToolButton(groupBox);
        moveNetworkDownBtn->setObjectName("moveNetworkDownBtn");
        moveNetworkDownBtn->setArrowType(Qt::DownArrow);
        vboxLayout->addWidget(moveNetworkDownBtn);
        spacerItem1 = new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
        vboxLayout->addItem(spacerItem1);
        gridLayout1->addLayout(vboxLayout, 0, 1);
        gridLayout->addWidget(groupBox, 0, 0);

        hboxLayout = new QHBoxLayout();
        hboxLayout->setObjectName("hboxLayout");
        deleteBtn = new QPushButton(dialog);
        deleteBtn->setObjectName("deleteBtn");
        hboxLayout->addWidget(deleteBtn);
        addLocBtn = new QPushButton(dialog);
        addLocBtn->setObjectName("addLocBtn");
        hboxLayout->addWidget(addLocBtn);
        gridLayout->addLayout(hboxLayout, 1, 0);

        hboxLayout1 = new QHBoxLayout();
        hboxLayout1->setObjectName("hboxLayout1");
        locationscloseBtn = new QPushButton(dialog);
        locationscloseBtn->setObjectName("locationscloseBtn");
        hboxLayout1->addWidget(locationscloseBtn);
        helpButton = new QPushButton(dialog);
        helpButton->setObjectName("helpButton");
        hboxLayout1->addWidget(helpButton);
        gridLayout->addLayout(hboxLayout1, 2, 0);

        QWidget::setTabOrder(groupTree, moveNetworkUpBtn);
        QWidget::setTabOrder(moveNetworkUpBtn, moveNetworkDownBtn);
        QWidget::setTabOrder(moveNetworkDownBtn, deleteBtn);
        QWidget::setTabOrder(deleteBtn, addLocBtn);
        QWidget::setTabOrder(addLocBtn, locationscloseBtn);
        QWidget::setTabOrder(locationscloseBtn, helpButton);

        retranslateUi(dialog);
        QMetaObject::connectSlotsByName(dialog);
    }

    void retranslateUi(QDialog* dialog) {
        const char* const context = "LocationsClass";
        dialog->setWindowTitle(QCoreApplication::translate(context, "Connection Groups"));
        groupBox->setTitle(QCoreApplication::translate(context, "Connection Groups"));
        groupTree->setHeaderLabels({QCoreApplication::translate(context, "Group/Connection"),
                                    QCoreApplication::translate(context, "Privileges"),
                                    QCoreApplication::translate(context, "Global")});
        moveNetworkUpBtn->setAccessibleName(QCoreApplication::translate(context, "Move selected network up"));
        moveNetworkDownBtn->setAccessibleName(
            QCoreApplication::translate(context, "Move selected network down"));
        deleteBtn->setText(QCoreApplication::translate(context, "&Delete"));
        addLocBtn->setText(QCoreApplication::translate(context, "&Add Group"));
        locationscloseBtn->setText(QCoreApplication::translate(context, "&Close"));
        helpButton->setText(QCoreApplication::translate(context, "Help"));
    }
};

}  // namespace Ui
