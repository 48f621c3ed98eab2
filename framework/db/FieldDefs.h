// TFieldDef and TFieldDefs: the descriptions of a dataset's physical fields (name, type,
// size, number), from which the dataset creates its default fields.
#pragma once

#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/NameMap.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

class TComponent;
class TDataSet;
class TFieldDefs;

class TFieldDef {
public:
  TFieldDef(TFieldDefs* Owner, const std::string& Name, TFieldType DataType, std::int32_t Size,
            bool Required, std::int32_t FieldNo);

  TFieldDefs* Collection() const { return FOwner; }
  const std::string& Name() const { return FName; }
  TFieldType DataType() const { return FDataType; }
  std::int32_t Size() const { return FSize; }
  bool Required() const { return FRequired; }
  std::int32_t FieldNo() const { return FFieldNo; }
  std::int32_t Precision() const { return FPrecision; }
  void SetPrecision(std::int32_t Value) { FPrecision = Value; }
  bool InternalCalcField() const { return FInternalCalcField; }
  void SetInternalCalcField(bool Value) { FInternalCalcField = Value; }

  // Creates the field class of DataType() with that owner, described by this definition,
  // and attaches it to the definitions' dataset. Raises SUnknownFieldType for a type
  // without a field class, SInvalidFieldSize for a size the class refuses.
  TField* CreateField(TComponent* Owner);

private:
  TFieldDefs* FOwner;
  std::string FName;
  TFieldType FDataType;
  std::int32_t FSize;
  bool FRequired;
  std::int32_t FFieldNo;
  std::int32_t FPrecision = 0;
  bool FInternalCalcField = false;
};

class TFieldDefs {
public:
  explicit TFieldDefs(TDataSet* DataSet);
  TFieldDefs(const TFieldDefs&) = delete;
  TFieldDefs& operator=(const TFieldDefs&) = delete;

  TDataSet* DataSet() const { return FDataSet; }
  // Appends a definition with exactly these values, unchecked.
  TFieldDef* CreateDef(const std::string& Name, TFieldType DataType, std::int32_t Size,
                       bool Required, std::int32_t FieldNo);
  // Appends a definition numbered Count() + 1; the name must be new and not empty.
  TFieldDef* Add(const std::string& Name, TFieldType DataType, std::int32_t Size = 0,
                 bool Required = false);
  void Clear() {
    FItems.clear();
    FFirstByName.clear();
  }
  std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
  std::int32_t GetCount() const { return Count(); }
  // Raise EListError SListIndexError outside 0 ... Count()-1.
  TFieldDef* Items(std::int32_t Index) const;
  TFieldDef* operator[](std::int32_t Index) const { return Items(Index); }
  // The first definition named Name (case-insensitive), or -1.
  std::int32_t IndexOf(const std::string& Name) const;
  // The definition named Name, or EDatabaseError SFieldNotFound.
  TFieldDef* Find(const std::string& Name) const;
  // Asks the dataset to rebuild the definitions.
  void Update();

private:
  TDataSet* FDataSet;
  std::vector<std::unique_ptr<TFieldDef>> FItems;
  // Upper-case name -> index of the first definition with that name (CreateDef allows
  // more than one).
  TNameMap<std::int32_t> FFirstByName;
};

} // namespace kelva
