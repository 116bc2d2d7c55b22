#include "sample_list.h"

#include <new>

void InitSampleList(SampleList &list)
{
    list.head.value = 0.0;
    list.head.next = nullptr;
    list.tail = &list.head;
    list.count = 0;
}

bool AppendSample(SampleList &list, double value)
{
    SampleNode *node = new (std::nothrow) SampleNode;
    if (node == nullptr)
        return false;
    node->value = value;
    node->next = nullptr;
    list.tail->next = node;
    list.tail = node;
    ++list.count;
    return true;
}

double RemoveSampleAt(SampleList &list, int32_t position)
{
    SampleNode *predecessor = &list.head;
    for (int32_t step = 1; step < position; ++step)
        predecessor = predecessor->next;

    SampleNode *removed = predecessor->next;
    const double value = removed->value;
    predecessor->next = removed->next;
    delete removed;

    if (position == list.count)
        list.tail = predecessor;
    --list.count;
    return value;
}

bool ClearSamples(SampleList &list)
{
    if (list.count == 0)
        return false;
    SampleNode *node = list.head.next;
    while (node != nullptr) {
        SampleNode *next = node->next;
        delete node;
        node = next;
    }
    InitSampleList(list);
    return true;
}
