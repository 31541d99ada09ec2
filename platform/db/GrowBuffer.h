#pragma once

#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace platform::db {

// An array of plain values that grows by remapping its pages instead of
// copying them, so filling a buffer of hundreds of megabytes costs little
// more than writing it once. Shrinking gives the spare pages back.
template <typename T> class GrowBuffer
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowBuffer() = default;
    ~GrowBuffer() { release(); }
    GrowBuffer(GrowBuffer &&other) noexcept { swap(other); }
    GrowBuffer &operator=(GrowBuffer &&other) noexcept
    {
        GrowBuffer moved(std::move(other));
        swap(moved);
        return *this;
    }
    GrowBuffer(const GrowBuffer &) = delete;
    GrowBuffer &operator=(const GrowBuffer &) = delete;

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const T *data() const { return m_data; }
    T *data() { return m_data; }
    const T &operator[](std::size_t i) const { return m_data[i]; }
    T &operator[](std::size_t i) { return m_data[i]; }
    // Bytes reserved, whether used or not.
    std::size_t capacityBytes() const { return m_capacityBytes; }

    void reserve(std::size_t count)
    {
        if (count * sizeof(T) > m_capacityBytes)
            resizeStorage(count * sizeof(T));
    }
    void push_back(const T &value)
    {
        if ((m_size + 1) * sizeof(T) > m_capacityBytes)
            grow(m_size + 1);
        m_data[m_size++] = value;
    }
    void append(const T *values, std::size_t count)
    {
        if (count == 0)
            return;
        if ((m_size + count) * sizeof(T) > m_capacityBytes)
            grow(m_size + count);
        std::memcpy(m_data + m_size, values, count * sizeof(T));
        m_size += count;
    }
    void shrink_to_fit()
    {
        if (m_size == 0)
            release();
        else if (m_size * sizeof(T) < m_capacityBytes)
            resizeStorage(m_size * sizeof(T));
    }

private:
    void grow(std::size_t needed)
    {
        std::size_t bytes = m_capacityBytes < 4096 ? 4096 : m_capacityBytes + m_capacityBytes / 2;
        while (bytes < needed * sizeof(T))
            bytes += bytes / 2;
        resizeStorage(bytes);
    }
    void swap(GrowBuffer &other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacityBytes, other.m_capacityBytes);
    }
    // Maps, remaps or unmaps the storage; throws std::bad_alloc when out of memory.
    void resizeStorage(std::size_t bytes);
    void release();

    T *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacityBytes = 0;
};

namespace detail {
// Page-level storage for GrowBuffer: returns the new address or nullptr.
void *remapStorage(void *old, std::size_t oldBytes, std::size_t newBytes);
std::size_t pageRounded(std::size_t bytes);
} // namespace detail

template <typename T> void GrowBuffer<T>::resizeStorage(std::size_t bytes)
{
    bytes = detail::pageRounded(bytes);
    void *p = detail::remapStorage(m_data, m_capacityBytes, bytes);
    if (!p && bytes != 0)
        throw std::bad_alloc();
    m_data = static_cast<T *>(p);
    m_capacityBytes = bytes;
}

template <typename T> void GrowBuffer<T>::release()
{
    detail::remapStorage(m_data, m_capacityBytes, 0);
    m_data = nullptr;
    m_size = 0;
    m_capacityBytes = 0;
}

} // namespace platform::db
