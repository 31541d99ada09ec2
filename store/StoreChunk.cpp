#include "store/StoreChunk.h"

namespace store {

std::size_t TextChunk::memoryBytes() const
{
    return sizeof(*this) + bytes.memoryBytes() + ends.memoryBytes() + codes8.memoryBytes() +
           codes16.memoryBytes() + heads.memoryBytes() + code.memoryBytes() + readingMarks.memoryBytes() +
           pairMarks.memoryBytes() + pairMarkOf.memoryBytes() + characters.memoryBytes() +
           rawRows.capacity() * sizeof(std::uint16_t) + irregular.capacity() * sizeof(std::uint16_t);
}

std::size_t StoreChunk::memoryBytes() const
{
    std::size_t total = sizeof(*this) + rowIds.memoryBytes();
    for (const Column &c : columns)
        total += sizeof(c) + c.text.memoryBytes() + c.numbers.memoryBytes() + c.nullBits.memoryBytes();
    return total;
}

} // namespace store
