#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QTreeView;
class QWidget;

// Widths at which a widget shows its whole text in its own font and style, so that no window
// clips a text the user has to read, whatever the desktop's font.
namespace TextFit {

// The field is at least wide enough to show `text` whole.
void fitLineEdit(QLineEdit* field, const QString& text);
// The box is at least wide enough to show the longest of `texts` whole.
void fitComboBox(QComboBox* box, const QStringList& texts);
// The column is `baseWidth` wide, or wider when its header or a row needs more.
void fitColumn(QTreeView* view, int column, int baseWidth);
// The window is at least wide enough for its title beside a title bar's icon and buttons.
void fitWindowTitle(QWidget* window);
// The window grows, never shrinks, to the size its widgets ask for: wide enough for each text on
// one line and high enough for the wrapped ones at that width.
void fitWindow(QWidget* window);

}  // namespace TextFit
