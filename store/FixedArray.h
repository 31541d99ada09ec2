#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

namespace store {

// An array of plain values whose size is fixed when it is made: what a
// finished chunk of a column store holds. Unlike a vector it neither
// zero-fills what is copied in nor keeps spare room.
template <typename T> class FixedArray
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    FixedArray() = default;
    explicit FixedArray(std::size_t size) : m_data(std::make_unique_for_overwrite<T[]>(size)), m_size(size) {}
    FixedArray(const T *values, std::size_t size) : FixedArray(size)
    {
        if (size)
            std::memcpy(m_data.get(), values, size * sizeof(T));
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const T *data() const { return m_data.get(); }
    T *data() { return m_data.get(); }
    const T &operator[](std::size_t i) const { return m_data[i]; }
    T &operator[](std::size_t i) { return m_data[i]; }
    std::size_t memoryBytes() const { return m_size * sizeof(T); }

private:
    std::unique_ptr<T[]> m_data;
    std::size_t m_size = 0;
};

} // namespace store
