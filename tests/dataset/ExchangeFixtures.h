// Shared by the exchange and copy tests: a dataset with one field of every type word,
// sample records that stress quoting and conversions, and an exact snapshot of the values.
#pragma once

#include "HookedDataset.h"

#include "kelva/dataset/exchange/Exchange.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace kelva::testing {

inline void DescribeAllTypes(THookedDataset& D) {
  D.Describe({"FIELD=NAME,CHAR,30", "FIELD=PRICE,FLOAT,0", "FIELD=ACTIVE,BOOLEAN,0",
              "FIELD=QTY,INTEGER,0", "FIELD=SMALL,SMALLINT,0", "FIELD=DAY,DATE,0",
              "FIELD=AT,TIME,0", "FIELD=STAMP,DATETIME,0", "FIELD=AMOUNT,BCD,0"});
}

inline TDateTime Moment(int Y, int M, int D, int H, int N, int S, int MS) {
  return TimeStampToDateTime(
      {((H * 60 + N) * 60 + S) * 1000 + MS, DateTimeToTimeStamp(EncodeDate(Y, M, D)).Date});
}

// Four records: separators, quotes and a tab in text, extreme numbers and dates,
// milliseconds, non-ASCII text, and a record of nulls only.
inline void FillAllTypes(THookedDataset& D) {
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("Ann, \"the\" best;\tok");
  D.FieldByName("PRICE")->SetAsFloat(1.5);
  D.FieldByName("ACTIVE")->SetAsBoolean(true);
  D.FieldByName("QTY")->SetAsInteger(-42);
  D.FieldByName("SMALL")->SetAsInteger(32767);
  D.FieldByName("DAY")->SetAsDateTime(EncodeDate(2024, 2, 29));
  D.FieldByName("AT")->SetAsDateTime(EncodeTime(13, 45, 7, 250));
  D.FieldByName("STAMP")->SetAsDateTime(Moment(1999, 12, 31, 23, 59, 59, 1));
  D.FieldByName("AMOUNT")->SetAsCurrency(Currency::FromScaled(12345678));
  D.PostRaw();
  D.AppendRaw();
  D.PostRaw();
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("Zoë 東京 ✓");
  D.FieldByName("PRICE")->SetAsFloat(-1.25e300);
  D.FieldByName("ACTIVE")->SetAsBoolean(false);
  D.FieldByName("QTY")->SetAsInteger(2147483647);
  D.FieldByName("SMALL")->SetAsInteger(-32768);
  D.FieldByName("DAY")->SetAsDateTime(EncodeDate(1, 1, 1));
  D.FieldByName("AT")->SetAsDateTime(0);
  D.FieldByName("STAMP")->SetAsDateTime(Moment(1850, 6, 1, 6, 30, 0, 0));
  D.FieldByName("AMOUNT")->SetAsCurrency(Currency::FromScaled(-1));
  D.PostRaw();
  D.AppendRaw();
  D.FieldByName("NAME")->SetAsString("x");
  D.FieldByName("PRICE")->SetAsFloat(3.0000000000000004e-20);
  D.PostRaw();
}

// Every field of every record (store order) as exact text: doubles with 17 digits.
inline std::vector<std::string> Snapshot(TDataSet& D) {
  std::vector<std::string> Out;
  D.First();
  while (!D.Eof()) {
    std::string Line;
    for (std::int32_t I = 0; I < D.Fields().Count(); ++I) {
      TField* F = D.Fields()[I];
      Line += F->FieldName() + "=";
      char Number[40];
      if (F->IsNull()) {
        Line += "<null>";
      } else if (F->DataType() == ftFloat) {
        std::snprintf(Number, sizeof Number, "%.17g", F->AsFloat());
        Line += Number;
      } else if (F->DataType() == ftDate || F->DataType() == ftTime ||
                 F->DataType() == ftDateTime) {
        std::snprintf(Number, sizeof Number, "%.17g", F->AsDateTime());
        Line += Number;
      } else {
        Line += F->AsString();
      }
      Line += "|";
    }
    Out.push_back(Line);
    D.Next();
  }
  return Out;
}

} // namespace kelva::testing
