#include "CDataQueue.h"

CDataQueue::~CDataQueue()
{
    Clear();
}

void CDataQueue::Push(const uint8_t* data, size_t length)
{
    std::vector<uint8_t> buffer(data, data + length);
    std::lock_guard<std::recursive_mutex> guard(lock);
    buffers.push_back(std::move(buffer));
}

std::optional<std::vector<uint8_t>> CDataQueue::PopFront()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    if (buffers.empty()) {
        return std::nullopt;
    }
    std::vector<uint8_t> front = std::move(buffers.front());
    buffers.pop_front();
    return front;
}

void CDataQueue::Clear()
{
    std::deque<std::vector<uint8_t>> dropped;
    std::lock_guard<std::recursive_mutex> guard(lock);
    dropped.swap(buffers);
}

size_t CDataQueue::Count() const
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    return buffers.size();
}
