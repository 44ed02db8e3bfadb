#include "gui/windows/ModalRunner.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>

#include "gui/windows/TextFit.h"

namespace {

class QtModalRunner : public ModalRunner {
public:
    int exec(QDialog& dialog) override { return dialog.exec(); }

    QString getText(QWidget* parent, const QString& title, const QString& label, QLineEdit::EchoMode echo,
                    const QString& text, bool* ok) override {
        const std::unique_ptr<QInputDialog> dialog = textDialog(parent, title, label, echo, text);
        const bool accepted = dialog->exec() == QDialog::Accepted;
        if (ok != nullptr) *ok = accepted;
        return accepted ? dialog->textValue() : QString();
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

std::unique_ptr<QInputDialog> ModalRunner::textDialog(QWidget* parent, const QString& title,
                                                      const QString& label, QLineEdit::EchoMode echo,
                                                      const QString& text) {
    auto dialog = std::make_unique<QInputDialog>(parent);
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setTextEchoMode(echo);
    dialog->setTextValue(text);
    // The query's label is short; its title would be cut to fit the width the label needs. The
    // dialog keeps to the size its layout asks, so the label asks for the title's width.
    TextFit::fitWindowTitle(dialog.get());
    dialog->minimumSizeHint();
    auto* caption = dialog->findChild<QLabel*>();
    if (caption != nullptr && dialog->layout() != nullptr) {
        const QMargins margins = dialog->layout()->contentsMargins();
        caption->setMinimumWidth(dialog->minimumWidth() - margins.left() - margins.right());
    }
    return dialog;
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
