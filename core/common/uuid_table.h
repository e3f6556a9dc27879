#pragma once

#include "common/uuid.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace zentrel {

// A map from identifiers to values for the many lookups of one pass over a large board: one
// array of slots, where an identifier is found by its hash and a few steps. A node-based map
// allocates every entry and divides for every lookup, which costs more than the lookups do.
template <typename T>
class UuidTable
{
public:
    // Room for `count` identifiers before the table grows.
    explicit UuidTable(std::size_t count = 0) { resize(std::bit_ceil(count * 4 / 3 + 2)); }

    // The value of `id`, added default-constructed when missing, and whether it was added.
    std::pair<T &, bool> tryEmplace(const Uuid &id)
    {
        // Kept at most three quarters full, so that a search takes a few steps.
        if ((m_size + 1) * 4 > m_slots.size() * 3) {
            resize(m_slots.size() * 2);
        }
        Slot &slot = m_slots[indexOf(id)];
        const bool added = !slot.used;
        if (added) {
            slot.used = true;
            slot.id = id;
            ++m_size;
        }
        return {slot.value, added};
    }

    // The value of `id`; none when it is missing.
    const T *find(const Uuid &id) const
    {
        const Slot &slot = m_slots[indexOf(id)];
        return slot.used ? &slot.value : nullptr;
    }

    T *find(const Uuid &id)
    {
        Slot &slot = m_slots[indexOf(id)];
        return slot.used ? &slot.value : nullptr;
    }

private:
    struct Slot
    {
        Uuid id;
        bool used = false;
        T value{};
    };

    // The slot holding `id`, or the free one where it would go. The hash is mixed once more and
    // its top bits taken, so identifiers that differ in a few bytes only still spread.
    std::size_t indexOf(const Uuid &id) const
    {
        const std::uint64_t hash = std::hash<Uuid>{}(id)*0x9E3779B97F4A7C15ULL;
        std::size_t at = static_cast<std::size_t>(hash >> m_shift);
        while (m_slots[at].used && m_slots[at].id != id) {
            at = (at + 1) & (m_slots.size() - 1);
        }
        return at;
    }

    void resize(std::size_t slots)
    {
        std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(slots));
        m_shift = 64 - std::countr_zero(slots);
        for (Slot &slot : old) {
            if (slot.used) {
                m_slots[indexOf(slot.id)] = std::move(slot);
            }
        }
    }

    std::vector<Slot> m_slots;
    int m_shift = 64;
    std::size_t m_size = 0;
};

} // namespace zentrel
