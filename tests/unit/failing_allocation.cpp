#include "failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {

long allocationsUntilFailure = -1;  // -1: nothing is made to fail
bool failed = false;

void *Allocate(std::size_t size)
{
    if (allocationsUntilFailure == 0) {
        allocationsUntilFailure = -1;
        failed = true;
        throw std::bad_alloc();
    }
    if (allocationsUntilFailure > 0)
        --allocationsUntilFailure;
    void *block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

}  // namespace

void FailAllocationAfter(long successes)
{
    allocationsUntilFailure = successes;
    failed = false;
}

void StopFailingAllocations()
{
    allocationsUntilFailure = -1;
}

bool AllocationFailed()
{
    return failed;
}

AllocationsAllowed::AllocationsAllowed() : saved_(allocationsUntilFailure)
{
    allocationsUntilFailure = -1;
}

AllocationsAllowed::~AllocationsAllowed()
{
    allocationsUntilFailure = saved_;
}

void *operator new(std::size_t size)
{
    return Allocate(size);
}

void *operator new[](std::size_t size)
{
    return Allocate(size);
}

void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void operator delete(void *block) noexcept
{
    std::free(block);
}

void operator delete[](void *block) noexcept
{
    std::free(block);
}

void operator delete(void *block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void *block, std::size_t) noexcept
{
    std::free(block);
}
