// TFields: a dataset's ordered, non-owning list of fields. Name lookups compare against
// each field's cached upper-case name, without allocating for ASCII names, because
// FieldByName is called per record in scanning loops.
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/FieldText.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>

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

TField* TFields::FindOther(const std::string& Name, const TField* Except) const {
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

void TFields::Remove(TField* Field) {
  const auto It = std::find(FList.begin(), FList.end(), Field);
  if (It != FList.end()) FList.erase(It);
}

} // namespace kelva
