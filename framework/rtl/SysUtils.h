// Text and number conversions, date and time arithmetic, trimming, case mapping,
// locale-aware comparison and Format. Saved streams carry the texts produced here, so
// every routine follows its rule exactly.
#pragma once

#include "kelva/framework/rtl/Currency.h"
#include "kelva/framework/rtl/Variant.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char DateSeparator = '-';
  char TimeSeparator = ':';
  std::string ShortDateFormat = "yyyy-mm-dd";
  std::string LongTimeFormat = "hh:nn:ss";
};
extern TFormatSettings FormatSettings; // process-wide

struct TTimeStamp {
  std::int32_t Time; // milliseconds since midnight
  std::int32_t Date; // days since 1 January 0001, that day counting as 1
};
inline constexpr std::int32_t DateDelta = 693594;
inline constexpr std::int32_t MSecsPerDay = 86400000;

std::string IntToStr(std::int32_t Value);
std::string IntToStr(std::int64_t Value);
std::int32_t StrToInt(const std::string& S);
bool TryStrToInt(const std::string& S, std::int32_t& Value);
// Non-allocating forms for hot paths. The ...Buf writers fill Buffer (at least the given
// size) without a terminating NUL and return the length; the parsers read Length bytes.
inline constexpr std::size_t IntToStrBufSize = 24;
std::size_t IntToStrBuf(std::int64_t Value, char* Buffer);
bool TryStrToInt(const char* Text, std::size_t Length, std::int32_t& Value);

std::string FloatToStr(double Value);
double StrToFloat(const std::string& S);
bool TryStrToFloat(const std::string& S, double& Value);
inline constexpr std::size_t FloatToStrBufSize = 32;
std::size_t FloatToStrBuf(double Value, char* Buffer);
bool TryStrToFloat(const char* Text, std::size_t Length, double& Value);

std::string CurrToStr(Currency Value);
Currency StrToCurr(const std::string& S);
bool TryStrToCurr(const std::string& S, Currency& Value);
inline constexpr std::size_t CurrToStrBufSize = 24; // the longest text has 21 characters
std::size_t CurrToStrBuf(Currency Value, char* Buffer);
bool TryStrToCurr(const char* Text, std::size_t Length, Currency& Value);

// The same texts with the decimal separator given instead of FormatSettings': for text
// that must read the same whatever the process's settings are.
std::size_t FloatToStrBuf(double Value, char* Buffer, char DecimalSeparator);
bool TryStrToFloat(const char* Text, std::size_t Length, double& Value, char DecimalSeparator);
std::size_t CurrToStrBuf(Currency Value, char* Buffer, char DecimalSeparator);
bool TryStrToCurr(const char* Text, std::size_t Length, Currency& Value, char DecimalSeparator);

TTimeStamp DateTimeToTimeStamp(TDateTime DateTime);
// False, instead of raising, when the time stamp's day number would not fit 32 bits.
bool TryDateTimeToTimeStamp(TDateTime DateTime, TTimeStamp& TimeStamp);
TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp);
std::int64_t TimeStampToMSecs(const TTimeStamp& TimeStamp);
TTimeStamp MSecsToTimeStamp(std::int64_t MSecs);
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
void DecodeDate(TDateTime DateTime, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime DateTime, int& Hour, int& Min, int& Sec, int& MSec);
std::string DateToStr(TDateTime DateTime);
std::string TimeToStr(TDateTime DateTime);
std::string DateTimeToStr(TDateTime DateTime);
TDateTime StrToDate(const std::string& S);
TDateTime StrToTime(const std::string& S);
TDateTime StrToDateTime(const std::string& S);
bool TryStrToDateTime(const std::string& S, TDateTime& Value);

std::string Trim(const std::string& S);
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);
std::string UpperCase(const std::string& S);
std::string LowerCase(const std::string& S);
std::string AnsiUpperCase(const std::string& S);
int AnsiCompareStr(const std::string& A, const std::string& B);
int AnsiCompareText(const std::string& A, const std::string& B);
int CompareText(const std::string& A, const std::string& B);
bool AnsiSameText(const std::string& A, const std::string& B);
// Appends a sort key of Text: comparing two keys byte by byte (memcmp, shorter first on a
// common prefix) orders their texts as AnsiCompareText does when CaseInsensitive, else as
// AnsiCompareStr. Sorting many texts computes each key once instead of collating pairs.
void AppendAnsiSortKey(std::string& Out, std::string_view Text, bool CaseInsensitive);
// True when AnsiCompareStr orders "plain" texts (ASCII digits and letters, the letters all
// upper case or all lower case) as their bytes, and AnsiCompareText orders texts of ASCII
// digits and letters as their upper-cased bytes: the locale's collation does not tailor
// them. Lets a sort use the texts themselves as keys.
bool PlainTextsCollateAsBytes();
std::int32_t AnsiPos(const std::string& SubStr, const std::string& S);

// Cuts S to at most MaxBytes bytes without splitting a UTF-8 sequence.
std::string Utf8Truncate(const std::string& S, std::size_t MaxBytes);
std::size_t Utf8TruncatedLength(const char* Text, std::size_t Length, std::size_t MaxBytes);

std::string Format(const std::string& Fmt, std::initializer_list<Variant> Args);
std::string Format(const std::string& Fmt, const std::vector<Variant>& Args);

} // namespace kelva
