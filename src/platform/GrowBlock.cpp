#include "platform/GrowBlock.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/FaultInjection.h"
#include "platform/GrowBlockPages.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

bool OutOfMemory() {
    SetLastError(kErrorNotEnoughMemory);
    return false;
}

}  // namespace

GrowBlock::~GrowBlock() {
    Destroy();
}

GrowBlock::GrowBlock(GrowBlock&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_capacity(std::exchange(other.m_capacity, 0)),
      m_reserved(std::exchange(other.m_reserved, 0)) {}

GrowBlock& GrowBlock::operator=(GrowBlock&& other) noexcept {
    if (this != &other) {
        Destroy();
        m_data = std::exchange(other.m_data, nullptr);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_reserved = std::exchange(other.m_reserved, 0);
    }
    return *this;
}

bool GrowBlock::Create(uint64_t bytes) {
    Destroy();
    if (fault::ShouldFailAllocation()) {
        return OutOfMemory();
    }
    const uint64_t length = pages::Length(bytes);
    if (length == 0) {
        return OutOfMemory();
    }
    uint64_t reserved = 0;
    if (uint8_t* data = pages::Map(length, reserved)) {
        m_data = data;
        m_capacity = bytes;
        m_reserved = reserved;
        return true;
    }
    // The system has no pages to spare: the heap instead.
    void* heap = std::calloc(static_cast<size_t>(bytes == 0 ? 1 : bytes), 1);
    if (heap == nullptr) {
        return OutOfMemory();
    }
    m_data = static_cast<uint8_t*>(heap);
    m_capacity = bytes;
    m_reserved = 0;
    return true;
}

bool GrowBlock::Grow(uint64_t bytes) {
    if (m_data == nullptr) {
        return Create(bytes);
    }
    if (fault::ShouldFailAllocation()) {
        return OutOfMemory();
    }
    if (bytes <= m_capacity) {
        return true;
    }
    if (m_reserved != 0) {
        const uint64_t length = pages::Length(bytes);
        if (length == 0) {
            return OutOfMemory();
        }
        switch (pages::Extend(m_data, m_reserved, m_capacity, length)) {
            case pages::Extended::kDone:
                m_capacity = bytes;
                return true;
            case pages::Extended::kFailed:
                return OutOfMemory();
            case pages::Extended::kNoRoom:
                break;
        }
        // No room for a larger mapping: copy to the heap once and continue there.
        void* heap = std::malloc(static_cast<size_t>(bytes));
        if (heap == nullptr) {
            return OutOfMemory();
        }
        std::memcpy(heap, m_data, static_cast<size_t>(m_capacity));
        std::memset(static_cast<uint8_t*>(heap) + m_capacity, 0,
                    static_cast<size_t>(bytes - m_capacity));
        pages::Unmap(m_data, m_reserved);
        m_data = static_cast<uint8_t*>(heap);
        m_capacity = bytes;
        m_reserved = 0;
        return true;
    }
    if (bytes > std::numeric_limits<size_t>::max()) {
        return OutOfMemory();
    }
    void* heap = std::realloc(m_data, static_cast<size_t>(bytes));
    if (heap == nullptr) {
        return OutOfMemory();
    }
    m_data = static_cast<uint8_t*>(heap);
    std::memset(m_data + m_capacity, 0, static_cast<size_t>(bytes - m_capacity));
    m_capacity = bytes;
    return true;
}

void GrowBlock::Destroy() {
    if (m_data != nullptr) {
        if (m_reserved != 0) {
            pages::Unmap(m_data, m_reserved);
        } else {
            std::free(m_data);
        }
    }
    m_data = nullptr;
    m_capacity = 0;
    m_reserved = 0;
}

}  // namespace tessary
