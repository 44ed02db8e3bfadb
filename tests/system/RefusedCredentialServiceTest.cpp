// A credential the card or the server refused is never sent again: the service asks the user for
// the next one, and a card that has blocked is left alone and reported to the tray.
#include "tests/system/UserRoadsFixture.h"

namespace {

using namespace userroads;
using tamsel::test::LabBuilder;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* WRONG_PIN = "0000";

class RefusedCredentialTest : public UserRoadsTest {
protected:
    // EAP-TLS on the wired port with Alice's card of the tries given; the user logged on.
    void startWithCard(const std::string& tries, const std::string& pinKept = "tilLogout") {
        LabBuilder world =
            wiredLab({{"method", "tls"}, {"identity", "alice"}, {"clientCa", pki(tamsel::test::pki::CA)}});
        world.add("smartCard", {{"id", "card1"},
                                {"name", "Alice card"},
                                {"file", pki(tamsel::test::pki::CARD_P12)},
                                {"pin", tamsel::test::pki::CARD_PIN},
                                {"tries", tries}});
        start(world, wiredNetwork("Wired-Card", userEapTls("smartCardOnlyCertificate", pinKept)));
    }
    // The user logs on and answers the PIN request with a wrong PIN; the service asks once more.
    void mistypeThePin(PipeClient& client, PipeRecorder& tray) {
        ASSERT_EQ(lab("logon alice secret CORP"), OK);
        ASSERT_TRUE(asked(tray, 1)) << root.logText();
        answerPin(client, "Wired-Card", WRONG_PIN);
        ASSERT_TRUE(asked(tray, 2)) << root.logText();
    }
    // The results of the card's key loads so far, in order.
    std::vector<std::string> keyLoads() {
        std::vector<std::string> results;
        for (const std::string& call : calls("qxCertLoadPrivateKey"))
            results.push_back(call.substr(call.rfind(" = ") + 3));
        return results;
    }
    static bool asked(PipeRecorder& tray, size_t times) {
        return waitFor([&] { return tray.count("getSmartCardPinRequest") >= times; });
    }
};

class WrongPinTest : public RefusedCredentialTest, public testing::WithParamInterface<const char*> {};

// The user mistypes the PIN once, whether the PIN is kept until logoff or for good: the card refuses
// it, the service asks again at once instead of replaying it, the card keeps its tries, and the right
// PIN connects.
TEST_P(WrongPinTest, AWrongPinIsAskedForAgainAndTheRightOneConnects) {
    startWithCard("3", GetParam());
    PipeClient& client = connectClient();
    PipeRecorder tray(client);
    ASSERT_NO_FATAL_FAILURE(mistypeThePin(client, tray));
    EXPECT_THAT(keyLoads(), ElementsAre("-29"));
    EXPECT_EQ(tray.named("getSmartCardPinRequest")[1].child("smartCardName"), "Alice card");

    answerPin(client, "Wired-Card", tamsel::test::pki::CARD_PIN);
    ASSERT_TRUE(connected("Wired-Card")) << root.logText();
    ASSERT_TRUE(heardConnected(tray)) << testing::PrintToString(tray.networkStates());
    EXPECT_THAT(keyLoads(), ElementsAre("-29", "0"));
    std::string log = root.logText();
    EXPECT_EQ(countOf(log, "Wrong smart card PIN for smart card 'Alice card'\n"), 1) << log;
    EXPECT_THAT(log, Not(HasSubstr("is blocked")));
    EXPECT_EQ(tray.count("getSmartCardPinRequest"), 2U);
    EXPECT_EQ(calls("qxCredUserCert").size(), 1U) << "the certificate went once, with the right PIN";
    stopInOrder(tray, 4);
}

INSTANTIATE_TEST_SUITE_P(PinKept, WrongPinTest, testing::Values("tilLogout", "forever"));

// A card with one try left: the wrong PIN spends it, the next PIN finds the card blocked. The service
// tells the tray why the network failed, and neither asks for a PIN nor opens the card again in the
// authentications that follow.
TEST_F(RefusedCredentialTest, ACardWhoseTriesRunOutIsReportedAndNotTriedAgain) {
    startWithCard("1");
    PipeClient& client = connectClient();
    PipeRecorder tray(client);
    ASSERT_NO_FATAL_FAILURE(mistypeThePin(client, tray));
    answerPin(client, "Wired-Card", tamsel::test::pki::CARD_PIN);
    ASSERT_TRUE(logged("Smart card 'Alice card' is blocked\n")) << root.logText();
    ASSERT_TRUE(waitFor([&] {
        std::vector<std::string> failures = tray.children("networkStateEvent", "credentialFailure");
        return std::find(failures.begin(), failures.end(), "cardBlocked") != failures.end();
    })) << testing::PrintToString(tray.networkStates());
    EXPECT_THAT(tray.networkStates(), Contains("authentication failed"));

    // Two more authentications run after the card blocked; neither touches it.
    ASSERT_TRUE(logged("Smart card 'Alice card' is blocked, its certificate is not used", 2))
        << root.logText();
    EXPECT_THAT(keyLoads(), ElementsAre("-29", "-36"));
    EXPECT_EQ(tray.count("getSmartCardPinRequest"), 2U);
    EXPECT_EQ(calls("qxCredUserCert").size(), 0U);

    // Taken out, the card may come back unblocked: put back, it is offered again.
    ASSERT_EQ(lab("card remove card1"), OK);
    ASSERT_TRUE(logged("Smart card 'Alice card' was taken out, it may come back unblocked"))
        << root.logText();
    ASSERT_EQ(lab("card insert card1"), OK);
    ASSERT_TRUE(asked(tray, 3)) << root.logText();
    stopInOrder(tray, 4);
}

// What the user typed for a PIN kept until logoff lasts until the logoff: the next logon asks again.
TEST_F(RefusedCredentialTest, ALogoffForgetsThePinKeptUntilThen) {
    startWithCard("3");
    PipeClient& client = connectClient();
    PipeRecorder tray(client);
    ASSERT_EQ(lab("logon alice secret CORP"), OK);
    ASSERT_TRUE(asked(tray, 1)) << root.logText();
    answerPin(client, "Wired-Card", tamsel::test::pki::CARD_PIN);
    ASSERT_TRUE(connected("Wired-Card")) << root.logText();
    ASSERT_EQ(lab("logoff"), OK);
    ASSERT_TRUE(logged("Requesting machine authentication pre-logon.")) << root.logText();
    ASSERT_EQ(lab("logon alice secret CORP"), OK);
    ASSERT_TRUE(asked(tray, 2)) << root.logText();
    answerPin(client, "Wired-Card", tamsel::test::pki::CARD_PIN);
    ASSERT_TRUE(connected("Wired-Card", 2)) << root.logText();
    EXPECT_THAT(keyLoads(), Contains("0"));
    stopInOrder(tray, 4);
}

// The other roads of a password the user or the logon gave, each refused once by the server: the
// service asks again before it sends another password, so the server never sees a refused one twice.
struct PasswordRoad {
    const char* name;
    // The user's PEAP password source and how it is kept.
    const char* passwordSource;
    const char* collection;
    // The password the logon brings.
    const char* logonPassword;
};

void PrintTo(const PasswordRoad& road, std::ostream* out) {
    *out << road.name;
}

const PasswordRoad PASSWORD_ROADS[] = {
    {"FromTheTrayKeptForever", "<passwordFromUser/>",
     "<withPassword><cachePasswordFromUser><forever/></cachePasswordFromUser></withPassword>", "secret"},
    {"FromTheTrayKeptUntilLogoff", "<passwordFromUser/>",
     "<withPassword><cachePasswordFromUser><tilLogout/></cachePasswordFromUser></withPassword>", "secret"},
    {"FromTheLogon", "<passwordFromLogon/>", "<withPassword/>", "wrong"},
};

class RefusedPasswordTest : public UserRoadsTest, public testing::WithParamInterface<PasswordRoad> {
protected:
    // The tray's answer to the service's request, with alice's name and the password given.
    static void answer(PipeClient& client, const PipeMessageBody& request, const std::string& password) {
        SoapRequest reply(QStringLiteral("getUsernameAndPasswordResponse"),
                          QString::fromStdString(request.child("sequenceNumber")));
        reply.addRequestParam(QStringLiteral("groupName"),
                              QString::fromStdString(request.child("groupName")));
        reply.addRequestParam(QStringLiteral("networkName"),
                              QString::fromStdString(request.child("networkName")));
        reply.addRequestParam(QStringLiteral("passwordType"),
                              QString::fromStdString(request.child("passwordType")));
        reply.addRequestParam(QStringLiteral("username"), QStringLiteral("alice"));
        reply.addRequestParam(QStringLiteral("password"), QString::fromStdString(password));
        reply.endRequest();
        client.send(reply.text().toStdString());
    }
    // Answers every password request from the given one on with the password, until one more than
    // `until` requests were heard; false when none came.
    static bool answerUntil(PipeClient& client, PipeRecorder& tray, size_t& answered, size_t until,
                            const std::string& password) {
        while (answered < until) {
            if (!waitFor([&] { return tray.count("getUsernameAndPasswordRequest") > answered; }))
                return false;
            answer(client, tray.named("getUsernameAndPasswordRequest")[answered++], password);
        }
        return true;
    }
};

TEST_P(RefusedPasswordTest, ARefusedPasswordIsAskedForAgainAndNeverSentTwice) {
    const PasswordRoad& road = GetParam();
    start(
        wiredLab({{"method", "peap"}, {"inner", "mschapv2"}, {"identity", "alice"}, {"password", "secret"}}),
        wiredNetwork("Wired-User", std::string("<userAuthentication>\n<authenticationMethod>\n") +
                                       peap("[username]", road.passwordSource) +
                                       "</authenticationMethod>\n<collectionBehavior>" + road.collection +
                                       "</collectionBehavior>\n</userAuthentication>\n"));
    PipeClient& client = connectClient();
    PipeRecorder tray(client);
    ASSERT_EQ(lab(std::string("logon alice ") + road.logonPassword + " CORP"), OK);
    // The tray's roads: the user's name and password, then the password again inside the tunnel (the
    // identity and the inner method each ask), both wrong.
    size_t answered = 0;
    if (std::string(road.logonPassword) == "secret") {
        ASSERT_TRUE(answerUntil(client, tray, answered, 2, "wrong"));
    }
    ASSERT_TRUE(logged("Credential rejected, authentication failed.")) << root.logText();
    ASSERT_TRUE(waitFor([&] { return tray.count("getUsernameAndPasswordRequest") > answered; }))
        << "the user is asked again\n"
        << root.logText();
    EXPECT_EQ(calls("qxCredPassword").size(), 1U) << "the refused password went once";
    EXPECT_THAT(root.logText(), HasSubstr("Refused password is forgotten"));

    ASSERT_TRUE(answerUntil(client, tray, answered, answered + 2, "secret"));
    ASSERT_TRUE(connected("Wired-User")) << root.logText();
    EXPECT_EQ(calls("qxCredPassword").size(), 2U);
    stopInOrder(tray, 4);
}

INSTANTIATE_TEST_SUITE_P(Roads, RefusedPasswordTest, testing::ValuesIn(PASSWORD_ROADS),
                         [](const testing::TestParamInfo<PasswordRoad>& road) { return road.param.name; });

}  // namespace
