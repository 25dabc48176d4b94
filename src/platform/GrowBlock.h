#pragma once
// One private block per table (HeapCreate .. HeapDestroy). Address space for the initial size is
// reserved up front and pages are committed as they are touched, so sizing a table from the
// file's data size costs nothing until it is used; growth extends the mapping (rarely a copy).
// Where reserving fails it falls back to allocate-and-grow. Contents are zero-filled.
#include <cstdint>

namespace tessary {

class GrowBlock {
public:
    GrowBlock() = default;
    ~GrowBlock();
    GrowBlock(const GrowBlock&) = delete;
    GrowBlock& operator=(const GrowBlock&) = delete;
    GrowBlock(GrowBlock&& other) noexcept;
    GrowBlock& operator=(GrowBlock&& other) noexcept;

    // Capacity `bytes` (the caller rounds to the granule), zero-filled. False with
    // kErrorNotEnoughMemory, the block then absent.
    bool Create(uint64_t bytes);
    // Enlarges to `bytes`, keeping the contents; the new part is zero. False with
    // kErrorNotEnoughMemory, the block unchanged.
    bool Grow(uint64_t bytes);
    // Frees everything at once.
    void Destroy();

    bool IsValid() const { return m_data != nullptr; }
    uint8_t* Data() const { return m_data; }
    uint64_t Capacity() const { return m_capacity; }

private:
    uint8_t* m_data = nullptr;
    uint64_t m_capacity = 0;
    uint64_t m_reserved = 0;  // bytes of address space mapped (0: heap fallback)
};

}  // namespace tessary
