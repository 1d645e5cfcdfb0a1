#include "DatagramQueue.h"

DatagramQueue::~DatagramQueue()
{
    Clear();
}

void DatagramQueue::Push(const uint8_t* data, size_t length)
{
    std::vector<uint8_t> buffer(data, data + length);
    std::lock_guard<std::recursive_mutex> guard(lock);
    buffers.push_back(std::move(buffer));
}

std::optional<std::vector<uint8_t>> DatagramQueue::PopFront()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    if (buffers.empty()) {
        return std::nullopt;
    }
    std::vector<uint8_t> front = std::move(buffers.front());
    buffers.pop_front();
    return front;
}

void DatagramQueue::Clear()
{
    std::deque<std::vector<uint8_t>> dropped;
    std::lock_guard<std::recursive_mutex> guard(lock);
    dropped.swap(buffers);
}

size_t DatagramQueue::Count() const
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    return buffers.size();
}
