// The stored numbers in entry order; positions count from 1.
#pragma once

#include <cstdint>

struct SampleNode {
    double value;
    SampleNode *next;
};

struct SampleList {
    SampleNode head;   // sentinel: its value is never read, head.next is the first number
    SampleNode *tail;  // the last node, or &head when the list is empty
    int32_t count;
};

// Empties the list without freeing anything; only for a list that holds no nodes.
void InitSampleList(SampleList &list);

// Stores value after the last number. False, with nothing changed, when no node can be allocated.
bool AppendSample(SampleList &list, double value);

// Removes the number at position (1 <= position <= count, checked by the caller) and returns it.
double RemoveSampleAt(SampleList &list, int32_t position);

// Frees every node. False, doing nothing, when the list is already empty.
bool ClearSamples(SampleList &list);
