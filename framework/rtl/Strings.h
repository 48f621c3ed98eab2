// TStrings, the interface of a list of text lines that each carry an optional object pointer,
// and TStringList, its implementation: sorting, duplicates, name=value entries, change
// events, conversion to and from text with CR LF line ends, and loading/saving via streams.
#pragma once

#include "kelva/framework/rtl/Exceptions.h" // the errors these operations raise
#include "kelva/framework/rtl/Types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelva {

class TStream;

enum TDuplicates : std::uint8_t { dupIgnore, dupAccept, dupError };

// The operations every string list offers. A descendant supplies the storage (the pure
// virtual operations); the text, name=value and stream operations are written once here on
// top of them. Index arguments outside the list raise EListError.
class TStrings : public TPersistent {
public:
  virtual std::int32_t Count() const = 0;
  virtual const std::string& Strings(std::int32_t Index) const = 0;
  virtual void SetStrings(std::int32_t Index, const std::string& S) = 0;
  // The object slot is a plain reference: the list never deletes the object.
  virtual TObject* Objects(std::int32_t Index) const = 0;
  virtual void SetObjects(std::int32_t Index, TObject* AObject) = 0;

  virtual std::int32_t AddObject(const std::string& S, TObject* AObject) = 0;
  virtual void InsertObject(std::int32_t Index, const std::string& S, TObject* AObject) = 0;
  virtual void Delete(std::int32_t Index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(std::int32_t Index1, std::int32_t Index2) = 0;
  virtual void Move(std::int32_t FromIndex, std::int32_t ToIndex) = 0;

  // Nested updates: change events are held back until the outermost EndUpdate.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;

  virtual std::int32_t IndexOf(const std::string& S) const = 0;
  virtual std::int32_t IndexOfName(const std::string& Name) const = 0;
  std::int32_t IndexOfObject(const TObject* AObject) const;

  const std::string& operator[](std::int32_t Index) const { return Strings(Index); }
  std::int32_t Add(const std::string& S) { return AddObject(S, nullptr); }
  void Insert(std::int32_t Index, const std::string& S) { InsertObject(Index, S, nullptr); }

  // Every entry followed by CR LF; "" for an empty list.
  std::string Text() const;
  // Replaces the entries by the lines of Value: CR LF, a lone CR and a lone LF each end a
  // line, a final line end adds no empty line, and a NUL byte ends the text.
  void SetText(const std::string& Value);

  // Replaces the entries (strings and object pointers) by those of Source.
  void Assign(const TStrings& Source);
  void AddStrings(const TStrings& Source);

  // Name=value entries: the name is the text before the first '='.
  std::string Names(std::int32_t Index) const;
  std::string Values(const std::string& Name) const;
  void SetValues(const std::string& Name, const std::string& Value);
  std::string ValueFromIndex(std::int32_t Index) const;

  // Loading reads from the stream's position to its end; saving writes Text().
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream) const;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName) const;

protected:
  TStrings() = default;
  TStrings(const TStrings&) = default;
  TStrings& operator=(const TStrings&) = default;
};

// The string list. Entries live in one vector; a sorted list keeps them in the order of its
// comparison (see CompareStrings) so that Find can search by bisection.
class TStringList : public TStrings {
public:
  TStringList() = default;
  // Copies entries and settings; event handlers stay with the original.
  TStringList(const TStringList& Other);
  TStringList& operator=(const TStringList& Other);

  std::int32_t Count() const override { return static_cast<std::int32_t>(FItems.size()); }
  const std::string& Strings(std::int32_t Index) const override;
  void SetStrings(std::int32_t Index, const std::string& S) override;
  TObject* Objects(std::int32_t Index) const override;
  void SetObjects(std::int32_t Index, TObject* AObject) override;

  std::int32_t AddObject(const std::string& S, TObject* AObject) override;
  void InsertObject(std::int32_t Index, const std::string& S, TObject* AObject) override;
  void Delete(std::int32_t Index) override;
  void Clear() override;
  void Exchange(std::int32_t Index1, std::int32_t Index2) override;
  void Move(std::int32_t FromIndex, std::int32_t ToIndex) override;

  void BeginUpdate() override;
  void EndUpdate() override;

  std::int32_t IndexOf(const std::string& S) const override;
  std::int32_t IndexOfName(const std::string& Name) const override;

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);

  void Sort();
  // Bisection for S: true when an equal entry exists; Index is then the first equal entry,
  // otherwise the position where S would be inserted. Meaningful on a sorted list only.
  bool Find(const std::string& S, std::int32_t& Index) const;

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  // Fired around every modification unless an update is in progress.
  virtual void Changing();
  virtual void Changed();

private:
  struct Item {
    std::string String;
    TObject* Object = nullptr;
  };

  // Ordering: AnsiCompareStr when case-sensitive, AnsiCompareText otherwise.
  int CompareStrings(const std::string& A, const std::string& B) const;
  // Equality: byte equality when case-sensitive, AnsiSameText otherwise.
  bool SameStrings(const std::string& A, const std::string& B) const;
  void CheckIndex(std::int32_t Index) const;
  void CheckNotSorted() const;
  void InsertItem(std::int32_t Index, const std::string& S, TObject* AObject);
  void SortItems();

  std::vector<Item> FItems;
  std::int32_t FUpdateCount = 0;
  bool FSorted = false;
  bool FCaseSensitive = false;
  TDuplicates FDuplicates = dupIgnore;
};

} // namespace kelva
