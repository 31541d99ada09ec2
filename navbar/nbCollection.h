#pragma once

#include "navbar/nbTypes.h"

#include <algorithm>
#include <memory>
#include <vector>

// The common part of the header and button collections: an owned, ordered list of items
// with unique names. Items are created and destroyed only through the collection. A
// change (an item added, deleted, moved or renamed) is reported through Update unless
// an update is in progress; EndUpdate then reports one change for no item.
template <typename Item> class TnbCollection : public platform::Persistent
{
public:
    TnbCollection() = default;
    TnbCollection(const TnbCollection &) = delete;
    TnbCollection &operator=(const TnbCollection &) = delete;

    int Count() const { return int(FItems.size()); }
    // The item at `index`, none outside 0..Count-1.
    Item *Items(int index) const
    {
        return index >= 0 && index < Count() ? FItems[std::size_t(index)].get() : nullptr;
    }
    int IndexOf(const Item *item) const
    {
        for (int i = 0; i < Count(); ++i)
            if (FItems[std::size_t(i)].get() == item)
                return i;
        return -1;
    }

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate()
    {
        if (FUpdateCount > 0 && --FUpdateCount == 0)
            Changed(nullptr);
    }

    // True when an item other than `except` bears `name`, compared without case.
    bool NameTaken(const QString &name, const Item *except) const
    {
        return std::any_of(FItems.begin(), FItems.end(), [&](const std::unique_ptr<Item> &it) {
            return it.get() != except && it->Name().compare(name, Qt::CaseInsensitive) == 0;
        });
    }

    // `pattern` ("nbButton%d") with the smallest number from 1 that no item bears.
    QString UniqueName(const char *pattern) const
    {
        for (int n = 1;; ++n) {
            const QString name = QString::asprintf(pattern, n);
            if (!NameTaken(name, nullptr))
                return name;
        }
    }

protected:
    // Reports a change of `item` (or of the collection as a whole when none).
    virtual void Update(Item *item) = 0;

    void Changed(Item *item)
    {
        if (FUpdateCount == 0)
            Update(item);
    }

    // Runs `change` as one update of the collection and of its bar, if any,
    // so that the whole change is reported and painted once.
    template <typename Bar, typename Change> void AsOneUpdate(Bar *bar, Change change)
    {
        if (bar)
            bar->BeginUpdate();
        BeginUpdate();
        change();
        EndUpdate();
        if (bar)
            bar->EndUpdate();
    }

    // Takes ownership of `item` and places it at `index` (clamped to the list).
    Item *InsertItem(std::unique_ptr<Item> item, int index)
    {
        index = std::clamp(index, 0, Count());
        Item *raw = item.get();
        FItems.insert(FItems.begin() + index, std::move(item));
        return raw;
    }

    // Moves the item at `from` to `to` (clamped); returns false when nothing moved.
    bool MoveItem(int from, int to)
    {
        if (from < 0 || from >= Count())
            return false;
        to = std::clamp(to, 0, Count() - 1);
        if (to == from)
            return false;
        std::unique_ptr<Item> item = std::move(FItems[std::size_t(from)]);
        FItems.erase(FItems.begin() + from);
        FItems.insert(FItems.begin() + to, std::move(item));
        return true;
    }

    // Removes the item at `index` from the list and hands it over.
    std::unique_ptr<Item> ExtractItem(int index)
    {
        std::unique_ptr<Item> item = std::move(FItems[std::size_t(index)]);
        FItems.erase(FItems.begin() + index);
        return item;
    }

    std::vector<std::unique_ptr<Item>> FItems;
    int FUpdateCount = 0;
};
