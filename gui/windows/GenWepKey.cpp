#include "gui/windows/GenWepKey.h"

#include <QCryptographicHash>
#include <QFontMetrics>

#include "gui/windows/GenWepKeyForm.h"
#include "gui/windows/TextFit.h"

namespace {

constexpr int KEY64_BYTES = 5;
constexpr int KEY128_BYTES = 13;
// Routers hash the phrase repeated to this many bytes.
constexpr int KEY128_INPUT = 64;

}  // namespace

GenWepKey::GenWepKey(QWidget* parent) : QWidget(parent), m_form(std::make_unique<Ui::GenWepKeyClass>()) {
    m_form->setupUi(this);
    setWindowFlags(Qt::WindowSystemMenuHint);
    connect(m_form->pushButton, &QPushButton::clicked, this, &GenWepKey::runGenScript);
    connect(m_form->buttonBox, &QDialogButtonBox::accepted, this, &GenWepKey::accept);
    connect(m_form->buttonBox, &QDialogButtonBox::rejected, this, &GenWepKey::reject);
    m_form->lineEdit->clear();
    m_form->lineEdit_2->clear();
    // The longest key, 26 hex digits, shows whole in the generated key's field.
    const QFontMetrics metrics(m_form->lineEdit_2->font());
    QChar widest = QLatin1Char('0');
    for (const QChar digit : QStringLiteral("0123456789ABCDEF")) {
        if (metrics.horizontalAdvance(digit) > metrics.horizontalAdvance(widest)) widest = digit;
    }
    TextFit::fitLineEdit(m_form->lineEdit_2, QString(26, widest));
    TextFit::fitWindowTitle(this);
    TextFit::fitWindow(this);
}

GenWepKey::~GenWepKey() = default;

QByteArray GenWepKey::key64(const QString& passPhrase) {
    QByteArray key(KEY64_BYTES, '\x20');
    const QByteArray phrase = passPhrase.toLatin1();
    if (phrase.isEmpty()) return key;

    quint8 seed[4] = {0, 0, 0, 0};
    for (qsizetype i = 0; i < phrase.size(); ++i) seed[i % 4] ^= static_cast<quint8>(phrase.at(i));
    quint32 x = quint32(seed[0]) | quint32(seed[1]) << 8 | quint32(seed[2]) << 16 | quint32(seed[3]) << 24;
    for (int i = 0; i < KEY64_BYTES; ++i) {
        x = x * 214013u + 2531011u;
        key[i] = static_cast<char>((x >> 16) & 0xFF);
    }
    return key;
}

QByteArray GenWepKey::key128(const QString& passPhrase) {
    const QByteArray phrase = passPhrase.toUtf8();
    if (phrase.isEmpty()) return {};
    QByteArray input(KEY128_INPUT, '\0');
    for (int i = 0; i < KEY128_INPUT; ++i) input[i] = phrase.at(i % phrase.size());
    return QCryptographicHash::hash(input, QCryptographicHash::Md5).left(KEY128_BYTES);
}

void GenWepKey::ShowWindow() {
    m_form->lineEdit->clear();
    m_form->lineEdit_2->clear();
    show();
    raise();
    activateWindow();
}

void GenWepKey::runGenScript() {
    const QString phrase = m_form->lineEdit->text();
    QByteArray key;
    if (m_form->hex10Btn->isChecked()) {
        key = key64(phrase);
    } else {
        // No phrase, no 128-bit key: the field keeps what it shows.
        if (phrase.isEmpty()) return;
        key = key128(phrase);
    }
    m_form->lineEdit_2->setText(QString::fromLatin1(key.toHex()));
}

void GenWepKey::accept() {
    emit copyHexString(m_form->lineEdit_2->text());
    close();
}

void GenWepKey::reject() {
    close();
}
