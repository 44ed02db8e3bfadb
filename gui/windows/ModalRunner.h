#pragma once

#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <memory>

class QDialog;
class QInputDialog;
class QWidget;

// Every modal run of the tray program (a dialog's or message box's exec, a text query, a file
// chooser) goes through the one runner installed for the process, so that a test can answer them
// from a script instead of blocking. GUI thread only.
class ModalRunner {
public:
    virtual ~ModalRunner() = default;

    // Runs the dialog until it is done; its result code (for a message box, the button's).
    virtual int exec(QDialog& dialog) = 0;
    // As QInputDialog::getText: the typed text, `ok` false when cancelled.
    virtual QString getText(QWidget* parent, const QString& title, const QString& label,
                            QLineEdit::EchoMode echo, const QString& text, bool* ok) = 0;
    // As QFileDialog::getOpenFileName: the chosen path, empty when cancelled.
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) = 0;

    // The runner in place: the installed one, else the one that runs Qt's own modal loops.
    static ModalRunner& current();
    // The text query Qt's own runner shows for getText.
    static std::unique_ptr<QInputDialog> textDialog(QWidget* parent, const QString& title,
                                                    const QString& label, QLineEdit::EchoMode echo,
                                                    const QString& text);
    // Puts `runner` in place (nullptr: Qt's own again) and returns the one it replaces. The caller
    // keeps ownership and uninstalls it before it goes.
    static ModalRunner* install(ModalRunner* runner);

    // A message box built here and run through the current runner; the button chosen.
    static QMessageBox::StandardButton messageBox(
        QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
};
