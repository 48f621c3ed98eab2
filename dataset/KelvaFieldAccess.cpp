// Field values: which record buffer a field reads and writes in each dataset state, the
// conversion between slot text and the framework's value buffers, the calculated-field
// area, and the two BCD conversions the framework's BCD field asks for.
#include "kelva/dataset/KelvaDataset.h"

#include "kelva/dataset/SlotText.h"

#include <cstring>

namespace kelva {

const char* TKelvaDataset::GetActiveRecBuf() {
  switch (State()) {
  case dsBrowse:
    return IsEmpty() ? nullptr : ActiveBuffer();
  case dsEdit:
  case dsInsert:
  case dsNewValue:
    return ActiveBuffer();
  case dsCalcFields:
    return CalcBuffer();
  case dsFilter:
    return FFilterBuffer;
  case dsOldValue:
    return GetOldRecord();
  default:
    return nullptr;
  }
}

const char* TKelvaDataset::GetOldRecord() {
  // The committed version of the record in the active buffer (during an edit that is the
  // edited record). A pending insertion has none, and neither has a record being inserted:
  // its buffer is not flagged current (it may carry the bookmark of the record it goes
  // before, which must not lend it that record's old values).
  if (!FCommittedBuf || !ActiveBuffer() || GetBookmarkFlag(ActiveBuffer()) != bfCurrent)
    return nullptr;
  // Reading a record's original values asks once per field: the answer is kept while the
  // committed list stays as it was (its stamp and version) and the record is the same.
  const std::int32_t RecId = BufferRecId(ActiveBuffer());
  TOldRecordCache& Cache = FOldRecordCache;
  if (Cache.Stamp != FCommittedBuf->Stamp() || Cache.Version != FCommittedBuf->Version() ||
      Cache.RecId != RecId) {
    const std::int32_t Index = FCommittedBuf->IndexOfId(RecId);
    Cache = {FCommittedBuf->Stamp(), FCommittedBuf->Version(), RecId,
             Index < 0 ? nullptr : FCommittedBuf->Image(Index)};
  }
  return Cache.Image;
}

bool TKelvaDataset::RecBufToValBuf(std::int32_t FieldNo, TFieldType DataType, const char* RecBuf,
                                   void* ValBuf) {
  const TKlvFieldInfo& Info = FFieldInfo.at(static_cast<std::size_t>(FieldNo - 1));
  return SlotToValue(RecBuf + Info.Offset - 1, Info.Width, DataType, ValBuf);
}

void TKelvaDataset::ValBufToRecBuf(std::int32_t FieldNo, TFieldType DataType, char* RecBuf,
                                   const void* ValBuf) {
  const TKlvFieldInfo& Info = FFieldInfo.at(static_cast<std::size_t>(FieldNo - 1));
  char* Slot = RecBuf + Info.Offset - 1;
  try {
    ValueToSlot(Slot, Info.Width, DataType, ValBuf);
  } catch (const Exception&) {
    std::memset(Slot, ' ', Info.Width);
    Abort();
  }
}

bool TKelvaDataset::GetFieldData(TField* Field, void* Buffer) {
  const char* RecBuf = GetActiveRecBuf();
  if (!RecBuf) return false;
  if (Field->FieldKind() == fkData || Field->FieldKind() == fkInternalCalc)
    return RecBufToValBuf(Field->FieldNo(), Field->DataType(), RecBuf, Buffer);
  // Calculated and lookup values live in the calculated-field area, after a presence byte.
  const TDataSetState S = State();
  if (S != dsBrowse && S != dsEdit && S != dsInsert && S != dsCalcFields) return false;
  const char* Area = RecBuf + FDataSize + Field->Offset();
  if (Area[0] == 0) return false;
  if (Buffer) std::memcpy(Buffer, Area + 1, static_cast<std::size_t>(Field->DataSize()));
  return true;
}

void TKelvaDataset::CheckStorable(TField* Field, const void* Buffer) const {
  if (!Buffer) return;
  // A value whose slot text does not read back would make the record unreadable, and a
  // file saved with it would not load.
  if (!ValueStorable(Field->DataType(), Buffer))
    DatabaseErrorFmt(SFieldValueError, {Field->DisplayName()});
  if (Field->DataType() != ftString) return;
  const auto* Text = static_cast<const char*>(Buffer);
  const std::size_t Length = strnlen(Text, static_cast<std::size_t>(Field->Size()));
  if (std::memchr(Text, '\r', Length) || std::memchr(Text, '\n', Length))
    DatabaseErrorFmt(SKlvLineBreakInValue, {Field->DisplayName()});
}

const char* TKelvaDataset::WritableFilterBuffer() {
  // A filter handler sees stored images themselves; a write from inside it goes to a
  // private copy so that no stored record changes behind the store's back.
  if (FFilterBuffer && !FFilterBufferWritable && FFilterBuffer != FFilterScratch.data()) {
    FFilterScratch.assign(static_cast<std::size_t>(FBufferSize), '\0');
    std::memcpy(FFilterScratch.data(), FFilterBuffer, static_cast<std::size_t>(FDataSize));
    FFilterBuffer = FFilterScratch.data();
  }
  return FFilterBuffer;
}

void TKelvaDataset::SetFieldData(TField* Field, const void* Buffer) {
  const TDataSetState S = State();
  if (S != dsEdit && S != dsInsert && S != dsSetKey && S != dsCalcFields && S != dsFilter &&
      S != dsNewValue)
    DatabaseError(SNotEditing);
  const char* Target = S == dsFilter ? WritableFilterBuffer() : GetActiveRecBuf();
  // dsSetKey has no record buffer here: there is nowhere to write, so it is refused.
  if (!Target) DatabaseError(SNotEditing);
  char* RecBuf = const_cast<char*>(Target); // every buffer above is one the dataset owns
  if (Field->FieldKind() == fkData || Field->FieldKind() == fkInternalCalc) {
    CheckStorable(Field, Buffer);
    Field->Validate(Buffer);
    ValBufToRecBuf(Field->FieldNo(), Field->DataType(), RecBuf, Buffer);
  } else {
    char* Area = RecBuf + FDataSize + Field->Offset();
    Area[0] = Buffer ? 1 : 0;
    if (Buffer) std::memcpy(Area + 1, Buffer, static_cast<std::size_t>(Field->DataSize()));
  }
  if (S != dsCalcFields && S != dsFilter && S != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

bool TKelvaDataset::BCDToCurr(const void* BCD, Currency& Curr) {
  const auto* Text = static_cast<const char*>(BCD);
  const std::size_t Length = strnlen(Text, BCDBufferSize);
  std::size_t First = 0, Last = Length;
  while (First < Last && Text[First] == ' ') ++First;
  while (Last > First && Text[Last - 1] == ' ') --Last;
  return SlotTextToCurr(Text + First, Last - First, Curr);
}

bool TKelvaDataset::CurrToBCD(const Currency& Curr, void* BCD, std::int32_t, std::int32_t) {
  char Text[CurrToStrBufSize];
  const std::size_t Length = CurrToSlotText(Curr, Text);
  auto* Out = static_cast<char*>(BCD);
  std::memset(Out, ' ', BCDBufferSize);
  std::memcpy(Out, Text, Length);
  Out[Length] = '\0';
  return true;
}

} // namespace kelva
