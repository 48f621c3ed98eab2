// TCollection and TCollectionItem: an ordered list of owned items of one kind (grid columns,
// ...). Items show their settings as published properties of their own registered class, so
// form files can store a collection as a whole ("Columns = < item ... end >").
#pragma once

#include "kelva/framework/rtl/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <vector>

namespace kelva {

class TClassInfo;
class TCollection;

class TCollectionItem : public TPersistent {
public:
  TCollectionItem() = default;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return FCollection; }
  // The position in the collection; -1 outside one.
  std::int32_t Index() const;

private:
  friend class TCollection;
  TCollection* FCollection = nullptr; // set exactly while the collection holds the item
};

class TCollection : public TPersistent {
public:
  using TItemFactory = std::function<std::unique_ptr<TCollectionItem>()>;

  // Factory makes each new item; ItemType is the items' class, which ItemClass() reports.
  TCollection(TItemFactory Factory, std::type_index ItemType);
  // A collection of TItem, made with new TItem(): TCollection::Of<TColumn>().
  template <class TItem>
  static TCollection Of() {
    static_assert(std::is_base_of_v<TCollectionItem, TItem>, "items derive from TCollectionItem");
    return TCollection([] { return std::make_unique<TItem>(); }, typeid(TItem));
  }
  ~TCollection() override;
  // Items point back at their collection: it stays where it was made.
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  // The registered class of the items, or null when it is not registered.
  const TClassInfo* ItemClass() const;
  std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
  // Index outside 0 ... Count()-1 raises EListError.
  TCollectionItem* Items(std::int32_t Index) const;
  TCollectionItem* Add();
  void Delete(std::int32_t Index);
  void Clear();

private:
  void CheckIndex(std::int32_t Index) const;

  TItemFactory FFactory;
  std::type_index FItemType;
  std::vector<std::unique_ptr<TCollectionItem>> FItems;
};

} // namespace kelva
