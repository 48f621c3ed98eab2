// TField and its nine value classes, and TFields, a dataset's ordered list of fields.
// A field holds no value of its own: every read and write goes through its dataset in
// the field's native value-buffer format (see GetData / SetData).
#pragma once

#include "kelva/framework/db/DataSetTypes.h"
#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Currency.h"
#include "kelva/framework/rtl/NameMap.h"
#include "kelva/framework/rtl/Variant.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelva {

class TDataSet;
class TField;
class TFields;

enum TFieldType : std::uint8_t {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo
};
enum TFieldKind : std::uint8_t { fkData, fkCalculated, fkLookup, fkInternalCalc };

using TFieldNotifyEvent = std::function<void(TField* Sender)>;

class TField : public TComponent {
public:
  explicit TField(TComponent* AOwner);
  ~TField() override;

  // Identity, kind and size.
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  std::int32_t FieldNo() const { return FFieldNo; }
  TFieldType DataType() const { return FDataType; }
  std::int32_t Size() const { return FSize; }
  virtual void SetSize(std::int32_t Value);
  // Bytes of the field's native value buffer (and of its slot in the calculated area).
  virtual std::int32_t DataSize() const { return 0; }
  std::int32_t Offset() const { return FOffset; }
  std::int32_t Index() const;
  TFieldKind FieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value);
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);

  // Behaviour and display properties.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  const std::string& DisplayLabel() const { return FDisplayLabel; }
  void SetDisplayLabel(const std::string& Value);
  std::string DisplayName() const;
  std::int32_t DisplayWidth() const;
  void SetDisplayWidth(std::int32_t Value);
  // True when DisplayWidth was set rather than taken from the class default.
  bool IsDisplayWidthStored() const { return FDisplayWidth != 0; }
  bool CanModify() const;

  // Values.
  bool IsNull() const { return !GetData(nullptr); }
  void Clear() { SetData(nullptr); }
  virtual std::string AsString() const;
  virtual void SetAsString(const std::string& Value);
  virtual std::int32_t AsInteger() const;
  virtual void SetAsInteger(std::int32_t Value);
  // A wider integer or a fraction would be cut without a word: convert it explicitly first.
  void SetAsInteger(std::int64_t) = delete;
  void SetAsInteger(std::floating_point auto) = delete;
  virtual double AsFloat() const;
  virtual void SetAsFloat(double Value);
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool Value);
  virtual TDateTime AsDateTime() const;
  virtual void SetAsDateTime(TDateTime Value);
  virtual Currency AsCurrency() const;
  virtual void SetAsCurrency(Currency Value);
  virtual Variant Value() const;
  void SetValue(const Variant& Value);
  Variant OldValue() const;
  Variant NewValue() const;
  void SetNewValue(const Variant& Value);
  Variant CurValue() const;
  std::string DisplayText() const { return AsString(); }
  std::string Text() const { return AsString(); }
  void SetText(const std::string& Value) { SetAsString(Value); }

  // The value protocol: native buffers exchanged with the dataset.
  bool GetData(void* Buffer) const;
  void SetData(const void* Buffer);
  void Validate(const void* Buffer);
  void FocusControl();

  // Lookup fields.
  bool Lookup() const { return FFieldKind == fkLookup; }
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value);
  const std::string& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const std::string& Value) { FKeyFields = Value; }
  const std::string& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const std::string& Value) { FLookupKeyFields = Value; }
  const std::string& LookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const std::string& Value) { FLookupResultField = Value; }

  TFieldNotifyEvent OnValidate, OnChange;

  // A form file nests a persistent field inside its dataset.
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

protected:
  virtual void SetVarValue(const Variant& Value);
  virtual void Change();
  virtual void Bind(bool Binding);
  virtual void CalcLookupValue();
  virtual void FreeBuffers() {}
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Services for the value classes.
  void SetDataType(TFieldType Value) { FDataType = Value; }
  // Stores a new Size after checking that the dataset is closed and 0 <= Value <= MaxSize.
  void ChangeSize(std::int32_t Value, std::int32_t MaxSize);
  virtual std::int32_t DefaultDisplayWidth() const { return 10; }
  // Tells an open dataset's controls that the field's layout changed.
  void LayoutChanged();
  [[noreturn]] void AccessError(const char* TypeName) const;
  [[noreturn]] void RangeError(const std::string& Value, const std::string& Min,
                               const std::string& Max) const;
  bool DataSetBCDToCurr(const void* BCD, Currency& Value) const;
  bool DataSetCurrToBCD(const Currency& Value, void* BCD, std::int32_t Precision,
                        std::int32_t Decimals) const;

private:
  friend class TDataSet; // BindFields sets FFieldNo and FOffset, calls Bind and friends
  friend class TFields;

  void CheckDataSetInactive() const;
  // Reads Value() with the dataset in the temporary state State.
  Variant ValueInState(TDataSetState State) const;

  std::string FFieldName;
  std::string FUpperName; // AnsiUpperCase(FFieldName), for case-insensitive lookups
  TFieldType FDataType = ftUnknown;
  TFieldKind FFieldKind = fkData;
  std::int32_t FSize = 0;
  std::int32_t FFieldNo = 0; // 0 unbound; the definition's number; -1 calculated/lookup
  std::int32_t FOffset = 0;  // position in the calculated-field area
  TDataSet* FDataSet = nullptr;
  bool FReadOnly = false;
  bool FRequired = false;
  bool FVisible = true;
  std::string FDisplayLabel;
  std::int32_t FDisplayWidth = 0; // 0: the class default
  TDataSet* FLookupDataSet = nullptr;
  std::string FKeyFields;
  std::string FLookupKeyFields;
  std::string FLookupResultField;
  // While OnValidate runs, reads of this field see the proposed value instead of the
  // dataset's (nullptr = a proposed null).
  bool FValidating = false;
  const void* FProposedValue = nullptr;
};

// Text of at most Size() bytes; native buffer: Size() + 1 bytes, NUL-terminated.
class TStringField : public TField {
public:
  static constexpr std::int32_t MaxSize = 8192;

  explicit TStringField(TComponent* AOwner);
  void SetSize(std::int32_t Value) override;
  std::int32_t DataSize() const override { return Size() + 1; }

  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool Value) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime Value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency Value) override;
  Variant Value() const override;

protected:
  void SetVarValue(const Variant& Value) override;
  std::int32_t DefaultDisplayWidth() const override { return Size(); }

private:
  // Reads the text into Out (which it replaces); false when the field is null.
  bool ReadText(std::string& Out) const;
};

// The common ancestor of the number classes.
class TNumericField : public TField {
protected:
  explicit TNumericField(TComponent* AOwner) : TField(AOwner) {}
};

// A 32-bit signed integer; native buffer: 4 bytes.
class TIntegerField : public TNumericField {
public:
  explicit TIntegerField(TComponent* AOwner);
  std::int32_t DataSize() const override { return 4; }

  // When either bound is not 0, MinValue() ... MaxValue() replaces the class range.
  std::int32_t MinValue() const { return FMinValue; }
  void SetMinValue(std::int32_t Value) { FMinValue = Value; }
  std::int32_t MaxValue() const { return FMaxValue; }
  void SetMaxValue(std::int32_t Value) { FMaxValue = Value; }

  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency Value) override;
  Variant Value() const override;

protected:
  // The range a value must lie in when no MinValue/MaxValue is set.
  TIntegerField(TComponent* AOwner, std::int32_t ClassMin, std::int32_t ClassMax);
  void SetVarValue(const Variant& Value) override;
  // Reads the native buffer; false when the field is null.
  bool ReadInteger(std::int32_t& Value) const;
  // Range-checks a value (as 64 bits, so nothing wraps around) and stores it.
  void StoreChecked(std::int64_t Value);
  // The bounds a value must lie in.
  void EffectiveRange(std::int64_t& Min, std::int64_t& Max) const;

private:
  std::int32_t FClassMin;
  std::int32_t FClassMax;
  std::int32_t FMinValue = 0;
  std::int32_t FMaxValue = 0;
};

// A 16-bit signed integer; native buffer: a 32-bit integer whose low 16 bits count.
class TSmallintField : public TIntegerField {
public:
  explicit TSmallintField(TComponent* AOwner);
  std::int32_t DataSize() const override { return 2; }
};

// A double; native buffer: 8 bytes.
class TFloatField : public TNumericField {
public:
  explicit TFloatField(TComponent* AOwner);
  std::int32_t DataSize() const override { return 8; }

  // When either bound is not 0, values outside MinValue() ... MaxValue() are refused.
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value) { FMinValue = Value; }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value) { FMaxValue = Value; }
  std::int32_t Precision() const { return FPrecision; }
  void SetPrecision(std::int32_t Value) { FPrecision = Value; }

  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency Value) override;
  Variant Value() const override;

protected:
  void SetVarValue(const Variant& Value) override;

private:
  bool ReadFloat(double& Value) const;

  double FMinValue = 0;
  double FMaxValue = 0;
  std::int32_t FPrecision = 15;
};

// A boolean shown as one of two display texts; native buffer: a 16-bit word.
class TBooleanField : public TField {
public:
  explicit TBooleanField(TComponent* AOwner);
  std::int32_t DataSize() const override { return 2; }

  // "TrueText;FalseText" (default "True;False").
  const std::string& DisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const std::string& Value);

  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool Value) override;
  Variant Value() const override;

protected:
  void SetVarValue(const Variant& Value) override;
  std::int32_t DefaultDisplayWidth() const override;

private:
  bool ReadBoolean(bool& Value) const;

  std::string FDisplayValues;
  std::string FTrueText, FFalseText;           // as displayed
  std::string FUpperTrueText, FUpperFalseText; // upper-cased, for parsing
};

// A date and time. Native buffer: a double counting milliseconds since 1 January 0001.
// TDateField and TTimeField keep only the day number or the time of day.
class TDateTimeField : public TField {
public:
  explicit TDateTimeField(TComponent* AOwner);
  std::int32_t DataSize() const override { return 8; }

  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime Value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency Value) override;
  Variant Value() const override;

protected:
  void SetVarValue(const Variant& Value) override;
  // What each date class does its own way: the native encoding and the text form.
  virtual bool ReadDateTime(TDateTime& Value) const;
  virtual void WriteDateTime(TDateTime Value);
  virtual std::string FormatValue(TDateTime Value) const;
  virtual TDateTime ParseText(const std::string& Text) const;
};

// A date. Native buffer: the 32-bit time-stamp day number (1 = 1 January 0001).
class TDateField : public TDateTimeField {
public:
  explicit TDateField(TComponent* AOwner);
  std::int32_t DataSize() const override { return 4; }

protected:
  bool ReadDateTime(TDateTime& Value) const override;
  void WriteDateTime(TDateTime Value) override;
  std::string FormatValue(TDateTime Value) const override;
  TDateTime ParseText(const std::string& Text) const override;
};

// A time of day. Native buffer: 32-bit milliseconds since midnight.
class TTimeField : public TDateTimeField {
public:
  explicit TTimeField(TComponent* AOwner);
  std::int32_t DataSize() const override { return 4; }

protected:
  bool ReadDateTime(TDateTime& Value) const override;
  void WriteDateTime(TDateTime Value) override;
  std::string FormatValue(TDateTime Value) const override;
  TDateTime ParseText(const std::string& Text) const override;
};

// A fixed-point number with Size() decimals (0 ... 4, default 4). Native buffer: 34 bytes
// whose encoding the dataset decides (CurrToBCD / BCDToCurr).
class TBCDField : public TNumericField {
public:
  static constexpr std::int32_t BCDBufferSize = 34;

  explicit TBCDField(TComponent* AOwner);
  void SetSize(std::int32_t Value) override;
  std::int32_t DataSize() const override { return BCDBufferSize; }

  std::int32_t Precision() const { return FPrecision; }
  void SetPrecision(std::int32_t Value) { FPrecision = Value; }
  // When either bound is not 0, values outside MinValue() ... MaxValue() are refused.
  Currency MinValue() const { return FMinValue; }
  void SetMinValue(Currency Value) { FMinValue = Value; }
  Currency MaxValue() const { return FMaxValue; }
  void SetMaxValue(Currency Value) { FMaxValue = Value; }

  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency Value) override;
  Variant Value() const override;

protected:
  void SetVarValue(const Variant& Value) override;

private:
  bool ReadCurrency(Currency& Value) const;

  std::int32_t FPrecision = 15;
  Currency FMinValue;
  Currency FMaxValue;
};

// A dataset's fields in order. The list does not own them: default fields belong to the
// dataset as components, persistent ones to their owners.
class TFields {
public:
  explicit TFields(TDataSet* DataSet = nullptr) : FDataSet(DataSet) {}
  TFields(const TFields&) = delete;
  TFields& operator=(const TFields&) = delete;

  TDataSet* DataSet() const { return FDataSet; }
  std::int32_t Count() const { return static_cast<std::int32_t>(FList.size()); }
  // Raises EListError SListIndexError outside 0 ... Count()-1.
  TField* operator[](std::int32_t Index) const;
  std::int32_t IndexOf(const TField* Field) const;
  // The first field whose name equals Name case-insensitively, or null.
  TField* FindField(const std::string& Name) const;
  // FindField, or EDatabaseError SFieldNotFound.
  TField* FieldByName(const std::string& Name) const;
  // The first field with that FieldNo(), or null.
  TField* FieldByNumber(std::int32_t FieldNo) const;

  auto begin() const { return FList.begin(); }
  auto end() const { return FList.end(); }

private:
  friend class TField;
  friend class TDataSet;

  // The first field other than Except whose name matches, or null.
  TField* FindOther(const std::string& Name, const TField* Except) const;
  void Add(TField* Field);
  void Remove(TField* Field);
  // Field, one of these, is about to be renamed (before its names change).
  void Renamed(TField* Field, const std::string& OldUpper, const std::string& NewUpper);

  TDataSet* FDataSet;
  std::vector<TField*> FList;
  // The fields by upper-case name: names are unique among them (SDuplicateFieldName).
  TNameMap<TField*> FByName;
};

} // namespace kelva
