#include "gui/windows/AboutDialog.h"

#include <QCoreApplication>

#include "gui/windows/AboutDialogForm.h"
#include "gui/windows/WindowResources.h"

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), m_form(std::make_unique<Ui::AboutDialogClass>()) {
    initWindowResources();
    m_form->setupUi(this);
    setWindowFlags(Qt::WindowSystemMenuHint);
    m_form->label->setText(
        QCoreApplication::translate("AboutDialogClass", "Version %1")
            .arg(QString::asprintf("%d.%d.%d.%d", VERSION[0], VERSION[1], VERSION[2], VERSION[3])));
}

AboutDialog::~AboutDialog() = default;
