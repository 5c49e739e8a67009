// The main screen's views allocate nothing per picture: this binary replaces
// the global allocation functions with counting ones and draws the EQ view
// (analysis included) and the 3D view of a full room repeatedly between two
// readings of the counter.

#include "dsp/EqResponse.h"
#include "editor/screens/EqEditLink.h"
#include "editor/screens/EqView.h"
#include "editor/screens/Room3DView.h"
#include "tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

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

void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

namespace {

class EngineLink : public EqEditLink {
public:
    explicit EngineLink(RoomEngine& e) : engine(e) {}
    float getParameter(int index) override { return engine.getParameter(index); }
    void setParameter(int index, float value) override { engine.setParameter(index, value); }
    void beginEdit(int) override {}
    void endEdit(int) override {}
    void reportKnob(int) override {}

private:
    RoomEngine& engine;
};

TEST(MainScreenViews, PicturesAllocateNothing)
{
    auto engine = enginetest::makeEngine();
    enginetest::applyProgram(*engine, 0);
    Wall walls[kMaxWalls];
    for (int i = 0; i < kMaxWalls; ++i)
        walls[i] = makeWall(i % 50, (i * 7) % 50, (i * 13 + 5) % 50, (i * 3 + 9) % 51);
    engine->setActiveWalls(walls, kMaxWalls);
    EngineLink link(*engine);
    EqView eq(*engine, link, nullptr, nullptr);
    Room3DView room(*engine, nullptr);
    COffscreenContext picture(Room3DView::kSize, Room3DView::kSize);
    // First pictures: the toolkit's font faces are opened on first use.
    eq.draw(picture);
    room.draw(picture);

    const long before = allocations.load();
    for (int i = 0; i < 5; ++i) {
        engine->setParameter(param::kEQgain2, 0.1f * static_cast<float>(i));
        room.requestRebuild();
        eq.draw(picture);
        room.draw(picture);
        room.mouseDown(CPoint(100, 100), kLButton);
        room.mouseMoved(CPoint(120 + i, 90), kLButton);
        room.mouseUp(CPoint(120 + i, 90), 0);
    }
    EXPECT_EQ(allocations.load(), before);
    EXPECT_GT(room.drawOrder().size(), 100u) << "the room was drawn";
}

} // namespace
