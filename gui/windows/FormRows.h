#pragma once

#include <QGridLayout>
#include <QLabel>

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

}  // namespace Ui
