#include <set>
#include <vector>

#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

struct Job {
    Latch latch;
    bool ran = false;
    OsThreadId seenId = 0;
    OsThread** handleSlot = nullptr;
    bool handleWasSet = false;
};

void runJob(void* argument) {
    auto* job = static_cast<Job*>(argument);
    OsThreadId self = 0;
    osThreadSelf(&self);
    bool handleSet = job->handleSlot != nullptr && *job->handleSlot != nullptr;
    job->latch.update([&] {
        job->ran = true;
        job->seenId = self;
        job->handleWasSet = handleSet;
    });
}

void exitEarly(void* argument) {
    auto* job = static_cast<Job*>(argument);
    job->latch.update([&] { job->ran = true; });
    osThreadExit();
    job->latch.update([&] { job->ran = false; });
}

class ThreadTest : public ContextTest {};

TEST_F(ThreadTest, BodyRunsAfterTheHandleIsInPlaceAndSeesTheThreadsId) {
    open(makeConfig(osDbgTraceType_thread));
    Job job;
    OsThread* thread = nullptr;
    job.handleSlot = &thread;
    ASSERT_EQ(OS_OK, _osThreadExec(__FILE__, __LINE__, &thread, runJob, &job, ctx));
    ASSERT_NE(nullptr, thread);
    OsThreadId id = 0;
    ASSERT_EQ(OS_OK, osThreadId(thread, &id));
    EXPECT_NE(0u, id);
    ASSERT_TRUE(job.latch.waitFor([&] { return job.ran; }, DEADLINE));
    EXPECT_TRUE(job.handleWasSet);
    EXPECT_EQ(OS_OK, osThreadEqual(&id, &job.seenId));
    OsThreadId self = 0;
    ASSERT_EQ(OS_OK, osThreadSelf(&self));
    EXPECT_EQ(OS_ERR_FAILED, osThreadEqual(&self, &id));
    ASSERT_EQ(OS_OK, _osThreadJoin(__FILE__, __LINE__, &thread));
    EXPECT_EQ(nullptr, thread);

    Seen& s = Seen::instance();
    std::lock_guard<std::mutex> lock(s.mutex);
    std::vector<unsigned> opcodes;
    for (const TraceSeen& t : s.traces) {
        if (t.kind == osDbgTraceType_thread) {
            opcodes.push_back(t.opcode);
            EXPECT_EQ(id, t.extra1);
        }
    }
    EXPECT_EQ((std::vector<unsigned>{osDbgTraceOp_exec, osDbgTraceOp_join}), opcodes);
}

TEST_F(ThreadTest, ThreadIdsAreDistinctAndNeverZero) {
    open(makeConfig());
    constexpr int COUNT = 8;
    Job jobs[COUNT];
    OsThread* threads[COUNT] = {};
    for (int i = 0; i < COUNT; ++i)
        ASSERT_EQ(OS_OK, _osThreadExec(__FILE__, __LINE__, &threads[i], runJob, &jobs[i], ctx));
    std::set<OsThreadId> ids;
    for (int i = 0; i < COUNT; ++i) {
        ASSERT_TRUE(jobs[i].latch.waitFor([&] { return jobs[i].ran; }, DEADLINE));
        EXPECT_NE(0u, jobs[i].seenId);
        ids.insert(jobs[i].seenId);
        EXPECT_EQ(OS_OK, _osThreadJoin(__FILE__, __LINE__, &threads[i]));
    }
    OsThreadId self = 0;
    osThreadSelf(&self);
    ids.insert(self);
    EXPECT_EQ(static_cast<size_t>(COUNT + 1), ids.size());
}

TEST_F(ThreadTest, ThreadExitEndsTheBodyAndTheThreadCanBeJoined) {
    open(makeConfig());
    Job job;
    OsThread* thread = nullptr;
    ASSERT_EQ(OS_OK, _osThreadExec(__FILE__, __LINE__, &thread, exitEarly, &job, ctx));
    ASSERT_EQ(OS_OK, _osThreadJoin(__FILE__, __LINE__, &thread));
    EXPECT_TRUE(job.ran) << "the code after osThreadExit never ran";
}

TEST_F(ThreadTest, TracedExecWithoutPositionStartsNothing) {
    open(makeConfig(osDbgTraceType_thread));
    Job job;
    OsThread* thread = nullptr;
    EXPECT_EQ(OS_ERR_FAILED, _osThreadExec(__FILE__, 0, &thread, runJob, &job, ctx));
    EXPECT_EQ(nullptr, thread);
    EXPECT_FALSE(job.ran) << "the refused thread has been joined without running its body";
}

}  // namespace
