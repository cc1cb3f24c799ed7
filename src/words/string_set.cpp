#include "words/string_set.h"

#include <QHashFunctions>

#include <bit>

namespace {

std::uint32_t tagOf(size_t hash) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
}

} // namespace

size_t StringSet::hashOf(QStringView key) {
    return qHash(key, 0);
}

void StringSet::clear() {
    m_slots.clear();
    m_keys.clear();
}

void StringSet::reserve(qsizetype n) {
    m_keys.reserve(n);
    // At most half of the slots are ever in use.
    const size_t wanted = std::bit_ceil(static_cast<size_t>(n) * 2 + 16);
    if (wanted > m_slots.size())
        rehash(wanted);
}

size_t StringSet::find(QStringView key, size_t hash) const {
    const size_t mask = m_slots.size() - 1;
    const std::uint32_t tag = tagOf(hash);
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = m_slots[i];
        if (s.index == 0)
            return i;
        if (s.tag == tag && m_keys.at(s.index - 1) == key)
            return i;
    }
}

bool StringSet::contains(QStringView key) const {
    if (m_slots.empty())
        return false;
    return m_slots[find(key, hashOf(key))].index != 0;
}

void StringSet::insert(const QString& key) {
    if (static_cast<size_t>(m_keys.size() + 1) * 2 > m_slots.size())
        rehash(std::max<size_t>(m_slots.size() * 2, 32));
    const size_t hash = hashOf(key);
    const size_t i = find(key, hash);
    if (m_slots[i].index != 0)
        return;
    m_keys.append(key);
    m_slots[i] = Slot{tagOf(hash), static_cast<std::uint32_t>(m_keys.size())};
}

void StringSet::rehash(size_t slotCount) {
    m_slots.assign(slotCount, Slot{});
    const size_t mask = slotCount - 1;
    for (qsizetype k = 0; k < m_keys.size(); ++k) {
        const size_t hash = hashOf(m_keys.at(k));
        size_t i = hash & mask;
        while (m_slots[i].index != 0)
            i = (i + 1) & mask;
        m_slots[i] = Slot{tagOf(hash), static_cast<std::uint32_t>(k + 1)};
    }
}
