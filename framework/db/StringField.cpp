// TStringField: text of at most Size() bytes. Its native buffer is Size() + 1 bytes holding
// the text and a terminating NUL; texts are cut on a UTF-8 character boundary.
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cstring>
#include <vector>

namespace kelva {

namespace {

// Buffers of ordinary sizes live on the stack: reading and writing text on the scanning
// and loading paths must not allocate beyond the resulting string itself.
constexpr std::size_t StackBufferSize = 256;

} // namespace

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftString);
  ChangeSize(20, MaxSize);
}

void TStringField::SetSize(std::int32_t Value) {
  ChangeSize(Value, MaxSize);
}

bool TStringField::ReadText(std::string& Out) const {
  const auto BufferSize = static_cast<std::size_t>(DataSize());
  const auto MaxLength = static_cast<std::size_t>(Size());
  if (BufferSize <= StackBufferSize) {
    char Buffer[StackBufferSize];
    std::memset(Buffer, 0, BufferSize);
    if (!GetData(Buffer)) {
      Out.clear();
      return false;
    }
    Out.assign(Buffer, strnlen(Buffer, MaxLength));
    return true;
  }
  std::vector<char> Buffer(BufferSize, '\0');
  if (!GetData(Buffer.data())) {
    Out.clear();
    return false;
  }
  Out.assign(Buffer.data(), strnlen(Buffer.data(), MaxLength));
  return true;
}

std::string TStringField::AsString() const {
  std::string Result;
  ReadText(Result);
  return Result;
}

void TStringField::SetAsString(const std::string& Value) {
  const auto BufferSize = static_cast<std::size_t>(DataSize());
  const std::size_t Length =
      Utf8TruncatedLength(Value.data(), Value.size(), static_cast<std::size_t>(Size()));
  // The bytes after the text are zeroed too: record images are compared byte for byte.
  auto Fill = [&](char* Buffer) {
    std::memcpy(Buffer, Value.data(), Length);
    std::memset(Buffer + Length, 0, BufferSize - Length);
  };
  if (BufferSize <= StackBufferSize) {
    char Buffer[StackBufferSize];
    Fill(Buffer);
    SetData(Buffer);
  } else {
    std::vector<char> Buffer(BufferSize);
    Fill(Buffer.data());
    SetData(Buffer.data());
  }
}

std::int32_t TStringField::AsInteger() const {
  return StrToInt(AsString());
}
void TStringField::SetAsInteger(std::int32_t Value) {
  SetAsString(IntToStr(Value));
}

double TStringField::AsFloat() const {
  return StrToFloat(AsString());
}
void TStringField::SetAsFloat(double Value) {
  SetAsString(FloatToStr(Value));
}

bool TStringField::AsBoolean() const {
  const std::string Text = AsString();
  if (Text.empty()) return false;
  const char First = Text.front();
  return First == 'T' || First == 't' || First == 'Y' || First == 'y';
}
void TStringField::SetAsBoolean(bool Value) {
  SetAsString(Value ? "T" : "F");
}

TDateTime TStringField::AsDateTime() const {
  return StrToDateTime(AsString());
}
void TStringField::SetAsDateTime(TDateTime Value) {
  SetAsString(DateTimeToStr(Value));
}

Currency TStringField::AsCurrency() const {
  return Currency::FromDouble(AsFloat());
}
void TStringField::SetAsCurrency(Currency Value) {
  SetAsString(CurrToStr(Value));
}

Variant TStringField::Value() const {
  std::string Text;
  if (!ReadText(Text)) return Null();
  return Variant(std::move(Text));
}

void TStringField::SetVarValue(const Variant& Value) {
  SetAsString(Value.AsString());
}

} // namespace kelva
