#include "gui/windows/TextFit.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTreeView>
#include <algorithm>

namespace {

// A line edit keeps this much room beside its text on either side, inside its frame.
constexpr int LINE_EDIT_SIDE_MARGIN = 2;
// A title bar holds the window's icon and up to three buttons; each about as wide as the bar is high.
constexpr int TITLE_BAR_SQUARES = 4;

}  // namespace

namespace TextFit {

void fitLineEdit(QLineEdit* field, const QString& text) {
    const QFontMetrics metrics(field->font());
    const QMargins margins = field->textMargins();
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    const QSize content(
        metrics.horizontalAdvance(text) + 2 * LINE_EDIT_SIDE_MARGIN + margins.left() + margins.right() + 1,
        metrics.height());
    const QSize needed = field->style()->sizeFromContents(QStyle::CT_LineEdit, &option, content, field);
    field->setMinimumWidth(std::max(field->minimumWidth(), needed.width()));
}

void fitComboBox(QComboBox* box, const QStringList& texts) {
    const QFontMetrics metrics(box->font());
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    option.frame = box->hasFrame();
    const QSize needed = box->style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                        QSize(widest + 1, metrics.height()), box);
    box->setMinimumWidth(std::max(box->minimumWidth(), needed.width()));
}

void fitColumn(QTreeView* view, int column, int baseWidth) {
    const int header = view->header()->isHidden() ? 0 : view->header()->sectionSizeHint(column);
    // The view's own measure of its rows, public on the item view it is.
    const int rows = static_cast<const QAbstractItemView*>(view)->sizeHintForColumn(column);
    view->setColumnWidth(column, std::max({baseWidth, header, rows}));
}

void fitWindowTitle(QWidget* window) {
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    // Window managers often set titles in bold; a bold title that fits fits in any weight.
    titleFont.setBold(true);
    const int bar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    const int needed =
        QFontMetrics(titleFont).horizontalAdvance(window->windowTitle()) + TITLE_BAR_SQUARES * bar;
    window->setMinimumWidth(std::max(window->minimumWidth(), needed));
    // A dialog whose layout sets its minimum size forgets the one above; its size stays.
    if (window->width() < needed) window->resize(needed, window->height());
}

void fitWindow(QWidget* window) {
    // Rows shown or hidden while the window was closed count only once its layout has seen them.
    if (QLayout* layout = window->layout()) {
        layout->invalidate();
        layout->activate();
    }
    QSize size = window->size().expandedTo(window->sizeHint()).expandedTo(window->minimumSize());
    if (window->hasHeightForWidth())
        size.setHeight(std::max(size.height(), window->heightForWidth(size.width())));
    window->resize(size);
}

}  // namespace TextFit
