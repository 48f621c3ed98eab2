// TFields: a dataset's ordered, non-owning list of fields. Name lookups compare against
// each field's cached upper-case name, without allocating for ASCII names, because
// FieldByName is called per record in scanning loops; past a few fields they go through a
// hash map of those names, so that a dataset of thousands of fields opens in linear time.
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/FieldText.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace kelva {

TField* TFields::operator[](std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FList[static_cast<std::size_t>(Index)];
}

std::int32_t TFields::IndexOf(const TField* Field) const {
  const auto It = std::find(FList.begin(), FList.end(), Field);
  return It == FList.end() ? -1 : static_cast<std::int32_t>(It - FList.begin());
}

TField* TFields::FindField(const std::string& Name) const {
  return FindOther(Name, nullptr);
}

namespace {
// Up to this many fields a scan is as quick as hashing the name.
constexpr std::size_t ScannedFieldCount = 8;
} // namespace

// The map compares ignoring the case of ASCII letters, so an ASCII name is looked up as it
// is, and any other by its upper-case form, as the upper-case names are stored.
TField* TFields::FindOther(const std::string& Name, const TField* Except) const {
  if (FList.size() > ScannedFieldCount) {
    const auto It = IsAsciiText(Name) ? FByName.find(std::string_view(Name))
                                      : FByName.find(std::string_view(AnsiUpperCase(Name)));
    return It == FByName.end() || It->second == Except ? nullptr : It->second;
  }
  if (IsAsciiText(Name)) {
    for (TField* Field : FList)
      if (Field != Except && AsciiEqualsUpper(Field->FUpperName, Name)) return Field;
    return nullptr;
  }
  const std::string Upper = AnsiUpperCase(Name);
  for (TField* Field : FList)
    if (Field != Except && Field->FUpperName == Upper) return Field;
  return nullptr;
}

TField* TFields::FieldByName(const std::string& Name) const {
  TField* Field = FindField(Name);
  if (!Field) DatabaseErrorFmt(SFieldNotFound, {Name});
  return Field;
}

TField* TFields::FieldByNumber(std::int32_t FieldNo) const {
  for (TField* Field : FList)
    if (Field->FieldNo() == FieldNo) return Field;
  return nullptr;
}

void TFields::Add(TField* Field) {
  FList.push_back(Field);
  try {
    FByName.emplace(Field->FUpperName, Field);
  } catch (...) {
    FList.pop_back();
    throw;
  }
}

void TFields::Remove(TField* Field) {
  // Fields mostly go last first.
  const auto It = std::find(FList.rbegin(), FList.rend(), Field);
  if (It == FList.rend()) return;
  FList.erase(std::next(It).base());
  const auto Named = FByName.find(std::string_view(Field->FUpperName));
  if (Named != FByName.end() && Named->second == Field) FByName.erase(Named);
}

void TFields::Renamed(TField* Field, const std::string& OldUpper, const std::string& NewUpper) {
  if (TNameEqual()(OldUpper, NewUpper)) return;
  FByName.emplace(NewUpper, Field);
  const auto Old = FByName.find(std::string_view(OldUpper));
  if (Old != FByName.end() && Old->second == Field) FByName.erase(Old);
}

} // namespace kelva
