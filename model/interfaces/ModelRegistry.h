#pragma once

#include <QtGlobal>
#include <algorithm>
#include <array>

namespace Model::Interfaces {

// A fixed-capacity list of model items (values or actions) in registration order, without
// duplicates, found by identifier; it owns none of them. The identifier is read once, when an
// item enters, and kept beside the pointer, so that neither a lookup nor a removal ever calls
// into an item (an item leaves from its destructor). Like the model's contents it is used on
// the GUI thread only (see ModelIPCValue.h) and takes no lock.
template<typename Item, int Capacity> class ModelRegistry
{
public:
    // Appends the item unless it is null, already in the list or the list is full; nothing is
    // reported in those cases.
    void add(Item *item)
    {
        if (item == nullptr || m_count == Capacity || indexOf(item) >= 0)
            return;
        m_entries[m_count++] = {item->getId(), item};
    }

    // Removes the item if present, keeping the order of the others.
    void remove(const Item *item)
    {
        const int index = indexOf(item);
        if (index < 0)
            return;
        std::copy(m_entries.begin() + index + 1, m_entries.begin() + m_count,
                  m_entries.begin() + index);
        m_entries[--m_count] = {};
    }

    // The first item with the identifier, or null.
    Item *find(quint16 id) const
    {
        const auto end = m_entries.begin() + m_count;
        const auto found = std::find_if(m_entries.begin(), end,
                                        [id](const Entry &entry) { return entry.id == id; });
        return found == end ? nullptr : found->item;
    }

    int count() const { return m_count; }

    Item *at(int index) const
    {
        return index >= 0 && index < m_count ? m_entries[index].item : nullptr;
    }

private:
    int indexOf(const Item *item) const
    {
        for (int index = 0; index < m_count; ++index) {
            if (m_entries[index].item == item)
                return index;
        }
        return -1;
    }

    struct Entry
    {
        quint16 id;
        Item *item;
    };
    std::array<Entry, Capacity> m_entries {};
    int m_count = 0;
};

} // namespace Model::Interfaces
