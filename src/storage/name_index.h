#pragma once

#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <vector>

// An open-addressing hash index from case-insensitive names to item numbers.
// Items are numbered by the owner, which tells the index each item's name
// through `nameOf(item)`; the first item of a name wins.
class NameIndex {
public:
    // Names equal when their case-folded code points are equal.
    static bool equal(QStringView a, QStringView b);
    static std::uint64_t hash(QStringView s);

    void clear() {
        m_slots.clear();
        m_count = 0;
    }

    template <typename NameOf> int find(QStringView name, NameOf nameOf) const {
        if (m_slots.empty())
            return -1;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = static_cast<size_t>(hash(name)) & mask;; i = (i + 1) & mask) {
            const int item = m_slots[i];
            if (item < 0)
                return -1;
            if (equal(nameOf(item), name))
                return item;
        }
    }

    // Adds `item` unless an earlier item has the same name.
    template <typename NameOf> void insert(int item, NameOf nameOf) {
        if ((m_count + 1) * 2 > m_slots.size())
            grow(nameOf);
        const QStringView name = nameOf(item);
        const size_t mask = m_slots.size() - 1;
        for (size_t i = static_cast<size_t>(hash(name)) & mask;; i = (i + 1) & mask) {
            const int other = m_slots[i];
            if (other < 0) {
                m_slots[i] = item;
                ++m_count;
                return;
            }
            if (equal(nameOf(other), name))
                return;
        }
    }

private:
    template <typename NameOf> void grow(NameOf nameOf) {
        std::vector<int> old;
        old.swap(m_slots);
        m_slots.assign(old.empty() ? 16 : old.size() * 2, -1);
        const size_t mask = m_slots.size() - 1;
        for (const int item : old) {
            if (item < 0)
                continue;
            size_t i = static_cast<size_t>(hash(nameOf(item))) & mask;
            while (m_slots[i] >= 0)
                i = (i + 1) & mask;
            m_slots[i] = item;
        }
    }

    std::vector<int> m_slots; // -1 for a free slot; the size is a power of two
    size_t m_count = 0;
};
