#include "gui/orvik/HelpWidget.h"

#include <QtCore/QUrl>

#include "gui/orvik/HelpWidgetForm.h"

namespace orvik {

HelpWidget::HelpWidget() : QDialog(nullptr, Qt::Tool), form_(std::make_unique<Ui::HelpWidgetForm>()) {
    form_->setupUi(this);
}

HelpWidget::~HelpWidget() = default;

void HelpWidget::setHtml(const QString& text) {
    form_->text->setHtml(text);
}

void HelpWidget::setSource(const QString& text) {
    form_->text->setSource(QUrl(text));
}

void HelpWidget::setStickToParent(bool flag) {
    stickToParent_ = flag;
}

}  // namespace orvik
