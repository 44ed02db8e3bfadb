// Smart cards: once qxSmartCardInit has run, the identifiers of the inserted lab cards go out as
// QX_EVENT_SMART_CARD_LIST at once and after each change (the "card" command of run/lab, or a
// changed smartCard element); the store URL and registered name of a card.
#include <mutex>

#include "platform/lab/Lab.h"
#include "platform/qxauth/QxLibrary.h"

namespace qxauth {

namespace {

constexpr const char* CARD_URL_PREFIX = "certStore://scard/";
constexpr const char* CARD_USAGE = "card insert|remove <id>";

struct Cards {
    std::mutex mutex;
    bool started = false;
    bool sent = false;
    std::vector<uint8_t> lastSent;
};

Cards& cards() {
    static Cards c;
    return c;
}

lab::Lab& theLab() {
    return lab::Lab::instance();
}

std::vector<uint8_t> insertedIds() {
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    std::vector<uint8_t> list;
    for (const lab::Element& card : theLab().world().all("smartCard")) {
        if (!card.flag("inserted")) continue;
        std::string id = card.text("id");
        list.insert(list.end(), id.begin(), id.end());
        list.push_back(0);
    }
    return list;
}

std::string cardCommand(const std::vector<std::string>& words) {
    if (words.size() != 3 || (words[1] != "insert" && words[1] != "remove")) return CARD_USAGE;
    std::string reason;
    if (!theLab().world().set("smartCard", words[2], {{"inserted", words[1] == "insert" ? "true" : "false"}},
                              &reason))
        return reason;
    smartCardsChanged();
    return "";
}

}  // namespace

void smartCardsChanged() {
    theLab().schedule(0, [] {
        std::vector<uint8_t> list = insertedIds();
        Cards& c = cards();
        {
            std::lock_guard<std::mutex> lock(c.mutex);
            if (!c.started || (c.sent && list == c.lastSent)) return;
            c.sent = true;
            c.lastSent = list;
        }
        log(QX_LOG_SMART_CARD, "smart card list: %zu byte(s)", list.size());
        sendGlobalEvent(QX_EVENT_SMART_CARD_LIST, list);
    });
}

void startCardCommand() {
    theLab().addCommand(
        "card", [](const std::vector<std::string>& words, std::string*) { return cardCommand(words); });
}

void stopSmartCards() {
    Cards& c = cards();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.started = false;
    c.sent = false;
    std::vector<uint8_t>().swap(c.lastSent);
}

}  // namespace qxauth

using namespace qxauth;

int qxSmartCardInit(void*) {
    lab::Call call("qxSmartCardInit", "context");
    if (call.injected()) return call.result();
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    {
        std::lock_guard<std::mutex> lock(cards().mutex);
        cards().started = true;
    }
    smartCardsChanged();
    return call.finish(QX_OK);
}

int qxCertStoreUrlScardString(const char* cardId, char* buffer, int* length) {
    lab::Call call("qxCertStoreUrlScardString",
                   lab::quoted(cardId) + lab::format(", buffer, %d", length != nullptr ? *length : -1));
    if (call.injected()) return call.result();
    if (cardId == nullptr || *cardId == '\0') return call.finish(QX_ERR_INV_PARAM);
    return call.finish(copyText(std::string(CARD_URL_PREFIX) + cardId, buffer, length));
}

int qxSmartCardGetRegisteredName(const char* cardId, char* buffer, int* length) {
    lab::Call call("qxSmartCardGetRegisteredName",
                   lab::quoted(cardId) + lab::format(", buffer, %d", length != nullptr ? *length : -1));
    if (call.injected()) return call.result();
    if (cardId == nullptr) return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::string name;
    {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        const lab::Element* card = theLab().world().find("smartCard", cardId);
        if (card == nullptr || !card->has("name") || card->text("name").empty())
            return call.finish(QX_ERR_NOT_FOUND);
        name = card->text("name");
    }
    return call.finish(copyText(name, buffer, length));
}
