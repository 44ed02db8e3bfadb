#pragma once

#include <QtCore/QList>
#include <QtCore/QMap>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QSignalMapper>
#include <QtCore/QString>
#include <memory>
#include <optional>

class QWidget;

namespace orvik {

class HelpWidget;
class XmlSettings;

// The program's context help. A help index binds object names of dialogs, buttons and labels to HTML
// pages; a registered dialog gets inline help on its labels, tool-tip help on its buttons and a help
// window that follows it. One instance per process, made on first use and kept to the end.
class QtHelp : public QObject {
    Q_OBJECT

public:
    // One page shown in the help window, and the dialog it belongs to.
    struct Page {
        QString reference;
        QPointer<QWidget> widget;
        // The dialog's identity, still comparable once the dialog is gone.
        const QObject* owner = nullptr;
    };

    static QtHelp& instance();

    // (Re)loads the index; a read error propagates and leaves no index loaded.
    static void loadIndex(const QString& path);
    // Binds the dialog's labels and buttons from `section` and lets the dialog ask for the help window.
    static void registerDialog(QWidget* dialog, const QString& section);

    void attachHelpLinks(QWidget* dialog, const QString& section);
    void connectDialog(QObject* dialog, const QString& section);
    void addHelpSection(const QString& section);
    // The page bound to `reference` (or the file at `path`, when given), else a page saying why not.
    QString helpText(const QString& reference, const std::optional<QString>& path = std::nullopt) const;

    const QList<Page>& pages() const { return pageStack; }
    HelpWidget* helpWindow() const { return helpWidget; }

public slots:
    void invokeHelp(const QString& reference);
    void showHelpWindow(const QString& reference);
    void updateHelpWindow(const QString& reference);
    void showHelpPage(const QString& reference, QWidget* widget, bool show);
    void showHelpPage(const QString& reference, QWidget* widget);
    void showHelpPage(const QString& reference);
    void onHelpWidgetClosed();
    void onHelpWidgetDestroyed();
    void onDialogClosed();
    void onDialogVisibleStateChanged(bool visible);

private:
    QtHelp();
    ~QtHelp() override;

    void readIndex(const QString& path);
    void attachHelpWidget(QWidget* parent);
    void pushPage(const QString& reference, QWidget* widget);
    void forgetDialog(const QObject* dialog);

    QMap<QString, QString> helpMap;
    std::unique_ptr<XmlSettings> index;
    QSignalMapper buttonMapper;
    QSignalMapper helpRequestMapper;
    QSignalMapper visibilityMapper;
    QList<Page> pageStack;
    HelpWidget* helpWidget = nullptr;
};

void addHelpSection(const QString& section);
void showHelpPage(const QString& reference, QWidget* widget);
void showHelpPage(const QString& reference, QWidget* widget, bool show);

}  // namespace orvik
