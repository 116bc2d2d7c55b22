// Makes one chosen allocation of the test program fail with std::bad_alloc, as when
// memory runs out.
#pragma once

// The allocation after `successes` more successful ones fails; later ones succeed again.
void FailAllocationAfter(long successes);
void StopFailingAllocations();

// Whether the chosen allocation has been reached and failed.
bool AllocationFailed();

// While one exists, allocations are neither counted nor failed: for the test's own
// machinery, such as the fake window, whose real counterpart does not allocate.
class AllocationsAllowed {
public:
    AllocationsAllowed();
    ~AllocationsAllowed();
    AllocationsAllowed(const AllocationsAllowed &) = delete;
    AllocationsAllowed &operator=(const AllocationsAllowed &) = delete;

private:
    long saved_;
};
