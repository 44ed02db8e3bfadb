#include <dlfcn.h>
#include <gtest/gtest.h>

#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/qxauth/qxAuth.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TempHome.h"

namespace tamsel::test {
namespace {

void ignore(void*, int, const void*, int) {}

class QxTivraTest : public testing::Test {
protected:
    void SetUp() override {
        lab::clearCalls();
        base::clearFailures();
        lab::Lab::instance().setManual(true);
        LabBuilder().writeTo(m_home.file("lab.xml"));
        QX_INIT init = {nullptr, ignore};
        ASSERT_EQ(qxInit(&init), QX_OK);
        m_module = ::dlopen(QXTIVRA_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_module, nullptr) << ::dlerror();
        m_init = reinterpret_cast<QX_TIVRA_INIT2>(::dlsym(m_module, QX_TIVRA_INIT2_NAME));
        m_exit = reinterpret_cast<QX_TIVRA_EXIT>(::dlsym(m_module, QX_TIVRA_EXIT_NAME));
        ASSERT_NE(m_init, nullptr);
        ASSERT_NE(m_exit, nullptr);
    }
    void TearDown() override {
        if (m_exit != nullptr) m_exit();
        if (m_module != nullptr) ::dlclose(m_module);
        qxExit();
        lab::Lab::instance().setManual(false);
        base::clearFailures();
    }

    TempHome m_home{"qxtivra"};
    void* m_module = nullptr;
    QX_TIVRA_INIT2 m_init = nullptr;
    QX_TIVRA_EXIT m_exit = nullptr;
};

TEST_F(QxTivraTest, TakesOnlyTheLibrarysRecordAndStartsOnce) {
    QX_TLV tlv = {};
    EXPECT_EQ(m_init(&tlv, "VEL Tivra NetTrans"), QX_ERR_INV_PARAM);
    ASSERT_EQ(qxTlvInit(&tlv), QX_OK);
    QX_TLV changed = tlv;
    changed.nonce[0] ^= 1;
    EXPECT_EQ(m_init(&changed, "VEL Tivra NetTrans"), QX_ERR_INV_PARAM);
    EXPECT_EQ(m_init(&tlv, nullptr), QX_ERR_INV_PARAM);

    EXPECT_EQ(m_exit(), QX_ERR_NOT_APPLICABLE);
    EXPECT_EQ(m_init(&tlv, "VEL Tivra NetTrans"), QX_OK);
    EXPECT_EQ(m_init(&tlv, "VEL Tivra NetTrans"), QX_ERR_NOT_APPLICABLE);
    EXPECT_EQ(m_exit(), QX_OK);
    EXPECT_EQ(m_exit(), QX_ERR_NOT_APPLICABLE);
}

TEST_F(QxTivraTest, ItsCallsJoinTheProgramsLabAndFailOnDemand) {
    QX_TLV tlv = {};
    ASSERT_EQ(qxTlvInit(&tlv), QX_OK);
    EXPECT_EQ(lab::Lab::instance().command("fail qxTivraInit2 -1"), "ok");
    EXPECT_EQ(m_init(&tlv, "VEL Tivra NetTrans"), QX_ERR_FAILURE);
    EXPECT_EQ(m_init(&tlv, "VEL Tivra NetTrans"), QX_OK);
    std::vector<std::string> calls = lab::recordedCalls();
    ASSERT_GE(calls.size(), 2u);
    std::string serial = std::to_string(tlv.serial);
    EXPECT_EQ(calls[calls.size() - 2], "qxTivraInit2(&tlv#" + serial + ", \"VEL Tivra NetTrans\") = -1");
    EXPECT_EQ(calls.back(), "qxTivraInit2(&tlv#" + serial + ", \"VEL Tivra NetTrans\") = 0");
}

}  // namespace
}  // namespace tamsel::test
