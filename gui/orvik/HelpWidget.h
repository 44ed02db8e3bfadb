#pragma once

#include <QtWidgets/QDialog>
#include <memory>

namespace orvik {

namespace Ui {
class HelpWidgetForm;
}

// The help window: a tool window beside the dialog it explains.
class HelpWidget : public QDialog {
    Q_OBJECT

public:
    HelpWidget();
    ~HelpWidget() override;

    void setHtml(const QString& text);
    void setSource(const QString& text);
    void setStickToParent(bool flag);
    // Whether the window goes on following its dialog after being passed to another one.
    bool stickToParent() const { return stickToParent_; }

private:
    std::unique_ptr<Ui::HelpWidgetForm> form_;
    bool stickToParent_ = true;
};

}  // namespace orvik
