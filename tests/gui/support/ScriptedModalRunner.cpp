#include "tests/gui/support/ScriptedModalRunner.h"

#include <QAbstractButton>
#include <QDialog>

namespace tamsel::test {

namespace {

QString withoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

QAbstractButton* findButton(QDialog& dialog, const QString& name) {
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (withoutMnemonic(button->text()) == name || button->objectName() == name) return button;
    }
    return nullptr;
}

}  // namespace

ScriptedModalRunner::ScriptedModalRunner() : m_previous(ModalRunner::install(this)) {}

ScriptedModalRunner::~ScriptedModalRunner() {
    ModalRunner::install(m_previous);
}

void ScriptedModalRunner::click(const QString& button) {
    m_steps.append({ModalRun::Kind::Dialog, button, true, nullptr});
}

void ScriptedModalRunner::act(std::function<void(QDialog&)> step) {
    m_steps.append({ModalRun::Kind::Dialog, QString(), true, std::move(step)});
}

void ScriptedModalRunner::answerText(const QString& text) {
    m_steps.append({ModalRun::Kind::Text, text, true, nullptr});
}

void ScriptedModalRunner::cancelText() {
    m_steps.append({ModalRun::Kind::Text, QString(), false, nullptr});
}

void ScriptedModalRunner::answerFile(const QString& path) {
    m_steps.append({ModalRun::Kind::OpenFile, path, !path.isEmpty(), nullptr});
}

bool ScriptedModalRunner::takeStep(ModalRun::Kind kind, Step& step, const QString& what) {
    if (m_steps.isEmpty()) {
        m_problems << QStringLiteral("no scripted answer for %1").arg(what);
        return false;
    }
    step = m_steps.takeFirst();
    if (step.kind != kind) {
        // The script is out of step; the misplaced answer is spent so the next runs can tell.
        m_problems << QStringLiteral("the scripted answer \"%1\" does not fit %2").arg(step.value, what);
        return false;
    }
    return true;
}

void ScriptedModalRunner::runStep(QDialog& dialog, const Step& step, ModalRun& run) {
    if (step.action) {
        step.action(dialog);
        return;
    }
    QAbstractButton* button = findButton(dialog, step.value);
    if (button == nullptr || !button->isEnabled()) {
        m_problems << QStringLiteral("button \"%1\" %2 in \"%3\"")
                          .arg(step.value, button == nullptr ? "not found" : "disabled", run.title);
        dialog.reject();
        return;
    }
    run.answer = step.value;
    button->click();
}

int ScriptedModalRunner::exec(QDialog& dialog) {
    ModalRun run;
    run.objectName = dialog.objectName();
    run.title = dialog.windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        run.kind = ModalRun::Kind::MessageBox;
        run.text = box->text();
        run.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) run.buttons << withoutMnemonic(button->text());
    } else {
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            if (button->isVisibleTo(&dialog)) run.buttons << withoutMnemonic(button->text());
        }
    }
    const int index = static_cast<int>(m_runs.size());
    m_runs.append(run);

    dialog.setResult(0);
    dialog.show();
    while (dialog.isVisible()) {
        Step step;
        if (!takeStep(ModalRun::Kind::Dialog, step, QStringLiteral("\"%1\"").arg(run.title))) {
            dialog.reject();
            break;
        }
        runStep(dialog, step, m_runs[index]);
    }
    return dialog.result();
}

QString ScriptedModalRunner::getText(QWidget*, const QString& title, const QString& label,
                                     QLineEdit::EchoMode, const QString&, bool* ok) {
    ModalRun run;
    run.kind = ModalRun::Kind::Text;
    run.title = title;
    run.text = label;
    Step step;
    const bool answered =
        takeStep(ModalRun::Kind::Text, step, QStringLiteral("text query \"%1\"").arg(title));
    const bool accepted = answered && step.accepted;
    if (accepted) run.answer = step.value;
    m_runs.append(run);
    if (ok != nullptr) *ok = accepted;
    return accepted ? step.value : QString();
}

QString ScriptedModalRunner::getOpenFileName(QWidget*, const QString& caption, const QString&,
                                             const QString& filter) {
    ModalRun run;
    run.kind = ModalRun::Kind::OpenFile;
    run.title = caption;
    run.text = filter;
    Step step;
    if (takeStep(ModalRun::Kind::OpenFile, step, QStringLiteral("file chooser \"%1\"").arg(caption)))
        run.answer = step.value;
    m_runs.append(run);
    return run.answer;
}

}  // namespace tamsel::test
