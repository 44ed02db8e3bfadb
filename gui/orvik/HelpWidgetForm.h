#pragma once

#include <QtCore/QCoreApplication>
#include <QtWidgets/QTextBrowser>
#include <QtWidgets/QVBoxLayout>
#include <QtWidgets/QWidget>

namespace orvik::Ui {

// The help window's form: one text browser filling the window.
class HelpWidgetForm {
public:
    QVBoxLayout* vboxLayout = nullptr;
    QTextBrowser* text = nullptr;

    void setupUi(QWidget* widget) {
        if (widget->objectName().isEmpty()) {
            widget->setObjectName("HelpWidget");
        }
        widget->resize(413, 401);
        vboxLayout = new QVBoxLayout(widget);
        vboxLayout->setSpacing(0);
        vboxLayout->setContentsMargins(0, 0, 0, 0);
        vboxLayout->setObjectName("vboxLayout");
        text = new QTextBrowser(widget);
        text->setObjectName("text");
        text->setAcceptDrops(false);
        vboxLayout->addWidget(text);
        retranslateUi(widget);
        QMetaObject::connectSlotsByName(widget);
    }

    void retranslateUi(QWidget* widget) {
        widget->setWindowTitle(QCoreApplication::translate("HelpWidget", "Help"));
        text->setStyleSheet(
            QCoreApplication::translate("HelpWidget", "QTextBrowser { background: rgb(255, 255, 220)}"));
        text->setHtml(QCoreApplication::translate(
            "HelpWidget",
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" "
            "\"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
            "<html><head><meta name=\"qrichtext\" content=\"1\" /></head><body></body></html>"));
    }
};

}  // namespace orvik::Ui
