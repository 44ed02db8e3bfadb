#pragma once
// Finds the texts a shown window cuts: each widget's text measured in the widget's own font against
// the room its own style gives it, so that a desktop with other fonts than this machine's gets the
// same answer for the same layout.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QTextDocument>
#include <QTreeView>
#include <QtMath>

namespace tamsel::test {

namespace clipped {

inline QString plain(QString text) {
    // A mnemonic's '&' is not drawn; "&&" draws one.
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

inline QString name(const QWidget* widget) {
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

inline QString report(const QWidget* widget, const QString& text, int needed, int room) {
    return QStringLiteral("%1 \"%2\": needs %3, has %4").arg(name(widget), text).arg(needed).arg(room);
}

inline void label(const QLabel* label, QStringList& out) {
    if (label->text().isEmpty()) return;
    const QFontMetrics metrics(label->font());
    const int margins = 2 * label->margin() + (label->indent() > 0 ? label->indent() : 0);
    const QRect room = label->contentsRect().adjusted(0, 0, -margins, -margins);
    if (label->wordWrap()) {
        // A wrapped text is cut when its lines need more height than the label has.
        const int needed = label->heightForWidth(label->width());
        if (needed > label->height())
            out << report(label, label->text(), needed, label->height()) + " (height)";
        return;
    }
    int needed = 0;
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()))) {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        document.setHtml(label->text());
        needed = qCeil(document.idealWidth());
    } else {
        needed = metrics.horizontalAdvance(label->buddy() != nullptr ? plain(label->text()) : label->text());
    }
    if (needed > room.width()) out << report(label, label->text(), needed, room.width());
}

inline void button(const QAbstractButton* button, QStringList& out) {
    if (button->text().isEmpty()) return;
    const QString text = plain(button->text());
    const QFontMetrics metrics(button->font());
    int needed = metrics.horizontalAdvance(text);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button) != nullptr) {
        contents = QStyle::SE_CheckBoxContents;
    } else if (qobject_cast<const QRadioButton*>(button) != nullptr) {
        contents = QStyle::SE_RadioButtonContents;
    } else if (const auto* push = qobject_cast<const QPushButton*>(button)) {
        if (push->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
        if (push->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    }
    if (!button->icon().isNull()) needed += button->iconSize().width() + 4;
    const int room = button->style()->subElementRect(contents, &option, button).width();
    if (needed > room) out << report(button, text, needed, room);
}

inline void comboBox(const QComboBox* box, QStringList& out) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    option.frame = box->hasFrame();
    const int room =
        box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box).width();
    const QFontMetrics metrics(box->font());
    for (int i = 0; i < box->count(); ++i) {
        int needed = metrics.horizontalAdvance(box->itemText(i));
        if (!box->itemIcon(i).isNull()) needed += box->iconSize().width() + 4;
        if (needed > room) out << report(box, box->itemText(i), needed, room);
    }
}

// A line edit's text (or its placeholder when empty) shows whole: 2 pixels beside the text on each
// side are the field's own.
inline void lineEdit(const QLineEdit* field, QStringList& out) {
    const QString text = field->text().isEmpty() ? field->placeholderText() : field->displayText();
    if (text.isEmpty()) return;
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    option.state |= QStyle::State_Sunken;
    const QMargins margins = field->textMargins();
    const int room = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field).width() - 4 -
                     margins.left() - margins.right();
    const int needed = QFontMetrics(field->font()).horizontalAdvance(text);
    if (needed > room) out << report(field, text, needed, room);
}

inline void groupBox(const QGroupBox* box, QStringList& out) {
    if (box->title().isEmpty()) return;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.lineWidth = 1;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    if (label.right() >= box->width()) out << report(box, box->title(), label.right() + 1, box->width());
}

// Every shown column holds its header and its rows, and all of them fit the view side by side.
inline void treeView(const QTreeView* view, QStringList& out) {
    const QHeaderView* header = view->header();
    const auto* asView = static_cast<const QAbstractItemView*>(view);
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column)) continue;
        const int width = header->sectionSize(column);
        const QString title = view->model()->headerData(column, Qt::Horizontal).toString();
        if (!header->isHidden() && header->sectionSizeHint(column) > width)
            out << report(view, title + " (header)", header->sectionSizeHint(column), width);
        if (asView->sizeHintForColumn(column) > width)
            out << report(view, title + " (rows)", asView->sizeHintForColumn(column), width);
    }
    if (header->length() > view->viewport()->width())
        out << report(view, "all columns", header->length(), view->viewport()->width());
}

// A title bar holds the title beside the window's icon and up to three buttons, each about as wide as
// the bar is high; titles are often bold.
inline void windowTitle(const QWidget* window, QStringList& out) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int bar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    const int needed = QFontMetrics(font).horizontalAdvance(window->windowTitle()) + 4 * bar;
    if (needed > window->width())
        out << report(window, window->windowTitle(), needed, window->width()) + " (title)";
}

}  // namespace clipped

// The texts `window` cuts among its shown widgets, one line each; `skip` names widgets whose text is
// allowed to run on (a status line that has a tool tip of the whole).
inline QStringList clippedTexts(const QWidget& window, const QList<const QWidget*>& skip = {}) {
    QStringList out;
    clipped::windowTitle(&window, out);
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || skip.contains(widget)) continue;
        if (const auto* w = qobject_cast<const QLabel*>(widget)) {
            clipped::label(w, out);
        } else if (const auto* w = qobject_cast<const QAbstractButton*>(widget)) {
            clipped::button(w, out);
        } else if (const auto* w = qobject_cast<const QComboBox*>(widget)) {
            clipped::comboBox(w, out);
        } else if (const auto* w = qobject_cast<const QLineEdit*>(widget)) {
            // A combo box's own line edit is measured with the box.
            if (qobject_cast<const QComboBox*>(widget->parentWidget()) == nullptr) clipped::lineEdit(w, out);
        } else if (const auto* w = qobject_cast<const QGroupBox*>(widget)) {
            clipped::groupBox(w, out);
        } else if (const auto* w = qobject_cast<const QTreeView*>(widget)) {
            clipped::treeView(w, out);
        }
    }
    return out;
}

}  // namespace tamsel::test
