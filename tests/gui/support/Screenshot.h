#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

namespace tamsel::test {

// Saves what the widget shows into the test build's "screenshots" folder, for a person to look at.
// Tests assert on texts and states, never on these pictures.
inline void saveScreenshot(QWidget& widget, const QString& name) {
#ifdef TAMSEL_SCREENSHOT_DIR
    const QDir folder(QStringLiteral(TAMSEL_SCREENSHOT_DIR));
    if (folder.mkpath(QStringLiteral(".")))
        widget.grab().save(folder.filePath(name + QStringLiteral(".png")));
#else
    Q_UNUSED(widget);
    Q_UNUSED(name);
#endif
}

}  // namespace tamsel::test
