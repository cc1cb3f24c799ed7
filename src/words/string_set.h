#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

// A set of strings for lookups among millions of library entries: open
// addressing over small slots that keep 32 bits of each key's hash, so a probe
// reads a string only when the hashes agree. Keys are only ever added.
class StringSet {
public:
    void clear();
    void reserve(qsizetype n);
    qsizetype size() const { return m_keys.size(); }
    bool contains(QStringView key) const;
    // Adds `key` unless it is there already.
    void insert(const QString& key);

private:
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t index = 0; // into m_keys, plus one; 0 marks an empty slot
    };
    static size_t hashOf(QStringView key);
    // The slot holding `key`, or the empty slot where it would go.
    size_t find(QStringView key, size_t hash) const;
    void rehash(size_t slotCount);

    std::vector<Slot> m_slots;
    QList<QString> m_keys;
};
