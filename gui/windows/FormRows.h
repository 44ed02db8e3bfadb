#pragma once

#include <QBoxLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <initializer_list>
#include <utility>

namespace Ui {

// One row of a read-only summary: a right-aligned caption and a value the user can select and copy.
inline void addCaptionRow(QGridLayout* grid, int line, QLabel*& caption, const char* captionName,
                          QLabel*& value, const char* valueName) {
    QWidget* box = grid->parentWidget();
    caption = new QLabel(box);
    caption->setObjectName(captionName);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(caption, line, 0);
    value = new QLabel(box);
    value->setObjectName(valueName);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(value, line, 1);
}

// A caption and its field side by side in a row of their own, appended to `column`.
template <typename Field>
void addFieldRow(QBoxLayout* column, QHBoxLayout*& row, const char* rowName, QLabel*& caption,
                 const char* captionName, Field*& field, const char* fieldName) {
    QWidget* owner = column->parentWidget();
    row = new QHBoxLayout();
    row->setObjectName(rowName);
    caption = new QLabel(owner);
    caption->setObjectName(captionName);
    row->addWidget(caption);
    field = new Field(owner);
    field->setObjectName(fieldName);
    row->addWidget(field);
    column->addLayout(row);
}

// Push buttons in a row of their own, kept to the right by a spacer, appended to `column`.
inline void addButtonRow(QBoxLayout* column, QHBoxLayout*& row, const char* rowName, QSpacerItem*& spacer,
                         std::initializer_list<std::pair<QPushButton**, const char*>> buttons) {
    row = new QHBoxLayout();
    row->setObjectName(rowName);
    spacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    row->addItem(spacer);
    for (auto [button, name] : buttons) {
        *button = new QPushButton(column->parentWidget());
        (*button)->setObjectName(name);
        row->addWidget(*button);
    }
    column->addLayout(row);
}

}  // namespace Ui
