#pragma once
// A locked first-in first-out list of received datagrams: receive threads push, the search's
// collection pops. Each buffer keeps its own length, so no reader goes past what was received.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

class DatagramQueue
{
public:
    DatagramQueue() = default;
    virtual ~DatagramQueue();
    DatagramQueue(const DatagramQueue&) = delete;
    DatagramQueue& operator=(const DatagramQueue&) = delete;

    // Appends a copy of `length` bytes at `data`.
    void Push(const uint8_t* data, size_t length);
    // The oldest buffer, removed from the list; nothing when the list is empty.
    std::optional<std::vector<uint8_t>> PopFront();
    // Frees every held buffer.
    void Clear();
    size_t Count() const;

private:
    mutable std::recursive_mutex lock;
    std::deque<std::vector<uint8_t>> buffers;
};
