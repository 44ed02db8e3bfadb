#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <initializer_list>

#include "gui/windows/ScanListWidget.h"

namespace Ui {

// The form of the main window: "Available Connections" with the list and its three buttons, the row
// of Add SSID, Connection Status and VPN, then the menu bar and the status bar.
class TrayIconControlDialogClass {
public:
    QWidget* centralwidget = nullptr;
    QVBoxLayout* vboxLayout = nullptr;
    QGroupBox* groupBox_2 = nullptr;
    QVBoxLayout* vboxLayout1 = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    QLabel* label_2 = nullptr;
    QLabel* label = nullptr;
    ScanListWidget* scanTreeView = nullptr;
    QHBoxLayout* hboxLayout1 = nullptr;
    QPushButton* connectBtn = nullptr;
    QPushButton* propertiesBtn = nullptr;
    QPushButton* deleteBtn = nullptr;
    QHBoxLayout* hboxLayout2 = nullptr;
    QPushButton* addSsidBtn = nullptr;
    QPushButton* statusBtn = nullptr;
    QPushButton* vpnConnectBtn = nullptr;
    QMenuBar* menubar = nullptr;
    QStatusBar* statusbar = nullptr;

    void setupUi(QMainWindow* window) {
        if (window->objectName().isEmpty()) window->setObjectName("TrayIconControlDialogClass");
        window->resize(484, 374);
        QFont windowFont = window->font();
        windowFont.setPointSize(10);
        window->setFont(windowFont);

        centralwidget = new QWidget(window);
        centralwidget->setObjectName("centralwidget");
        vboxLayout = new QVBoxLayout(centralwidget);
        vboxLayout->setObjectName("vboxLayout");
        vboxLayout->setContentsMargins(11, 11, 11, 11);

        groupBox_2 = new QGroupBox(centralwidget);
        groupBox_2->setObjectName("groupBox_2");
        groupBox_2->setFont(QFont(QStringLiteral("MS Shell Dlg 2"), 10));
        vboxLayout1 = new QVBoxLayout(groupBox_2);
        vboxLayout1->setObjectName("vboxLayout1");
        hboxLayout = new QHBoxLayout();
        hboxLayout->setObjectName("hboxLayout");
        label_2 = new QLabel(groupBox_2);
        label_2->setObjectName("label_2");
        hboxLayout->addWidget(label_2);
        label = new QLabel(groupBox_2);
        label->setObjectName("label");
        hboxLayout->addWidget(label);
        vboxLayout1->addLayout(hboxLayout);
        scanTreeView = new ScanListWidget(groupBox_2);
        scanTreeView->setObjectName("scanTreeView");
        scanTreeView->setFont(QFont(QStringLiteral("MS Shell Dlg 2"), 8));
        vboxLayout1->addWidget(scanTreeView);
        hboxLayout1 = new QHBoxLayout();
        hboxLayout1->setObjectName("hboxLayout1");
        addButtons(
            groupBox_2, hboxLayout1, 105,
            {{&connectBtn, "connectBtn"}, {&propertiesBtn, "propertiesBtn"}, {&deleteBtn, "deleteBtn"}});
        vboxLayout1->addLayout(hboxLayout1);
        vboxLayout->addWidget(groupBox_2);

        hboxLayout2 = new QHBoxLayout();
        hboxLayout2->setObjectName("hboxLayout2");
        addButtons(
            centralwidget, hboxLayout2, 120,
            {{&addSsidBtn, "addSsidBtn"}, {&statusBtn, "statusBtn"}, {&vpnConnectBtn, "vpnConnectBtn"}});
        for (QPushButton* button : {addSsidBtn, statusBtn, vpnConnectBtn}) {
            QFont font = button->font();
            font.setPointSize(10);
            button->setFont(font);
        }
        vboxLayout->addLayout(hboxLayout2);
        window->setCentralWidget(centralwidget);

        menubar = new QMenuBar(window);
        menubar->setObjectName("menubar");
        window->setMenuBar(menubar);
        statusbar = new QStatusBar(window);
        statusbar->setObjectName("statusbar");
        window->setStatusBar(statusbar);

        retranslateUi(window);
    }

    void retranslateUi(QMainWindow* window) {
        const char* const context = "TrayIconControlDialogClass";
        window->setWindowTitle(QCoreApplication::translate(context, "Varnel Tamsel"));
        groupBox_2->setTitle(QCoreApplication::translate(context, "Available Connections"));
        groupBox_2->setAccessibleName(QCoreApplication::translate(context, "Available Connections"));
        groupBox_2->setAccessibleDescription(
            QCoreApplication::translate(context, "Select one of the Connection Points."));
        label_2->setText(
            QCoreApplication::translate(context, "Configured connections appear in <b>boldface</b>"));
        connectBtn->setText(QCoreApplication::translate(context, "Connec&t"));
        connectBtn->setShortcut(QKeySequence(QCoreApplication::translate(context, "Ctrl+T")));
        propertiesBtn->setText(QCoreApplication::translate(context, "&Edit..."));
        propertiesBtn->setShortcut(QKeySequence(QCoreApplication::translate(context, "Ctrl+E")));
        deleteBtn->setText(QCoreApplication::translate(context, "&Delete"));
        deleteBtn->setShortcut(QKeySequence(QCoreApplication::translate(context, "Ctrl+D, Ctrl+S")));
        addSsidBtn->setText(QCoreApplication::translate(context, "&Add SSID..."));
        addSsidBtn->setShortcut(QKeySequence(QCoreApplication::translate(context, "Alt+A")));
        statusBtn->setText(QCoreApplication::translate(context, "Co&nnection Status..."));
        statusBtn->setShortcut(QKeySequence(QCoreApplication::translate(context, "Alt+N")));
        vpnConnectBtn->setText(QCoreApplication::translate(context, "&VPN Connect"));
        vpnConnectBtn->setShortcut(QKeySequence(QCoreApplication::translate(context, "Alt+V")));
    }

private:
    static void addButtons(QWidget* owner, QHBoxLayout* row, int minimumWidth,
                           std::initializer_list<std::pair<QPushButton**, const char*>> buttons) {
        for (auto [button, name] : buttons) {
            *button = new QPushButton(owner);
            (*button)->setObjectName(name);
            (*button)->setMinimumWidth(minimumWidth);
            row->addWidget(*button);
        }
    }
};

}  // namespace Ui
