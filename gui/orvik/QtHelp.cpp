#include "gui/orvik/QtHelp.h"

#include <QtCore/QFile>
#include <QtCore/QTextStream>
#include <QtGui/QCursor>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QLabel>
#include <QtWidgets/QToolTip>
#include <QtWidgets/QWidget>
#include <algorithm>

#include "gui/orvik/Conversions.h"
#include "gui/orvik/Exception.h"
#include "gui/orvik/HelpPlacement.h"
#include "gui/orvik/HelpWidget.h"
#include "gui/orvik/Paths.h"
#include "gui/orvik/XmlSettings.h"

namespace orvik {

namespace {

constexpr int TOOL_TIP_RISE = 40;

bool hasSignal(const QObject* object, const char* signature) {
    return object->metaObject()->indexOfSignal(signature) >= 0;
}

}  // namespace

QtHelp& QtHelp::instance() {
    // Never destroyed: dialogs may ask for help until the very end of the program.
    static QtHelp* help = new QtHelp;
    return *help;
}

QtHelp::QtHelp() {
    connect(&buttonMapper, &QSignalMapper::mappedString, this, &QtHelp::invokeHelp);
    connect(&helpRequestMapper, &QSignalMapper::mappedString, this, &QtHelp::showHelpWindow);
    connect(&visibilityMapper, &QSignalMapper::mappedString, this, &QtHelp::updateHelpWindow);
}

QtHelp::~QtHelp() {
    delete helpWidget;
}

void QtHelp::loadIndex(const QString& path) {
    instance().readIndex(path);
}

void QtHelp::registerDialog(QWidget* dialog, const QString& section) {
    instance().attachHelpLinks(dialog, section);
    instance().connectDialog(dialog, section);
}

void QtHelp::readIndex(const QString& path) {
    index.reset();
    const std::string text = path.toUtf8().toStdString();
    index = std::make_unique<XmlSettings>(directoryOf(text), fileName(text));
}

void QtHelp::addHelpSection(const QString& section) {
    if (!index) {
        return;
    }
    const XmlSettings::Map* bindings = nullptr;
    try {
        bindings = &index->getMap(section.toStdString());
    } catch (const Exception&) {
        return;  // a dialog without a section simply has no help links
    }
    for (const auto& [key, value] : *bindings) {
        helpMap.insert(QString::fromStdString(key), QString::fromStdString(value));
    }
}

QString QtHelp::helpText(const QString& reference, const std::optional<QString>& path) const {
    QString page;
    if (path) {
        page = *path;
    } else {
        const auto found = helpMap.constFind(reference);
        if (found == helpMap.constEnd()) {
            return tr("<html><body>Help reference for [%1] cannot be found.</body></html>").arg(reference);
        }
        page = found.value();
    }
    // Index paths are written with backslashes; this system separates folders with slashes.
    QFile file(QString(page).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return tr("<html><body>Help file %1 for reference [%2] cannot be loaded</body></html>")
            .arg(page, reference);
    }
    return QTextStream(&file).readAll();
}

void QtHelp::attachHelpLinks(QWidget* dialog, const QString& section) {
    XmlSettings::Map bindings;
    if (index) {
        try {
            bindings = index->getMap(section.toStdString());
        } catch (const Exception&) {
            bindings.clear();
        }
    }
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        const QString name = child->objectName();
        const auto found = bindings.find(name.toStdString());
        if (found == bindings.end()) {
            continue;
        }
        const QString page = QString::fromStdString(found->second);
        if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            connect(button, &QAbstractButton::clicked, &buttonMapper, qOverload<>(&QSignalMapper::map));
            buttonMapper.setMapping(button, name);
            helpMap.insert(name, page);
        } else if (auto* label = qobject_cast<QLabel*>(child)) {
            label->setWordWrap(true);
            label->setText(helpText(name, page));
        }
    }
}

void QtHelp::connectDialog(QObject* dialog, const QString& section) {
    if (dialog == nullptr || !dialog->isWidgetType()) {
        return;
    }
    addHelpSection(section);
    const QString name = dialog->objectName();
    if (hasSignal(dialog, "helpRequested()") &&
        connect(dialog, SIGNAL(helpRequested()), &helpRequestMapper, SLOT(map()))) {
        helpRequestMapper.setMapping(dialog, name);
    }
    if (hasSignal(dialog, "visibleChanged(bool)") &&
        connect(dialog, SIGNAL(visibleChanged(bool)), &visibilityMapper, SLOT(map()))) {
        visibilityMapper.setMapping(dialog, name);
    }
    if (hasSignal(dialog, "finished(int)")) {
        connect(dialog, SIGNAL(finished(int)), this, SLOT(onDialogClosed()));
    }
    connect(dialog, SIGNAL(destroyed(QObject*)), this, SLOT(onDialogClosed()));
    // A page of a dialog that is gone can never be shown again.
    connect(dialog, &QObject::destroyed, this, [this](QObject* gone) { forgetDialog(gone); });
}

void QtHelp::invokeHelp(const QString& reference) {
    QToolTip::showText(QCursor::pos() - QPoint(0, TOOL_TIP_RISE), helpText(reference));
}

void QtHelp::showHelpWindow(const QString& reference) {
    auto* dialog = qobject_cast<QWidget*>(helpRequestMapper.mapping(reference));
    showHelpPage(reference, dialog, true);
}

void QtHelp::updateHelpWindow(const QString& reference) {
    auto* dialog = qobject_cast<QWidget*>(helpRequestMapper.mapping(reference));
    if (dialog != nullptr && dialog->isVisible()) {
        showHelpPage(reference, dialog, false);
    }
}

void QtHelp::showHelpPage(const QString& reference, QWidget* widget, bool show) {
    if (helpWidget == nullptr) {
        helpWidget = new HelpWidget;
        connect(helpWidget, &QDialog::finished, this, &QtHelp::onHelpWidgetClosed);
        connect(helpWidget, &QObject::destroyed, this, &QtHelp::onHelpWidgetDestroyed);
        if (index) {
            try {
                helpWidget->setStickToParent(toBool(index->get("stickToParentOnUpdate", "true")));
            } catch (const Exception& e) {
                // A malformed index value leaves the window following its dialog, as by default.
                qWarning("%s", e.what());
            }
        }
    }
    const bool wasVisible = helpWidget->isVisible();
    if (wasVisible || show) {
        helpWidget->setHtml(helpText(reference));
        if (!wasVisible || widget != helpWidget->parentWidget()) {
            attachHelpWidget(widget);
        }
    }
    pushPage(reference, widget);
}

void QtHelp::showHelpPage(const QString& reference, QWidget* widget) {
    showHelpPage(reference, widget, true);
}

void QtHelp::showHelpPage(const QString& reference) {
    showHelpPage(reference, nullptr, true);
}

void QtHelp::pushPage(const QString& reference, QWidget* widget) {
    for (qsizetype i = 0; i < pageStack.size(); ++i) {
        if (pageStack[i].reference == reference && pageStack[i].owner == widget) {
            pageStack.erase(pageStack.begin() + i + 1, pageStack.end());
            return;
        }
    }
    pageStack.append(Page{reference, widget, widget});
}

void QtHelp::attachHelpWidget(QWidget* parent) {
    HelpWidget* window = helpWidget;
    if (parent == window->parentWidget()) {
        window->show();
        window->activateWindow();
        return;
    }
    const bool wasVisible = window->isVisible();
    const QRect geometry = wasVisible ? window->geometry() : QRect();
    bool atPlace = false;
    if (window->stickToParent()) {
        atPlace = placementBeside(window, window->parentWidget()) == geometry;
    }
    window->setParent(parent, window->windowFlags());
    // The frame around a window is known only once the system window exists, and the placement
    // counts in frames.
    window->winId();
    if (geometry.isValid()) {
        window->setGeometry(geometry);
    }
    if (!atPlace && wasVisible) {
        // The user has moved the window: it stays unless it would cover the new dialog.
        if (parent != nullptr && window->frameGeometry().intersects(parent->frameGeometry())) {
            window->setGeometry(placementBeside(window, parent));
        }
    } else {
        const QRect place = placementBeside(window, parent);
        if (!place.isNull()) {
            window->setGeometry(place);
        }
    }
    window->show();
    window->activateWindow();
}

void QtHelp::onHelpWidgetClosed() {
    if (helpWidget != nullptr) {
        // The deferred deletion must not later forget a window made after this one.
        disconnect(helpWidget, &QObject::destroyed, this, &QtHelp::onHelpWidgetDestroyed);
        helpWidget->deleteLater();
    }
    helpWidget = nullptr;
    pageStack.clear();
}

void QtHelp::onHelpWidgetDestroyed() {
    helpWidget = nullptr;
    pageStack.clear();
}

void QtHelp::onDialogClosed() {
    if (helpWidget == nullptr || !helpWidget->isVisible()) {
        return;
    }
    // Compared as a plain object first: a sender being destroyed is no widget any more.
    const QObject* dialog = sender();
    const QWidget* parent = helpWidget->parentWidget();
    if (dialog == nullptr || parent == nullptr || dialog != parent || pageStack.isEmpty() ||
        pageStack.last().owner != dialog) {
        return;
    }
    pageStack.removeLast();
    if (pageStack.isEmpty()) {
        helpWidget->close();
    } else {
        const Page previous = pageStack.last();
        showHelpPage(previous.reference, previous.widget, true);
    }
}

void QtHelp::onDialogVisibleStateChanged(bool visible) {
    if (!visible) {
        onDialogClosed();
    }
}

void QtHelp::forgetDialog(const QObject* dialog) {
    pageStack.erase(std::remove_if(pageStack.begin(), pageStack.end(),
                                   [dialog](const Page& page) { return page.owner == dialog; }),
                    pageStack.end());
}

void addHelpSection(const QString& section) {
    QtHelp::instance().addHelpSection(section);
}

void showHelpPage(const QString& reference, QWidget* widget) {
    QtHelp::instance().showHelpPage(reference, widget, false);
}

void showHelpPage(const QString& reference, QWidget* widget, bool show) {
    QtHelp::instance().showHelpPage(reference, widget, show);
}

}  // namespace orvik
