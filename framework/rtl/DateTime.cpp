// Date and time arithmetic and texts: time stamps, encoding and
// decoding of the proleptic Gregorian calendar, and the text forms governed by the date
// and time settings of FormatSettings.
#include "kelva/framework/rtl/ConversionDetail.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace kelva {

namespace {

// A TDateTime times MSecsPerDay must stay below this to round into 64 bits (and the day
// count must then still fit the 32-bit Date, which is checked separately).
constexpr double MaxMSecs = 9.2e18;

constexpr int DaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};

bool IsLeapYear(std::int64_t Year) {
  return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

[[noreturn]] void InvalidDateTime(TDateTime Value) {
  char Buffer[FloatToStrBufSize];
  detail::ThrowConvertError(SInvalidDateTime,
                            std::string_view(Buffer, FloatToStrBuf(Value, Buffer)));
}

[[noreturn]] void InvalidDateTime(std::int64_t Value) {
  char Buffer[IntToStrBufSize];
  detail::ThrowConvertError(SInvalidDateTime, std::string_view(Buffer, IntToStrBuf(Value, Buffer)));
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1) return false;
  const int* Before = DaysBeforeMonth[IsLeapYear(Year) ? 1 : 0];
  if (Day > Before[Month] - Before[Month - 1]) return false;
  const int Y = Year - 1;
  Value = Y * 365 + Y / 4 - Y / 100 + Y / 400 + Before[Month - 1] + Day - DateDelta;
  return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Value) {
  if (Hour < 0 || Hour >= 24 || Min < 0 || Min >= 60 || Sec < 0 || Sec >= 60 || MSec < 0 ||
      MSec >= 1000)
    return false;
  Value = (Hour * 3600000 + Min * 60000 + Sec * 1000 + MSec) / static_cast<double>(MSecsPerDay);
  return true;
}

// Year, month and day of a time-stamp day number; all 0 for days before 1 January 0001.
void DecodeDays(std::int32_t Date, int& Year, int& Month, int& Day) {
  if (Date <= 0) {
    Year = Month = Day = 0;
    return;
  }
  constexpr int D1 = 365, D4 = 4 * D1 + 1, D100 = 25 * D4 - 1, D400 = 4 * D100 + 1;
  int T = Date - 1; // days since 1 January 0001
  int Y = 1 + 400 * (T / D400);
  T %= D400;
  int I = T / D100;
  T %= D100;
  if (I == 4) { // the last day of a 400-year cycle
    I = 3;
    T += D100;
  }
  Y += 100 * I;
  Y += 4 * (T / D4);
  T %= D4;
  I = T / D1;
  T %= D1;
  if (I == 4) { // the last day of a leap year
    I = 3;
    T += D1;
  }
  Y += I;
  const int* Before = DaysBeforeMonth[IsLeapYear(Y) ? 1 : 0];
  int M = 1;
  while (T >= Before[M]) ++M;
  Year = Y;
  Month = M;
  Day = T - Before[M - 1] + 1;
}

// ---- text forms

void AppendNumber(std::string& Out, std::int64_t Value, int MinDigits) {
  char Buffer[IntToStrBufSize];
  const std::size_t Length = IntToStrBuf(Value, Buffer);
  for (std::size_t I = Length; I < static_cast<std::size_t>(MinDigits); ++I) Out += '0';
  Out.append(Buffer, Length);
}

char Lower(char C) {
  return C >= 'A' && C <= 'Z' ? static_cast<char>(C + ('a' - 'A')) : C;
}

// Formats the time stamp with the tokens yyyy, yy, mm, m, dd, d, hh, h, nn, n, ss, s, zzz, z
// (any letter case; a run of one letter is one token: a single letter prints without
// padding, a longer run pads, 'y' and 'z' runs of three or more give 4 and 3 digits). '-'
// prints DateSeparator, ':' TimeSeparator; everything else is copied.
void AppendFormatted(std::string& Out, const std::string& Fmt, const TTimeStamp& Stamp) {
  int Year, Month, Day;
  DecodeDays(Stamp.Date, Year, Month, Day);
  const int Hour = Stamp.Time / 3600000, Min = Stamp.Time / 60000 % 60,
            Sec = Stamp.Time / 1000 % 60, MSec = Stamp.Time % 1000;
  for (std::size_t I = 0; I < Fmt.size();) {
    const char C = Lower(Fmt[I]);
    std::size_t Run = 1;
    while (I + Run < Fmt.size() && Lower(Fmt[I + Run]) == C) ++Run;
    const int Pad = Run >= 2 ? 2 : 1;
    switch (C) {
    case 'y':
      if (Run >= 3)
        AppendNumber(Out, Year, 4);
      else
        AppendNumber(Out, Year % 100, 2);
      break;
    case 'm':
      AppendNumber(Out, Month, Pad);
      break;
    case 'd':
      AppendNumber(Out, Day, Pad);
      break;
    case 'h':
      AppendNumber(Out, Hour, Pad);
      break;
    case 'n':
      AppendNumber(Out, Min, Pad);
      break;
    case 's':
      AppendNumber(Out, Sec, Pad);
      break;
    case 'z':
      AppendNumber(Out, MSec, Run >= 3 ? 3 : 1);
      break;
    default:
      Run = 1;
      Out += C == '-'   ? FormatSettings.DateSeparator
             : C == ':' ? FormatSettings.TimeSeparator
                        : Fmt[I];
      break;
    }
    I += Run;
  }
}

// ---- text parsing; every parser takes a text without surrounding spaces

// One or more decimal digits; the value saturates (every caller range-checks it).
bool ScanNumber(const char*& P, const char* End, int& Value, int& Digits) {
  Value = 0;
  Digits = 0;
  for (; P != End && *P >= '0' && *P <= '9'; ++P, ++Digits)
    if (Value < 1000000) Value = Value * 10 + (*P - '0');
  return Digits > 0;
}

bool ParseDate(const char* P, const char* End, TDateTime& Value) {
  // The order of year, month and day is that of their first letters in ShortDateFormat.
  const std::string& Fmt = FormatSettings.ShortDateFormat;
  const char Letters[3] = {'y', 'm', 'd'};
  std::size_t Position[3];
  for (int K = 0; K < 3; ++K) {
    Position[K] = Fmt.size() + static_cast<std::size_t>(K); // absent: after the others
    for (std::size_t I = 0; I < Fmt.size(); ++I)
      if (Lower(Fmt[I]) == Letters[K]) {
        Position[K] = I;
        break;
      }
  }
  int Numbers[3], Digits[3];
  for (int K = 0; K < 3; ++K) {
    if (K > 0) {
      if (P == End || *P != FormatSettings.DateSeparator) return false;
      ++P;
    }
    if (!ScanNumber(P, End, Numbers[K], Digits[K])) return false;
  }
  if (P != End) return false;
  // Rank of each part: the part whose letter comes k-th in the format is the k-th number.
  int Part[3]; // Part[0] = index of the year's number, and so on
  for (int K = 0; K < 3; ++K) {
    int Rank = 0;
    for (int J = 0; J < 3; ++J)
      if (Position[J] < Position[K]) ++Rank;
    Part[K] = Rank;
  }
  int Year = Numbers[Part[0]];
  if (Digits[Part[0]] <= 2) Year += Year < 50 ? 2000 : 1900;
  return TryEncodeDate(Year, Numbers[Part[1]], Numbers[Part[2]], Value);
}

// h:n[:s[.zzz]] with TimeSeparator; zzz is the millisecond count (one to three digits).
bool ParseTime(const char* P, const char* End, TDateTime& Value) {
  const char Sep = FormatSettings.TimeSeparator;
  int Hour, Min, Sec = 0, MSec = 0, Digits;
  if (!ScanNumber(P, End, Hour, Digits)) return false;
  if (P == End || *P != Sep) return false;
  ++P;
  if (!ScanNumber(P, End, Min, Digits)) return false;
  if (P != End && *P == Sep) {
    ++P;
    if (!ScanNumber(P, End, Sec, Digits)) return false;
    if (P != End && *P == '.') {
      ++P;
      if (!ScanNumber(P, End, MSec, Digits) || Digits > 3) return false;
    }
  }
  if (P != End) return false;
  return TryEncodeTime(Hour, Min, Sec, MSec, Value);
}

bool ParseDateTime(const char* P, const char* End, TDateTime& Value) {
  if (ParseDate(P, End, Value)) return true;
  const char* Space =
      static_cast<const char*>(std::memchr(P, ' ', static_cast<std::size_t>(End - P)));
  if (Space == nullptr) return ParseTime(P, End, Value);
  TDateTime Date, Time;
  if (!ParseDate(P, Space, Date)) return false;
  const char* TimeBegin = Space;
  while (*TimeBegin == ' ') ++TimeBegin; // the text does not end with a space
  if (!ParseTime(TimeBegin, End, Time)) return false;
  Value = Date < 0 ? Date - Time : Date + Time;
  return true;
}

// Runs Parse on S without its leading and trailing spaces.
template <class Parser>
bool ParseTrimmed(const std::string& S, Parser Parse, TDateTime& Value) {
  const char* P = S.data();
  const char* End = P + S.size();
  while (P != End && *P == ' ') ++P;
  while (End != P && End[-1] == ' ') --End;
  return Parse(P, End, Value);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Time stamps

bool TryDateTimeToTimeStamp(TDateTime DateTime, TTimeStamp& TimeStamp) {
  const double Product = DateTime * MSecsPerDay;
  if (!(std::fabs(Product) < MaxMSecs)) return false; // NaN too
  const std::int64_t MSecs = std::llround(Product);   // exact halves away from zero
  const std::int64_t Magnitude = MSecs < 0 ? -MSecs : MSecs;
  const std::int64_t Days = Magnitude / MSecsPerDay;
  const std::int64_t Date = MSecs >= 0 ? DateDelta + Days : DateDelta - Days;
  if (Date < std::numeric_limits<std::int32_t>::min() ||
      Date > std::numeric_limits<std::int32_t>::max())
    return false;
  TimeStamp.Time = static_cast<std::int32_t>(Magnitude % MSecsPerDay);
  TimeStamp.Date = static_cast<std::int32_t>(Date);
  return true;
}

TTimeStamp DateTimeToTimeStamp(TDateTime DateTime) {
  TTimeStamp Result;
  if (!TryDateTimeToTimeStamp(DateTime, Result)) InvalidDateTime(DateTime);
  return Result;
}

TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp) {
  const double Days = static_cast<double>(static_cast<std::int64_t>(TimeStamp.Date) - DateDelta);
  const double Fraction = TimeStamp.Time / static_cast<double>(MSecsPerDay);
  return Days < 0 ? Days - Fraction : Days + Fraction;
}

std::int64_t TimeStampToMSecs(const TTimeStamp& TimeStamp) {
  return static_cast<std::int64_t>(TimeStamp.Date) * MSecsPerDay + TimeStamp.Time;
}

TTimeStamp MSecsToTimeStamp(std::int64_t MSecs) {
  // Floor division: a negative count still gives a time of day in 0 ... MSecsPerDay - 1,
  // so this inverts TimeStampToMSecs for every day number.
  std::int64_t Days = MSecs / MSecsPerDay;
  std::int64_t Time = MSecs % MSecsPerDay;
  if (Time < 0) {
    Time += MSecsPerDay;
    --Days;
  }
  if (Days < std::numeric_limits<std::int32_t>::min() ||
      Days > std::numeric_limits<std::int32_t>::max())
    InvalidDateTime(MSecs);
  TTimeStamp Result;
  Result.Time = static_cast<std::int32_t>(Time);
  Result.Date = static_cast<std::int32_t>(Days);
  return Result;
}

// ---------------------------------------------------------------------------------------
// Encoding and decoding

TDateTime EncodeDate(int Year, int Month, int Day) {
  TDateTime Value;
  if (!TryEncodeDate(Year, Month, Day, Value)) detail::ThrowConvertError(SDateEncodeError);
  return Value;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
  TDateTime Value;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, Value)) detail::ThrowConvertError(STimeEncodeError);
  return Value;
}

void DecodeDate(TDateTime DateTime, int& Year, int& Month, int& Day) {
  DecodeDays(DateTimeToTimeStamp(DateTime).Date, Year, Month, Day);
}

void DecodeTime(TDateTime DateTime, int& Hour, int& Min, int& Sec, int& MSec) {
  const std::int32_t Time = DateTimeToTimeStamp(DateTime).Time;
  Hour = Time / 3600000;
  Min = Time / 60000 % 60;
  Sec = Time / 1000 % 60;
  MSec = Time % 1000;
}

// ---------------------------------------------------------------------------------------
// Texts

std::string DateToStr(TDateTime DateTime) {
  std::string Result;
  AppendFormatted(Result, FormatSettings.ShortDateFormat, DateTimeToTimeStamp(DateTime));
  return Result;
}

std::string TimeToStr(TDateTime DateTime) {
  std::string Result;
  AppendFormatted(Result, FormatSettings.LongTimeFormat, DateTimeToTimeStamp(DateTime));
  return Result;
}

std::string DateTimeToStr(TDateTime DateTime) {
  const TTimeStamp Stamp = DateTimeToTimeStamp(DateTime);
  std::string Result;
  AppendFormatted(Result, FormatSettings.ShortDateFormat, Stamp);
  if (Stamp.Time != 0) {
    Result += ' ';
    AppendFormatted(Result, FormatSettings.LongTimeFormat, Stamp);
  }
  return Result;
}

TDateTime StrToDate(const std::string& S) {
  TDateTime Value;
  if (!ParseTrimmed(S, ParseDate, Value)) detail::ThrowConvertError(SInvalidDate, S);
  return Value;
}

TDateTime StrToTime(const std::string& S) {
  TDateTime Value;
  if (!ParseTrimmed(S, ParseTime, Value)) detail::ThrowConvertError(SInvalidTime, S);
  return Value;
}

bool TryStrToDateTime(const std::string& S, TDateTime& Value) {
  return ParseTrimmed(S, ParseDateTime, Value);
}

TDateTime StrToDateTime(const std::string& S) {
  TDateTime Value;
  if (!TryStrToDateTime(S, Value)) detail::ThrowConvertError(SInvalidDateTime, S);
  return Value;
}

} // namespace kelva
