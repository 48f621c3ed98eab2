// Lookup fields: a field whose value is looked up in another dataset through key fields.
// Binding validates the lookup description and opens the lookup dataset; the value is
// computed with the calculated fields of every record.
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/Fields.h"

#include <vector>

namespace kelva {

void TField::SetLookupDataSet(TDataSet* Value) {
  if (Value == FLookupDataSet) return;
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = Value;
  // Told when the lookup dataset is destroyed, so that the pointer never dangles.
  if (Value) Value->FreeNotification(this);
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

void TField::Bind(bool Binding) {
  if (!Binding || FFieldKind != fkLookup) return;
  if (!FLookupDataSet || FKeyFields.empty() || FLookupKeyFields.empty() ||
      FLookupResultField.empty())
    DatabaseErrorFmt(SLookupInfoError, {DisplayName()});
  if (FLookupDataSet == FDataSet) DatabaseError(SCircularDataLink);
  std::vector<TField*> Found;
  FDataSet->GetFieldList(Found, FKeyFields);
  FLookupDataSet->Open();
  Found.clear();
  FLookupDataSet->GetFieldList(Found, FLookupKeyFields);
  FLookupDataSet->FieldByName(FLookupResultField);
}

void TField::CalcLookupValue() {
  // A closed lookup dataset leaves the value null, as the calculated area was cleared.
  if (!FLookupDataSet || !FLookupDataSet->Active()) return;
  SetValue(FLookupDataSet->Lookup(FLookupKeyFields, FDataSet->GetFieldValue(FKeyFields),
                                  FLookupResultField));
}

} // namespace kelva
