#pragma once

#include <QStringList>
#include <QWidget>

namespace tamsel::test {

// Object names of the widgets Tab reaches, in the window's focus chain order, from its first one. A
// widget without a name of its own (a button box's button) goes by its parent's.
inline QStringList tabChain(QWidget& window) {
    QStringList names;
    for (QWidget* w = window.nextInFocusChain(); w != nullptr && w != &window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) == 0) continue;
        names.append(w->objectName().isEmpty() && w->parentWidget() != nullptr
                         ? w->parentWidget()->objectName()
                         : w->objectName());
    }
    return names;
}

// Object names of the children of `window` among `names` that are not hidden, in the order asked.
inline QStringList shown(const QWidget& window, const QStringList& names) {
    QStringList out;
    for (const QString& name : names) {
        const auto* child = window.findChild<QWidget*>(name);
        if (child != nullptr && !child->isHidden()) out.append(name);
    }
    return out;
}

}  // namespace tamsel::test
