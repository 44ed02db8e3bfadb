#pragma once
// Adapter objects on a lab in manual mode, with a subscriber that records what they publish.
#include <string>
#include <utility>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/qxauth/qxAuth.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TestText.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/adapter/VelAdapter.h"

namespace tamsel::test {

class RecordingAdapterSubscriberImpl : public ReferenceImpl, public AdapterSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void eapStatus(const VelAdapter&, std::int32_t) override {}
    void adapterStateChanged(const VelAdapter& adapter, std::int32_t state, std::int32_t reason) override {
        changes.push_back({adapter.symbolicName().text(), state, reason});
    }

    struct Change {
        std::string adapter;
        std::int32_t state;
        std::int32_t reason;
        bool operator==(const Change& other) const {
            return adapter == other.adapter && state == other.state && reason == other.reason;
        }
    };
    std::vector<Change> changes;
};

inline void ignoreGlobalEvent(void*, int, const void*, int) {}

class AdapterTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        base::clearFailures();
        lab::clearCalls();
        lab::Lab::instance().setManual(true);
    }
    void TearDown() override {
        if (lab::Lab::instance().running()) qxExit();
        lab::Lab::instance().setManual(false);
        base::clearFailures();
        RuntimeTest::TearDown();
    }
    // The library started on this lab (its adapters answer qxGetPortAttr).
    void startLab(const LabBuilder& builder) {
        builder.writeTo(root.path() + "/lab.xml");
        QX_INIT init = {nullptr, ignoreGlobalEvent};
        ASSERT_EQ(qxInit(&init), QX_OK);
    }
    std::string log() { return readText(root.log()); }
};

}  // namespace tamsel::test
