#include "gui/client/SecurityTables.h"

const QList<SecurityType>& securityTypeTable() {
    static const QList<SecurityType> table = {
        {QStringLiteral("-- Select Security Type --"), QString(), QString(), QString()},
        {QStringLiteral("Open(non-secured)"), QStringLiteral("openNoEncryption"),
         QStringLiteral("openNoEncryption"), QStringLiteral("openNoEncryption")},
        {QStringLiteral("WEP"), QStringLiteral("openStaticWep"), QStringLiteral("wepAscii?Key"),
         QStringLiteral("wepHex?Key")},
        {QStringLiteral("Shared WEP"), QStringLiteral("sharedStaticWep"), QStringLiteral("wepAscii?Key"),
         QStringLiteral("wepHex?Key")},
        {QStringLiteral("WPA Personal AES"), QStringLiteral("wpaPersonalAes"), QStringLiteral("wpaAsciiKey"),
         QStringLiteral("wpaHexKey")},
        {QStringLiteral("WPA Personal TKIP"), QStringLiteral("wpaPersonalTkip"),
         QStringLiteral("wpaAsciiKey"), QStringLiteral("wpaHexKey")},
        {QStringLiteral("WPA2 Personal AES"), QStringLiteral("wpa2PersonalAes"),
         QStringLiteral("wpaAsciiKey"), QStringLiteral("wpaHexKey")},
        {QStringLiteral("WPA2 Personal TKIP"), QStringLiteral("wpa2PersonalTkip"),
         QStringLiteral("wpaAsciiKey"), QStringLiteral("wpaHexKey")},
        {QStringLiteral("WPA Enterprise AES"), QStringLiteral("wpaEnterpriseAes"),
         QStringLiteral("wpaAsciiKey"), QStringLiteral("wpaHexKey")},
        {QStringLiteral("WPA Enterprise TKIP"), QStringLiteral("wpaEnterpriseTkip"),
         QStringLiteral("wpaAsciiKey"), QStringLiteral("wpaHexKey")},
        {QStringLiteral("WPA2 Enterprise AES"), QStringLiteral("wpa2EnterpriseAes"),
         QStringLiteral("wpaAsciiKey"), QStringLiteral("wpaHexKey")},
        {QStringLiteral("WPA2 Enterprise TKIP"), QStringLiteral("wpa2EnterpriseTkip"),
         QStringLiteral("wpaAsciiKey"), QStringLiteral("wpaHexKey")},
        {QStringLiteral("Quillan Enterprise AES"), QStringLiteral("quillanEnterpriseAes"),
         QStringLiteral("quillanAsciiKey"), QStringLiteral("quillanHexKey")},
        {QStringLiteral("Quillan Enterprise TKIP"), QStringLiteral("quillanEnterpriseTkip"),
         QStringLiteral("quillanAsciiKey"), QStringLiteral("quillanHexKey")},
    };
    return table;
}

const QStringList& securityModeOrder() {
    static const QStringList order = {
        QStringLiteral("openNoEncryption"),      QStringLiteral("wep"),
        QStringLiteral("wpaPersonalTkip"),       QStringLiteral("wpaPersonalAes"),
        QStringLiteral("wpaEnterpriseTkip"),     QStringLiteral("wpaEnterpriseAes"),
        QStringLiteral("wpa2PersonalTkip"),      QStringLiteral("wpa2PersonalAes"),
        QStringLiteral("wpa2EnterpriseTkip"),    QStringLiteral("wpa2EnterpriseAes"),
        QStringLiteral("quillanEnterpriseTkip"), QStringLiteral("quillanEnterpriseAes"),
    };
    return order;
}

const QStringList& securityModeRank() {
    static const QStringList rank = {
        QStringLiteral("openNoEncryption"),      QStringLiteral("wpa2PersonalTkip"),
        QStringLiteral("wpa2PersonalAes"),       QStringLiteral("wpaPersonalTkip"),
        QStringLiteral("wpaPersonalAes"),        QStringLiteral("wep"),
        QStringLiteral("quillanEnterpriseTkip"), QStringLiteral("quillanEnterpriseAes"),
        QStringLiteral("wpa2EnterpriseTkip"),    QStringLiteral("wpa2EnterpriseAes"),
        QStringLiteral("wpaEnterpriseTkip"),     QStringLiteral("wpaEnterpriseAes"),
    };
    return rank;
}

const QStringList& securityModeLabels() {
    static const QStringList labels = {
        QStringLiteral("Open(non-secured)"),  QStringLiteral("WPA2-Personal"),
        QStringLiteral("WPA2-Personal"),      QStringLiteral("WPA-Personal"),
        QStringLiteral("WPA-Personal"),       QStringLiteral("WEP"),
        QStringLiteral("Shared-WEP"),         QStringLiteral("Quillan-Enterprise"),
        QStringLiteral("Quillan-Enterprise"), QStringLiteral("WPA2-Enterprise"),
        QStringLiteral("WPA2-Enterprise"),    QStringLiteral("WPA-Enterprise"),
        QStringLiteral("WPA-Enterprise"),
    };
    return labels;
}

const QStringList& signalLevelNames() {
    static const QStringList names = {
        QString(),
        QStringLiteral("VeryLow"),
        QStringLiteral("Low"),
        QStringLiteral("Good"),
        QStringLiteral("VeryGood"),
        QStringLiteral("Excellent"),
    };
    return names;
}
