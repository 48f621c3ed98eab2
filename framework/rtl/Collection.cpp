// TCollection: owned items made by a factory, with back links kept exact on every change.
#include "kelva/framework/rtl/Collection.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

namespace kelva {

std::int32_t TCollectionItem::Index() const {
  if (!FCollection) return -1;
  for (std::int32_t I = 0; I < FCollection->Count(); ++I)
    if (FCollection->Items(I) == this) return I;
  return -1;
}

TCollection::TCollection(TItemFactory Factory, std::type_index ItemType)
    : FFactory(std::move(Factory)), FItemType(ItemType) {}

TCollection::~TCollection() {
  Clear();
}

const TClassInfo* TCollection::ItemClass() const {
  return ClassInfoOf(FItemType);
}

void TCollection::CheckIndex(std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
}

TCollectionItem* TCollection::Items(std::int32_t Index) const {
  CheckIndex(Index);
  return FItems[static_cast<std::size_t>(Index)].get();
}

TCollectionItem* TCollection::Add() {
  std::unique_ptr<TCollectionItem> Item = FFactory ? FFactory() : nullptr;
  if (!Item) throw EInvalidOperation("The collection's item factory made no item");
  Item->FCollection = this;
  FItems.push_back(std::move(Item));
  return FItems.back().get();
}

void TCollection::Delete(std::int32_t Index) {
  CheckIndex(Index);
  // Out of the list first, so that the item's destructor never sees itself listed.
  std::unique_ptr<TCollectionItem> Item = std::move(FItems[static_cast<std::size_t>(Index)]);
  FItems.erase(FItems.begin() + Index);
  Item->FCollection = nullptr;
}

void TCollection::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

} // namespace kelva
