#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class GenWepKeyClass;
}

// Turns a pass phrase into a hexadecimal WEP key the way wireless routers do, so that a user who set
// a pass phrase on the router can enter the same key in a network profile. Sends nothing; the
// accepted key leaves through copyHexString.
class GenWepKey : public QWidget {
    Q_OBJECT

public:
    explicit GenWepKey(QWidget* parent = nullptr);
    ~GenWepKey() override;

    // Five key bytes from the pass phrase's Latin-1 bytes; an empty phrase gives five blanks.
    static QByteArray key64(const QString& passPhrase);
    // Thirteen key bytes: MD5 over the UTF-8 phrase repeated to 64 bytes; empty for an empty phrase.
    static QByteArray key128(const QString& passPhrase);

    const Ui::GenWepKeyClass& form() const { return *m_form; }

signals:
    void copyHexString(const QString& key);

public slots:
    // Starts with both fields empty; the key length chosen last stays selected.
    void ShowWindow();
    void runGenScript();
    void accept();
    void reject();

private:
    std::unique_ptr<Ui::GenWepKeyClass> m_form;
};
