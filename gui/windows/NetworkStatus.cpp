#include "gui/windows/NetworkStatus.h"

#include "gui/orvik/QtHelp.h"
#include "gui/windows/NetworkStatusForm.h"
#include "gui/windows/ScanModel.h"

namespace {

const char* const CONTEXT = "NetworkStatusClass";

bool has(const QString& text, const char* part) {
    return text.contains(QLatin1String(part), Qt::CaseInsensitive);
}

}  // namespace

NetworkStatus::NetworkStatus(QWidget* parent)
    : QDialog(parent), m_form(std::make_unique<Ui::NetworkStatusClass>()) {
    m_form->setupUi(this);
    setWindowFlags(Qt::WindowSystemMenuHint);
    connect(m_form->closeBtn, &QPushButton::clicked, this, &NetworkStatus::accept);
    connect(m_form->helpButton, &QPushButton::clicked, this, &NetworkStatus::helpRequested);
    orvik::QtHelp::registerDialog(this, QStringLiteral("helpBindings"));
}

NetworkStatus::~NetworkStatus() = default;

void NetworkStatus::setVisible(bool visible) {
    QDialog::setVisible(visible);
    emit visibleChanged(visible);
}

void NetworkStatus::accept() {
    done(1);
}

void NetworkStatus::reject() {
    done(0);
}

void NetworkStatus::showAndActivate() {
    show();
    raise();
    activateWindow();
}

void NetworkStatus::updateFromModel(const ScanModel* model) {
    if (model == nullptr || model->currentRow() < 0) return;
    const int row = model->currentRow();
    const auto shown = [model, row](int column) { return model->index(row, column).data().toString(); };
    m_form->friendlyName->setText(shown(ScanModel::NameColumn));
    m_form->ssid->setText(shown(ScanModel::SsidColumn));
    m_form->signalStrength->setText(shown(ScanModel::SignalColumn));
    m_form->securityOptionsBox->setText(shown(ScanModel::SecurityColumn));
    m_form->status->setText(shown(ScanModel::StatusColumn));
}

void NetworkStatus::updateFromStateEvent(const StateEvent& event) {
    m_form->friendlyName->setText(event.networkName);
    m_form->eapInnerMthd->setText(event.innerEapMethod);
    m_form->serverName->setText(event.serverVerifiedName);

    const QString word = m_rater.signalLevelText(event.signalStrengthInDbm, event.channel.toInt(nullptr, 10));
    if (!word.isEmpty())
        m_form->signalStrength->setText(word + QStringLiteral(" (%1 dBm)").arg(event.signalStrengthInDbm));

    // The service reports kbit/s; the window shows whole Mbit/s.
    m_form->speed->setText(QString::number(event.speedInMbps.toInt(nullptr, 10) / 1000));
    m_form->channel->setText(event.channel == QLatin1String("0") ? QString() : event.channel);
    m_form->macAddress->setText(event.nadMacAddress);
    m_form->adapterMacAddress->setText(event.adapterMacAddress);
    m_form->adapterName->setText(event.adapterName);

    if (!event.innerEapMethod.isEmpty()) {
        m_form->eapInnerMthd->setText(event.outerEapMethod + QLatin1Char('(') + event.innerEapMethod +
                                      QLatin1Char(')'));
    } else if (!event.outerEapMethod.isEmpty()) {
        m_form->eapInnerMthd->setText(event.outerEapMethod);
    }

    const char* type = credentialType(event);
    const QString security = m_form->securityOptionsBox->text();
    if (has(security, "wep") || has(security, "personal"))
        type = QT_TRANSLATE_NOOP("NetworkStatusClass", "Key");
    if (has(security, "open") || has(security, "none"))
        type = QT_TRANSLATE_NOOP("NetworkStatusClass", "none");
    // A wired network has no SSID.
    if (m_form->ssid->text().isEmpty()) {
        m_form->label_12->setText(QStringLiteral("LAN"));
        if (has(event.outerEapMethod, "none")) type = QT_TRANSLATE_NOOP("NetworkStatusClass", "none");
    } else {
        m_form->label_12->setText(QStringLiteral("WLAN"));
    }
    m_form->userMethod->setText(QCoreApplication::translate(CONTEXT, type));

    m_form->ip->setText(event.ipAddress);
    m_form->status->setText(event.displayStatus);
}

const char* NetworkStatus::credentialType(const StateEvent& event) {
    const QString& outer = event.outerEapMethod;
    const QString& inner = event.innerEapMethod;
    if (has(outer, "ttls") && has(inner, "mschapv2"))
        return QT_TRANSLATE_NOOP("NetworkStatusClass", "Username/Password");
    if (has(outer, "tls") || has(inner, "tls")) return QT_TRANSLATE_NOOP("NetworkStatusClass", "Certificate");
    return QT_TRANSLATE_NOOP("NetworkStatusClass", "Username/Password");
}
