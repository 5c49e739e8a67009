// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Attributes for clang's thread-safety analysis (-Wthread-safety): a type
// that is a lock says so (CAPABILITY), data names the lock that guards it
// (GUARDED_BY), and functions say which locks they need, take or give back.
// The compiler then rejects an access to guarded data without its lock.
// Other compilers see nothing.

#if defined(__clang__)
#define OVINTA_THREAD_ATTRIBUTE(x) __attribute__((x))
#else
#define OVINTA_THREAD_ATTRIBUTE(x)
#endif

#define CAPABILITY(x) OVINTA_THREAD_ATTRIBUTE(capability(x))
#define SCOPED_CAPABILITY OVINTA_THREAD_ATTRIBUTE(scoped_lockable)
#define GUARDED_BY(x) OVINTA_THREAD_ATTRIBUTE(guarded_by(x))
#define PT_GUARDED_BY(x) OVINTA_THREAD_ATTRIBUTE(pt_guarded_by(x))
#define REQUIRES(...) OVINTA_THREAD_ATTRIBUTE(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) OVINTA_THREAD_ATTRIBUTE(acquire_capability(__VA_ARGS__))
#define RELEASE(...) OVINTA_THREAD_ATTRIBUTE(release_capability(__VA_ARGS__))
#define TRY_ACQUIRE(...) OVINTA_THREAD_ATTRIBUTE(try_acquire_capability(__VA_ARGS__))
#define EXCLUDES(...) OVINTA_THREAD_ATTRIBUTE(locks_excluded(__VA_ARGS__))
#define NO_THREAD_SAFETY_ANALYSIS OVINTA_THREAD_ATTRIBUTE(no_thread_safety_analysis)

namespace ovinta {

// Marks a scoped holder as taking over a lock its owner already holds (after
// a successful try).
struct AdoptLock {};
inline constexpr AdoptLock kAdoptLock{};

} // namespace ovinta
