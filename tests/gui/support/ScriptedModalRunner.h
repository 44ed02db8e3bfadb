#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

#include "gui/windows/ModalRunner.h"

namespace tamsel::test {

// One modal run the code under test asked for.
struct ModalRun {
    enum class Kind { Dialog, MessageBox, Text, OpenFile };
    Kind kind = Kind::Dialog;
    // The dialog's object name (empty for text and file queries).
    QString objectName;
    QString title;
    // A message box's text, a text query's label, a file chooser's filter.
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // The buttons offered, without their '&'.
    QStringList buttons;
    // What answered the run: the button clicked, the text or path returned; empty when cancelled.
    QString answer;
};

// Answers the modal runs of the code under test from a script, in the order they come, so that
// nothing blocks; installed while it lives. A dialog is shown, then each scripted step runs until
// the dialog has closed; a run with no fitting step is rejected and noted as a problem.
class ScriptedModalRunner : public ModalRunner {
public:
    ScriptedModalRunner();
    ~ScriptedModalRunner() override;
    ScriptedModalRunner(const ScriptedModalRunner&) = delete;
    ScriptedModalRunner& operator=(const ScriptedModalRunner&) = delete;

    // Next dialog step: click the button shown with this text (its '&' left out) or of this
    // object name.
    void click(const QString& button);
    // Next dialog step: anything (fill fields, then click).
    void act(std::function<void(QDialog&)> step);
    // Next text query: OK with this text.
    void answerText(const QString& text);
    void cancelText();
    // Next file chooser: this path; an empty one cancels.
    void answerFile(const QString& path);

    const QList<ModalRun>& runs() const { return m_runs; }
    // Runs left without a fitting answer, buttons missing or disabled.
    const QStringList& problems() const { return m_problems; }
    int unusedSteps() const { return static_cast<int>(m_steps.size()); }

    int exec(QDialog& dialog) override;
    QString getText(QWidget* parent, const QString& title, const QString& label, QLineEdit::EchoMode echo,
                    const QString& text, bool* ok) override;
    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& filter) override;

private:
    struct Step {
        ModalRun::Kind kind;
        QString value;
        bool accepted = true;
        std::function<void(QDialog&)> action;
    };

    bool takeStep(ModalRun::Kind kind, Step& step, const QString& what);
    void runStep(QDialog& dialog, const Step& step, ModalRun& run);

    ModalRunner* m_previous;
    QList<Step> m_steps;
    QList<ModalRun> m_runs;
    QStringList m_problems;
};

}  // namespace tamsel::test
