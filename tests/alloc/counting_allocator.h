#pragma once

#include <cstddef>

// Replaces the global operator new and delete of the executable it is linked
// into, counting every allocation the process makes.
namespace waitline::alloc {

// Allocations made since the process started, by any thread.
std::size_t AllocationCount();

// Allocations made while running f.
template <typename F>
std::size_t AllocationsDuring(F&& f)
{
    const std::size_t before = AllocationCount();
    f();
    return AllocationCount() - before;
}

}  // namespace waitline::alloc
