#include "gui/windows/ModalRunner.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>

namespace {

class QtModalRunner : public ModalRunner {
public:
    int exec(QDialog& dialog) override { return dialog.exec(); }

    QString getText(QWidget* parent, const QString& title, const QString& label, QLineEdit::EchoMode echo,
                    const QString& text, bool* ok) override {
        return QInputDialog::getText(parent, title, label, echo, text, ok);
    }

    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }
};

QtModalRunner g_qtRunner;
ModalRunner* g_installed = nullptr;

}  // namespace

ModalRunner& ModalRunner::current() {
    return g_installed != nullptr ? *g_installed : g_qtRunner;
}

ModalRunner* ModalRunner::install(ModalRunner* runner) {
    ModalRunner* previous = g_installed;
    g_installed = runner;
    return previous;
}

QMessageBox::StandardButton ModalRunner::messageBox(QWidget* parent, QMessageBox::Icon icon,
                                                    const QString& title, const QString& text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    const int result = current().exec(box);
    // A box closed without a button (Escape with no escape button) chose none.
    return box.clickedButton() != nullptr ? box.standardButton(box.clickedButton())
                                          : static_cast<QMessageBox::StandardButton>(result);
}
