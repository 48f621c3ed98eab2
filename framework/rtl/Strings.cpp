// The string list: storage and sorting in TStringList, and the text, name=value and stream
// operations that TStrings builds on top of any list's storage.
#include "kelva/framework/rtl/Strings.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/Streams.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TryFinally.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kelva {

namespace {

[[noreturn]] void ListIndexError(std::int32_t Index) {
  throw EListError(Format(SListIndexError, {Index}));
}

// Runs Body between BeginUpdate and EndUpdate; the update also ends when Body throws, so
// that a failed operation does not leave the list silenced for good.
template <class Body>
void InsideUpdate(TStrings& List, Body&& Run) {
  List.BeginUpdate();
  TryFinally(std::forward<Body>(Run), [&] { List.EndUpdate(); });
}

// The position of the first '=' of an entry, or npos when the entry has no name.
std::size_t NameEnd(const std::string& Entry) {
  return Entry.find('=');
}

} // namespace

// ---- TStrings ------------------------------------------------------------------------------

std::int32_t TStrings::IndexOfObject(const TObject* AObject) const {
  for (std::int32_t I = 0, N = Count(); I < N; ++I)
    if (Objects(I) == AObject) return I;
  return -1;
}

std::string TStrings::Text() const {
  std::size_t Length = 0;
  for (std::int32_t I = 0, N = Count(); I < N; ++I) Length += Strings(I).size() + 2;
  std::string Result;
  Result.reserve(Length);
  for (std::int32_t I = 0, N = Count(); I < N; ++I) {
    Result += Strings(I);
    Result += "\r\n";
  }
  return Result;
}

void TStrings::SetText(const std::string& Value) {
  InsideUpdate(*this, [&] {
    Clear();
    // A NUL byte ends the text: anything after it is ignored.
    const std::size_t End = std::min(Value.size(), Value.find('\0'));
    std::size_t Pos = 0;
    while (Pos < End) {
      std::size_t LineEnd = Pos;
      while (LineEnd < End && Value[LineEnd] != '\r' && Value[LineEnd] != '\n') ++LineEnd;
      Add(Value.substr(Pos, LineEnd - Pos));
      Pos = LineEnd;
      if (Pos < End && Value[Pos] == '\r') ++Pos;
      if (Pos < End && Value[Pos] == '\n') ++Pos;
    }
  });
}

void TStrings::Assign(const TStrings& Source) {
  if (&Source == this) return; // clearing first would lose the entries to copy
  InsideUpdate(*this, [&] {
    Clear();
    AddStrings(Source);
  });
}

void TStrings::AddStrings(const TStrings& Source) {
  // The count is taken once so that adding a list to itself doubles it instead of looping.
  const std::int32_t N = Source.Count();
  InsideUpdate(*this, [&] {
    for (std::int32_t I = 0; I < N; ++I) AddObject(Source.Strings(I), Source.Objects(I));
  });
}

std::string TStrings::Names(std::int32_t Index) const {
  const std::string& Entry = Strings(Index);
  const std::size_t Eq = NameEnd(Entry);
  return Eq == std::string::npos ? std::string() : Entry.substr(0, Eq);
}

std::string TStrings::Values(const std::string& Name) const {
  const std::int32_t Index = IndexOfName(Name);
  return Index < 0 ? std::string() : ValueFromIndex(Index);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
  const std::int32_t Index = IndexOfName(Name);
  if (Index >= 0) {
    if (Value.empty())
      Delete(Index);
    else
      SetStrings(Index, Name + '=' + Value);
  } else if (!Value.empty()) {
    Add(Name + '=' + Value);
  }
}

std::string TStrings::ValueFromIndex(std::int32_t Index) const {
  const std::string& Entry = Strings(Index);
  const std::size_t Eq = NameEnd(Entry);
  return Eq == std::string::npos ? std::string() : Entry.substr(Eq + 1);
}

void TStrings::LoadFromStream(TStream& Stream) {
  const std::int64_t Remaining = Stream.Size() - Stream.Position();
  std::string Bytes(static_cast<std::size_t>(std::max<std::int64_t>(Remaining, 0)), '\0');
  Stream.ReadBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
  SetText(Bytes);
}

void TStrings::SaveToStream(TStream& Stream) const {
  Stream.WriteBuffer(Text());
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead);
  LoadFromStream(Stream);
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream);
}

// ---- TStringList ---------------------------------------------------------------------------

TStringList::TStringList(const TStringList& Other)
    : TStrings(Other), FItems(Other.FItems), FSorted(Other.FSorted),
      FCaseSensitive(Other.FCaseSensitive), FDuplicates(Other.FDuplicates) {}

TStringList& TStringList::operator=(const TStringList& Other) {
  if (&Other == this) return *this;
  Changing();
  FItems = Other.FItems;
  FSorted = Other.FSorted;
  FCaseSensitive = Other.FCaseSensitive;
  FDuplicates = Other.FDuplicates;
  Changed();
  return *this;
}

void TStringList::Changing() {
  if (FUpdateCount == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TStringList::BeginUpdate() {
  if (FUpdateCount == 0) Changing();
  ++FUpdateCount;
}

void TStringList::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) Changed();
}

void TStringList::CheckIndex(std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
}

// Operations that place an entry at a chosen position would break the order that Find
// relies on, so a sorted list refuses them.
void TStringList::CheckNotSorted() const {
  if (FSorted) throw EListError(SSortedListError);
}

const std::string& TStringList::Strings(std::int32_t Index) const {
  CheckIndex(Index);
  return FItems[static_cast<std::size_t>(Index)].String;
}

void TStringList::SetStrings(std::int32_t Index, const std::string& S) {
  CheckIndex(Index);
  CheckNotSorted();
  Changing();
  FItems[static_cast<std::size_t>(Index)].String = S;
  Changed();
}

TObject* TStringList::Objects(std::int32_t Index) const {
  CheckIndex(Index);
  return FItems[static_cast<std::size_t>(Index)].Object;
}

void TStringList::SetObjects(std::int32_t Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FItems[static_cast<std::size_t>(Index)].Object = AObject;
  Changed();
}

std::int32_t TStringList::AddObject(const std::string& S, TObject* AObject) {
  std::int32_t Index = Count();
  if (FSorted && Find(S, Index)) {
    if (FDuplicates == dupIgnore) return Index;
    if (FDuplicates == dupError) throw EListError(SDuplicateString);
  }
  InsertItem(Index, S, AObject);
  return Index;
}

void TStringList::InsertObject(std::int32_t Index, const std::string& S, TObject* AObject) {
  CheckNotSorted();
  if (Index < 0 || Index > Count()) ListIndexError(Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(std::int32_t Index, const std::string& S, TObject* AObject) {
  Changing();
  // The entry is built before the insertion: S may refer to an entry of this very list.
  FItems.insert(FItems.begin() + Index, Item{S, AObject});
  Changed();
}

void TStringList::Delete(std::int32_t Index) {
  CheckIndex(Index);
  Changing();
  FItems.erase(FItems.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  InsideUpdate(*this, [&] { FItems.clear(); });
}

void TStringList::Exchange(std::int32_t Index1, std::int32_t Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  CheckNotSorted();
  Changing();
  std::swap(FItems[static_cast<std::size_t>(Index1)], FItems[static_cast<std::size_t>(Index2)]);
  Changed();
}

void TStringList::Move(std::int32_t FromIndex, std::int32_t ToIndex) {
  CheckIndex(FromIndex);
  CheckIndex(ToIndex);
  CheckNotSorted();
  if (FromIndex == ToIndex) return;
  Changing();
  const auto From = FItems.begin() + FromIndex;
  const auto To = FItems.begin() + ToIndex;
  if (FromIndex < ToIndex)
    std::rotate(From, From + 1, To + 1);
  else
    std::rotate(To, From, From + 1);
  Changed();
}

int TStringList::CompareStrings(const std::string& A, const std::string& B) const {
  return FCaseSensitive ? AnsiCompareStr(A, B) : AnsiCompareText(A, B);
}

bool TStringList::SameStrings(const std::string& A, const std::string& B) const {
  return FCaseSensitive ? A == B : AnsiSameText(A, B);
}

std::int32_t TStringList::IndexOf(const std::string& S) const {
  if (FSorted) {
    std::int32_t Index = 0;
    return Find(S, Index) ? Index : -1;
  }
  for (std::int32_t I = 0, N = Count(); I < N; ++I)
    if (SameStrings(FItems[static_cast<std::size_t>(I)].String, S)) return I;
  return -1;
}

std::int32_t TStringList::IndexOfName(const std::string& Name) const {
  for (std::int32_t I = 0, N = Count(); I < N; ++I) {
    const std::string& Entry = FItems[static_cast<std::size_t>(I)].String;
    const std::size_t Eq = NameEnd(Entry);
    if (Eq != std::string::npos && SameStrings(Entry.substr(0, Eq), Name)) return I;
  }
  return -1;
}

bool TStringList::Find(const std::string& S, std::int32_t& Index) const {
  // Lower bound: the first entry that does not order before S.
  std::int32_t Low = 0;
  std::int32_t High = Count();
  while (Low < High) {
    const std::int32_t Mid = Low + (High - Low) / 2;
    if (CompareStrings(FItems[static_cast<std::size_t>(Mid)].String, S) < 0)
      Low = Mid + 1;
    else
      High = Mid;
  }
  Index = Low;
  return Low < Count() && SameStrings(FItems[static_cast<std::size_t>(Low)].String, S);
}

void TStringList::SortItems() {
  // Stable, so that equal entries keep their relative order and sorting twice changes nothing.
  std::stable_sort(FItems.begin(), FItems.end(), [this](const Item& A, const Item& B) {
    return CompareStrings(A.String, B.String) < 0;
  });
}

void TStringList::Sort() {
  Changing();
  SortItems();
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  // The order of a sorted list depends on the comparison: restore it for the new one.
  if (FSorted) Sort();
}

} // namespace kelva
