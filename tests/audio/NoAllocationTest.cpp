// The audio path allocates nothing: this binary replaces the global
// allocation functions with counting ones and runs many process calls
// (steady blocks, odd sizes, the commit of a change traced ahead, a
// program-change rebuild, crossfades, doubled pins) between two readings of the counter.

#include "audio/ProcessDriver.h"
#include "engine/RoomEngine.h"
#include "model/Parameters.h"
#include "tests/RoomEngineTestAccess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, std::align_val_t align)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size, std::align_val_t align)
{
    return operator new(size, align);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

TEST(AudioPath, ProcessCallsAllocateNothing)
{
    auto engine = std::make_unique<RoomEngine>();
    ASSERT_GT(allocations.load(), 0) << "the counter must see the engine's own allocations";
    RoomEngine& e = *engine;
    e.selectProgram(3);
    for (int index = 0; index < 46; ++index)
        e.setParameter(index, *programField(e.currentProgramRecord(), index));
    e.finishProgram();
    e.resetAudio();

    std::vector<float> in[2], out[6];
    float* inPtr[2];
    float* outPtr[6];
    for (int c = 0; c < 2; ++c) {
        in[c].assign(4096, 0.0f);
        for (int i = 0; i < 4096; i += 331)
            in[c][i] = 0.7f;
        inPtr[c] = in[c].data();
    }
    for (int c = 0; c < 6; ++c) {
        out[c].assign(4096, 0.0f);
        outPtr[c] = out[c].data();
    }
    const int sizes[] = {512, 512, 64, 1, 0, 37, 128, 4096, 255, 512};
    const long before = allocations.load();
    // A change traced ahead (with a ray set-up) before this thread has
    // played: the first block only commits it.
    e.setParameter(param::kNumRays, 0.8f);
    ASSERT_TRUE(e.traceProgramAhead());
    for (int round = 0; round < 6; ++round) {
        RoomEngineTestAccess::values(e).outputCount = round % 3 == 0 ? 5 : (round % 3 == 1 ? 2 : 4);
        RoomEngineTestAccess::values(e).stereoOn = round % 2;
        if (round == 3) {
            RoomEngineTestAccess::immediateRebuild(e).store(true, std::memory_order_release); // program change
            RoomEngineTestAccess::values(e).outputChannel[1] = 0;                                    // doubled pin
        }
        for (int n : sizes)
            processBlock(e, inPtr, outPtr, n);
    }
    EXPECT_EQ(allocations.load(), before);
}

} // namespace
