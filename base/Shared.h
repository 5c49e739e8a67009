// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scalar shared between the host's parameter thread, the audio thread and
// the editor's thread. Every access is a relaxed atomic load or store: the
// values are independent settings, each read whole, and the hand-overs that
// need ordering (ray slots, the audio-path handshake, the change counter) use
// their own atomics with stronger orders.

#include <atomic>

namespace ovinta {

template <typename T>
class Shared {
public:
    static_assert(std::atomic<T>::is_always_lock_free);

    constexpr Shared(T initial = T{}) noexcept : value(initial) {}
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    operator T() const noexcept { return value.load(std::memory_order_relaxed); }
    Shared& operator=(T v) noexcept
    {
        value.store(v, std::memory_order_relaxed);
        return *this;
    }
    T load() const noexcept { return value.load(std::memory_order_relaxed); }
    void store(T v) noexcept { value.store(v, std::memory_order_relaxed); }

private:
    std::atomic<T> value;
};

} // namespace ovinta
