// How deep a chain of nodes, each the child of the one before, the tests
// make, and the stack they walk it on. The full chain overflows a recursive
// reader's or writer's default stack; the sanitizers' work is many times
// slower, so they get a shorter chain on a stack as much shorter, which a
// recursion of the same frames overflows as well.
#ifndef TESTS_SUPPORT_DEEPCHAIN_H
#define TESTS_SUPPORT_DEEPCHAIN_H

#include "support/BoundedRun.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>

#include <pthread.h>

namespace deepchain {

// A multiple of 3: the deep-hierarchy tests put a mesh on every third of it, the leaf among them.
inline constexpr int kDepth = boundedrun::kSanitized ? 12000 : 60000;
inline constexpr std::size_t kStackBytes = (std::size_t{8} << 20) / 60000 * kDepth;

// Runs work on a thread of its own with kStackBytes of stack.
inline void OnChainStack(const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStackBytes);
    pthread_t thread;
    const auto call = [](void* what) -> void* {
        (*static_cast<const std::function<void()>*>(what))();
        return nullptr;
    };
    const int started = pthread_create(&thread, &attributes, call, const_cast<std::function<void()>*>(&work));
    pthread_attr_destroy(&attributes);
    ASSERT_EQ(started, 0);
    pthread_join(thread, nullptr);
}

}  // namespace deepchain

#endif
