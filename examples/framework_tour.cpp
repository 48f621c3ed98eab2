// A first look at the framework Kelva runs on: number and date texts exactly as saved
// files carry them, string lists split into lines, and Variants compared in the order
// that sorting uses.
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/Variant.h"

#include <iostream>

using namespace kelva;

int main() {
  std::cout << "Numbers as saved files write them:\n";
  for (double Value : {1.0 / 3, 1234567890123456.0, 0.00001, -693594.25})
    std::cout << "  " << FloatToStr(Value) << "\n";
  std::cout << "  " << CurrToStr(StrToCurr("12.50")) << " (currency)\n";

  const TDateTime Date = EncodeDate(2000, 1, 1) + EncodeTime(6, 0, 0, 0);
  const TTimeStamp Stamp = DateTimeToTimeStamp(Date);
  std::cout << "\n"
            << DateTimeToStr(Date) << " is day " << Stamp.Date << ", " << Stamp.Time
            << " ms after midnight\n";

  TStringList Lines;
  Lines.SetText("FIELD=NAME,CHAR,25\r\nFIELD=POS,FLOAT,0\n");
  std::cout << "\nA description of " << Lines.Count() << " lines:\n";
  for (int I = 0; I < Lines.Count(); ++I)
    std::cout << "  " << Lines.Names(I) << " -> " << Lines.ValueFromIndex(I) << "\n";

  std::cout << "\nNull sorts first: "
            << (VarCompareValue(Null(), Variant(0)) == vrLessThan ? "yes" : "no") << "\n";
  try {
    StrToInt("12a");
  } catch (const EConvertError& E) {
    std::cout << "Bad input is refused: " << E.Message() << "\n";
  }
  return 0;
}
