// Parsing field description lines into a record layout.
#include "kelva/dataset/schema/FieldLayout.h"

#include "kelva/dataset/messages.h"
#include "kelva/dataset/schema/DescriptionLine.h"
#include "kelva/dataset/schema/TypeWords.h"
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/SysUtils.h"

namespace kelva {

namespace {

constexpr std::int32_t BCDDefinitionSize = 4;

// Adds the field that Value describes; any failure becomes SKlvSchemaError naming it.
void AddField(TKlvFieldLayout& Layout, std::int32_t& RunningOffset, std::string Value) {
  std::string Name;
  try {
    Name = NextToken(Value);
    const std::string Word = NextToken(Value);
    const TKlvTypeWord* Type = FindTypeWord(Word);
    const std::int32_t Length = StrToInt(NextToken(Value));
    // A negative length, or a slot that a 16-bit width or record size cannot hold, has
    // no layout. The length is checked before the slot's closing byte is added to it,
    // which would overflow for the largest lengths.
    if (Type && Type->FieldType == ftString && (Length < 0 || Length >= MaxDataSize))
      throw EDatabaseError("no layout");
    std::int32_t Width = 1;
    if (Type) Width = Type->FieldType == ftString ? Length + 1 : Type->SlotWidth;
    if (Width < 1 || Width > 0xFFFF || RunningOffset + Width > MaxDataSize)
      throw EDatabaseError("no layout");
    const TFieldType FieldType = Type ? Type->FieldType : ftUnknown;
    const std::int32_t DefSize =
        FieldType == ftString ? Length : (FieldType == ftBCD ? BCDDefinitionSize : 0);
    Layout.Fields.push_back({Name, FieldType, DefSize});
    Layout.FieldInfo.push_back({RunningOffset, static_cast<std::uint16_t>(Width)});
    RunningOffset += Width;
    Layout.DataSize = RunningOffset;
  } catch (const Exception&) {
    DatabaseErrorFmt(SKlvSchemaError, {Name});
  }
}

} // namespace

TKlvFieldLayout ParseFieldDescriptions(const TStrings& Lines, const std::string& ComponentName) {
  if (Lines.Count() == 0 || Trim(Lines.Text()).empty())
    DatabaseErrorFmt(SKlvNoSchema, {ComponentName});
  TKlvFieldLayout Layout;
  std::int32_t RunningOffset = 1;
  for (std::int32_t I = 0; I < Lines.Count(); ++I) {
    TKlvDescriptionLine Line = SplitDescriptionLine(Lines[I]);
    if (Line.Key.find("FIELD") != std::string::npos)
      AddField(Layout, RunningOffset, std::move(Line.Value));
  }
  return Layout;
}

} // namespace kelva
