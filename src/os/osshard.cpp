// Shards of the memory block lists. A thread allocates into its own shard, so threads allocating
// at once take different locks and touch different lines; a block keeps its shard for life, and a
// thread that frees another thread's block takes that block's shard lock. Lookups read the
// shards' sets without their locks, the caller's shard first.
#include <mutex>
#include <new>

#include "os/osinternal.h"

namespace ostrum {

struct alignas(ShardConstants::LINE) Shard {
    std::recursive_mutex lock;
    BlockSet blocks;
};

namespace {

struct alignas(ShardConstants::LINE) LookupCount {
    std::atomic<uint32_t> active;
    std::atomic<uint32_t> threads;  // living threads that allocate into the shard
};

// Never destroyed: the library is used by static constructors and destructors of its callers.
Shard* shards() {
    static Shard* const all = new Shard[ShardConstants::COUNT]();
    return all;
}

LookupCount* lookupCounts() {
    static LookupCount* const all = new LookupCount[ShardConstants::COUNT]();
    return all;
}

std::atomic<uint32_t> g_nextShard{0};
// The library is loaded at start-up, so the fast TLS model is safe; every allocation asks.
__attribute__((tls_model("initial-exec"))) thread_local uint32_t t_shard = ShardConstants::COUNT;
// Where this thread last found a block outside its own shard: a thread looks up the same few
// records of other threads (the pools it allocates from) over and over.
__attribute__((tls_model("initial-exec"))) thread_local uint32_t t_lastElsewhere = 0;

// The slow way, for a shard whose set could not grow: every list of the shard in every pool.
BlockHeader* findInShardLists(uint32_t shard, const void* header) {
    ListLock listLock;
    ShardLock lock(shard);
    auto inPools = [&](const PoolList& pools) -> BlockHeader* {
        for (PoolCommon* pool = pools.head; pool != nullptr; pool = pool->next) {
            for (BlockHeader* b = pool->blocks[shard].list.head; b != nullptr; b = b->next) {
                if (b == header) return b;
            }
        }
        return nullptr;
    };
    if (BlockHeader* b = inPools(g_os.context.memPools)) return b;
    for (OsContext* c = g_os.contextsHead; c != nullptr; c = c->next) {
        if (BlockHeader* b = inPools(c->memPools)) return b;
    }
    return nullptr;
}

}  // namespace

namespace {

// Gives the thread's shard back when the thread ends, so that threads that come and go do not pile
// up on a few shards while others stand empty. Blocks keep the shard they were allocated in.
struct ShardRelease {
    uint32_t shard = ShardConstants::COUNT;
    ~ShardRelease() {
        if (shard != ShardConstants::COUNT) lookupCounts()[shard].threads.fetch_sub(1, std::memory_order_relaxed);
    }
};
thread_local ShardRelease t_release;

// The shard with the fewest living threads, searched from a rotating start so that ties spread.
uint32_t leastUsedShard() {
    const uint32_t start = g_nextShard.fetch_add(1, std::memory_order_relaxed);
    uint32_t best = start % ShardConstants::COUNT;
    for (uint32_t k = 1; k < ShardConstants::COUNT; ++k) {
        const uint32_t shard = (start + k) % ShardConstants::COUNT;
        if (lookupCounts()[shard].threads.load(std::memory_order_relaxed) <
            lookupCounts()[best].threads.load(std::memory_order_relaxed)) {
            best = shard;
        }
    }
    return best;
}

}  // namespace

namespace {

// Once per thread; kept out of line so that the every-call path stays a load and a compare.
[[gnu::noinline]] uint32_t assignShard() {
    const uint32_t shard = leastUsedShard();
    lookupCounts()[shard].threads.fetch_add(1, std::memory_order_relaxed);
    t_release.shard = shard;
    t_shard = shard;
    return shard;
}

}  // namespace

uint32_t currentShard() {
    const uint32_t shard = t_shard;
    return shard != ShardConstants::COUNT ? shard : assignShard();
}

uint32_t shardOf(const BlockHeader* memBlock) {
    return reinterpret_cast<const MemBlock*>(memBlock)->shard;
}

BlockSet& shardBlocks(uint32_t shard) {
    return shards()[shard].blocks;
}

ShardLock::ShardLock(uint32_t shard) : m_shard(shard) {
    shards()[shard].lock.lock();
}
ShardLock::~ShardLock() {
    shards()[m_shard].lock.unlock();
}

AllShardsLock::AllShardsLock() {
    for (uint32_t i = 0; i < ShardConstants::COUNT; ++i) shards()[i].lock.lock();
}
AllShardsLock::~AllShardsLock() {
    for (uint32_t i = ShardConstants::COUNT; i-- > 0;) shards()[i].lock.unlock();
}

void enterLookup() {
    lookupCounts()[currentShard()].active.fetch_add(1, std::memory_order_seq_cst);
}

void leaveLookup() {
    lookupCounts()[currentShard()].active.fetch_sub(1, std::memory_order_release);
}

bool noLookupUnderWay() {
    for (uint32_t i = 0; i < ShardConstants::COUNT; ++i) {
        if (lookupCounts()[i].active.load(std::memory_order_seq_cst) != 0) return false;
    }
    return true;
}

BlockHeader* findMemBlock(const void* header) {
    const uint32_t own = currentShard();
    const uint32_t elsewhere = t_lastElsewhere;
    BlockHeader* found = nullptr;
    bool walkLists = false;
    auto probe = [&](uint32_t shard) {
        const BlockSet& set = shardBlocks(shard);
        if (set.incomplete.load(std::memory_order_acquire)) {
            walkLists = true;
        } else if (blockSetContains(&set, header)) {
            found = static_cast<BlockHeader*>(const_cast<void*>(header));
        }
        return found != nullptr;
    };
    enterLookup();
    if (!probe(own) && (elsewhere == own || !probe(elsewhere))) {
        for (uint32_t shard = 0; shard < ShardConstants::COUNT; ++shard) {
            if (shard == own || shard == elsewhere) continue;
            if (probe(shard)) {
                t_lastElsewhere = shard;
                break;
            }
        }
    }
    leaveLookup();
    for (uint32_t shard = 0; walkLists && found == nullptr && shard < ShardConstants::COUNT; ++shard) {
        if (shardBlocks(shard).incomplete.load(std::memory_order_acquire))
            found = findInShardLists(shard, header);
    }
    return found;
}

void clearShards() {
    for (uint32_t i = 0; i < ShardConstants::COUNT; ++i) blockSetClear(&shardBlocks(i));
}

}  // namespace ostrum
