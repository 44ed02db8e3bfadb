#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AboutDialogClass;
}

// The about box: product name, version and the maker's notice. No traffic to the service.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int VERSION[4] = {5, 1, 1, 18};

    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    const Ui::AboutDialogClass& form() const { return *m_form; }

private:
    std::unique_ptr<Ui::AboutDialogClass> m_form;
};
