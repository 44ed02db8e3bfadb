#include "gui/windows/SecurityLabels.h"

#include "gui/client/SecurityTables.h"

namespace {

struct ModeLabels {
    const char* keyword;
    const char* shortLabel;
    const char* longLabel;
};

// Replaced in this order; no keyword holds a later one, so no label is replaced twice.
constexpr ModeLabels LABELS[] = {
    {"openNoEncryption", "Open(non-secured)", "Open(non-secured)"},
    {"wep", "WEP", "WEP"},
    {"openStaticWep", "WEP", "WEP"},
    {"sharedStaticWep", "Shared-WEP", "Shared-WEP"},
    {"wpaPersonalTkip", "WPA-Personal", "WPA-Personal-TKIP"},
    {"wpaPersonalAes", "WPA-Personal", "WPA-Personal-AES"},
    {"wpa2PersonalTkip", "WPA2-Personal", "WPA2-Personal-TKIP"},
    {"wpa2PersonalAes", "WPA2-Personal", "WPA2-Personal-AES"},
    {"wpaEnterpriseTkip", "WPA-Enterprise", "WPA-Enterprise-TKIP"},
    {"wpaEnterpriseAes", "WPA-Enterprise", "WPA-Enterprise-AES"},
    {"wpa2EnterpriseTkip", "WPA2-Enterprise", "WPA2-Enterprise-TKIP"},
    {"wpa2EnterpriseAes", "WPA2-Enterprise", "WPA2-Enterprise-AES"},
    {"quillanEnterpriseTkip", "Quillan-Enterprise", "Quillan-Enterprise-TKIP"},
    {"quillanEnterpriseAes", "Quillan-Enterprise", "Quillan-Enterprise-AES"},
};

QString replaceKeywords(QString text, const char* ModeLabels::*label) {
    for (const ModeLabels& row : LABELS) {
        text.replace(QLatin1String(row.keyword), QLatin1String(row.*label), Qt::CaseSensitive);
    }
    return text;
}

}  // namespace

QString SecurityLabels::shortLabels(const QString& keywords) {
    return replaceKeywords(keywords, &ModeLabels::shortLabel);
}

QString SecurityLabels::longLabels(const QString& keywords) {
    return replaceKeywords(keywords, &ModeLabels::longLabel);
}

int SecurityLabels::labelPosition(const QString& label) {
    return static_cast<int>(securityModeLabels().indexOf(label));
}

int SecurityLabels::modePosition(const QString& mode) {
    // A mode is listed at the first place of the label that shares its index in the rank; from
    // the seventh keyword on that label is the next mode's, which shifts those modes one place.
    const qsizetype rank = securityModeRank().indexOf(mode);
    if (rank < 0) return -1;
    return labelPosition(securityModeLabels().at(rank));
}
