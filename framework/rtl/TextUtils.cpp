// Text utilities of the run-time library: trimming, ASCII and Unicode upper-casing, the
// ordinal and locale-aware comparisons (ICU collation), AnsiPos and cutting UTF-8 text to a
// byte width without splitting a character.
#include "kelva/framework/rtl/SysUtils.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace kelva {

namespace {

bool IsBlank(char C) {
  return static_cast<unsigned char>(C) <= 32;
}
bool IsAscii(char C) {
  return static_cast<unsigned char>(C) < 0x80;
}
bool IsContinuationByte(char C) {
  return (static_cast<unsigned char>(C) & 0xC0) == 0x80;
}
char AsciiUpper(char C) {
  return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C;
}
char AsciiLower(char C) {
  return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

int SignOf(int Value) {
  return (Value > 0) - (Value < 0);
}

// Byte-wise (unsigned) comparison; a proper prefix sorts first.
int CompareBytes(std::string_view A, std::string_view B) {
  const std::size_t Common = std::min(A.size(), B.size());
  if (Common != 0) {
    const int Result = std::memcmp(A.data(), B.data(), Common);
    if (Result != 0) return SignOf(Result);
  }
  if (A.size() == B.size()) return 0;
  return A.size() < B.size() ? -1 : 1;
}

// ---- Unicode upper-casing -----------------------------------------------------------------

// The longest output of one step: a 4-byte character, or an ill-formed run of at most 3.
constexpr std::size_t MaxStepBytes = 4;

// Upper-cases the character starting at Text[Pos] into Out, advances Pos past it and returns
// the number of bytes written. Bytes that are not well-formed UTF-8 (the maximal ill-formed
// run, as ICU delimits it) and characters without a simple upper-case mapping are copied.
std::size_t UpperCaseStep(std::string_view Text, std::size_t& Pos, char (&Out)[MaxStepBytes]) {
  if (IsAscii(Text[Pos])) {
    Out[0] = AsciiUpper(Text[Pos++]);
    return 1;
  }
  const auto* Bytes = reinterpret_cast<const std::uint8_t*>(Text.data());
  const std::size_t Start = Pos;
  const std::size_t Length = Text.size();
  UChar32 Char = 0;
  U8_NEXT(Bytes, Pos, Length, Char);
  const UChar32 Upper = Char < 0 ? Char : u_toupper(Char);
  if (Upper == Char) {
    std::memcpy(Out, Text.data() + Start, Pos - Start);
    return Pos - Start;
  }
  std::size_t Written = 0;
  U8_APPEND_UNSAFE(reinterpret_cast<std::uint8_t*>(Out), Written, Upper);
  return Written;
}

// The bytes of AnsiUpperCase(Text), produced one at a time so that comparisons of upper-cased
// texts need no temporary strings.
class UpperCasedBytes {
public:
  UpperCasedBytes(std::string_view Text, std::size_t Start) : FText(Text), FPos(Start) {}

  // False at the end of the text.
  bool Next(unsigned char& Byte) {
    if (FPendingPos == FPendingCount) {
      if (FPos >= FText.size()) return false;
      FPendingCount = UpperCaseStep(FText, FPos, FPending);
      FPendingPos = 0;
    }
    Byte = static_cast<unsigned char>(FPending[FPendingPos++]);
    return true;
  }

private:
  std::string_view FText;
  std::size_t FPos;
  char FPending[MaxStepBytes] = {};
  std::size_t FPendingCount = 0;
  std::size_t FPendingPos = 0;
};

// Sign of the byte-wise comparison of AnsiUpperCase(A) and AnsiUpperCase(B). ASCII maps one
// byte to one byte, so a common ASCII prefix is compared in place before streaming the rest.
int CompareUpperCased(std::string_view A, std::string_view B) {
  std::size_t Pos = 0;
  const std::size_t Common = std::min(A.size(), B.size());
  while (Pos < Common && IsAscii(A[Pos]) && IsAscii(B[Pos])) {
    const auto UpperA = static_cast<unsigned char>(AsciiUpper(A[Pos]));
    const auto UpperB = static_cast<unsigned char>(AsciiUpper(B[Pos]));
    if (UpperA != UpperB) return UpperA < UpperB ? -1 : 1;
    ++Pos;
  }
  UpperCasedBytes RestA(A, Pos);
  UpperCasedBytes RestB(B, Pos);
  for (;;) {
    unsigned char ByteA = 0;
    unsigned char ByteB = 0;
    const bool HasA = RestA.Next(ByteA);
    const bool HasB = RestB.Next(ByteB);
    if (!HasA || !HasB) return HasA == HasB ? 0 : (HasA ? 1 : -1);
    if (ByteA != ByteB) return ByteA < ByteB ? -1 : 1;
  }
}

// ---- Collation ----------------------------------------------------------------------------

struct CollatorCloser {
  void operator()(UCollator* Collator) const { ucol_close(Collator); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

bool IsPosixLocaleName(std::string_view Name) {
  return Name.empty() || Name == "C" || Name == "POSIX" || Name.substr(0, 2) == "C.";
}

// The ICU locale id of the process's collation locale: the C library's LC_COLLATE when a
// program has selected one, otherwise the environment (LC_ALL, LC_COLLATE, LANG, in POSIX
// precedence). "" (the root collation) for an unset, "C" or "POSIX" locale.
std::string CollationLocaleId() {
  const char* Selected = std::setlocale(LC_COLLATE, nullptr);
  std::string Name = Selected != nullptr ? Selected : "";
  if (IsPosixLocaleName(Name)) {
    Name.clear();
    for (const char* Variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
      const char* Value = std::getenv(Variable);
      if (Value != nullptr && *Value != '\0') {
        Name = Value;
        break;
      }
    }
  }
  if (IsPosixLocaleName(Name)) return {};
  // "de_DE.UTF-8@euro" -> "de_DE": ICU wants neither the codeset nor the modifier.
  return Name.substr(0, Name.find_first_of(".@"));
}

// A collator for Locale at Strength; the root collation if ICU does not know the locale, and
// null only when ICU has no collation data at all (comparisons then fall back to bytes).
CollatorPtr OpenCollator(const std::string& Locale, UColAttributeValue Strength) {
  UErrorCode Status = U_ZERO_ERROR;
  CollatorPtr Collator(ucol_open(Locale.c_str(), &Status));
  if (U_FAILURE(Status)) {
    Status = U_ZERO_ERROR;
    Collator.reset(ucol_open("", &Status));
    if (U_FAILURE(Status)) return nullptr;
  }
  ucol_setStrength(Collator.get(), Strength);
  return Collator;
}

struct Collators {
  CollatorPtr CaseSensitive;   // tertiary strength
  CollatorPtr CaseInsensitive; // secondary strength: case ignored, accents not
};

// Opening a collator is expensive and sorting compares millions of times: open both once per
// thread (an ICU collator must not be used by two threads at once).
const Collators& ThreadCollators() {
  static thread_local const Collators Instance = [] {
    const std::string Locale = CollationLocaleId();
    return Collators{OpenCollator(Locale, UCOL_TERTIARY), OpenCollator(Locale, UCOL_SECONDARY)};
  }();
  return Instance;
}

// The collator's verdict (-1, 0, 1); 0 also when it cannot judge, leaving the tie-break to
// the caller.
int Collate(const UCollator* Collator, std::string_view A, std::string_view B) {
  constexpr auto MaxLength = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  if (Collator == nullptr || A.size() > MaxLength || B.size() > MaxLength) return 0;
  UErrorCode Status = U_ZERO_ERROR;
  const UCollationResult Result =
      ucol_strcollUTF8(Collator, A.data(), static_cast<std::int32_t>(A.size()), B.data(),
                       static_cast<std::int32_t>(B.size()), &Status);
  if (U_FAILURE(Status)) return 0;
  return Result == UCOL_LESS ? -1 : (Result == UCOL_GREATER ? 1 : 0);
}

} // namespace

// ---- Trimming and case mapping ----------------------------------------------------------------

std::string Trim(const std::string& S) {
  std::size_t First = 0;
  std::size_t Last = S.size();
  while (First < Last && IsBlank(S[First])) ++First;
  while (Last > First && IsBlank(S[Last - 1])) --Last;
  return S.substr(First, Last - First);
}

std::string TrimLeft(const std::string& S) {
  std::size_t First = 0;
  while (First < S.size() && IsBlank(S[First])) ++First;
  return S.substr(First);
}

std::string TrimRight(const std::string& S) {
  std::size_t Last = S.size();
  while (Last > 0 && IsBlank(S[Last - 1])) --Last;
  return S.substr(0, Last);
}

std::string UpperCase(const std::string& S) {
  std::string Result = S;
  for (char& C : Result) C = AsciiUpper(C);
  return Result;
}

std::string LowerCase(const std::string& S) {
  std::string Result = S;
  for (char& C : Result) C = AsciiLower(C);
  return Result;
}

std::string AnsiUpperCase(const std::string& S) {
  std::string Result;
  Result.reserve(S.size());
  const std::string_view Text(S);
  std::size_t Pos = 0;
  char Step[MaxStepBytes];
  while (Pos < Text.size()) {
    if (IsAscii(Text[Pos])) {
      Result.push_back(AsciiUpper(Text[Pos++]));
      continue;
    }
    Result.append(Step, UpperCaseStep(Text, Pos, Step));
  }
  return Result;
}

// ---- Comparisons --------------------------------------------------------------------------------

int AnsiCompareStr(const std::string& A, const std::string& B) {
  if (A == B) return 0; // the collator would call them equal and the bytes agree
  const int Result = Collate(ThreadCollators().CaseSensitive.get(), A, B);
  return Result != 0 ? Result : CompareBytes(A, B);
}

int AnsiCompareText(const std::string& A, const std::string& B) {
  if (A == B) return 0;
  const int Result = Collate(ThreadCollators().CaseInsensitive.get(), A, B);
  return Result != 0 ? Result : CompareUpperCased(A, B);
}

namespace {

// Whether Collator orders the probe texts (ASCII digits and letters of one case, listed in
// byte order) as their bytes. Catches what the attribute checks cannot name, such as two
// letters that a locale treats as one.
bool ProbesCollateAsBytes(const UCollator* Collator) {
  static constexpr std::string_view Upper[] = {
      "",  "0",  "00", "09", "1", "10", "9", "90", "99", "A",  "A0", "AA", "AB", "AE",
      "B", "C",  "CH", "CZ", "D", "DZ", "I", "IJ", "L",  "LL", "N",  "NG", "O",  "OE",
      "S", "SS", "T",  "TH", "U", "V",  "W", "X",  "Y",  "Z",  "Z9", "ZZ"};
  static constexpr std::string_view Lower[] = {"",   "0",  "9", "a", "aa", "ch", "i",
                                               "ij", "ll", "v", "w", "y",  "z"};
  for (const auto& List :
       {std::span<const std::string_view>(Upper), std::span<const std::string_view>(Lower)})
    for (std::size_t I = 1; I < List.size(); ++I)
      if (Collate(Collator, List[I - 1], List[I]) >= 0) return false;
  return true;
}

// True when the collator is the untailored root collation in the respects that matter to
// digits and letters: no tailoring rules, no script reordering, no numeric ordering.
bool UntailoredForPlainTexts(const UCollator* Collator) {
  std::int32_t RulesLength = 0;
  ucol_getRules(Collator, &RulesLength);
  if (RulesLength != 0) return false;
  UErrorCode Status = U_ZERO_ERROR;
  const std::int32_t Reorderings = ucol_getReorderCodes(Collator, nullptr, 0, &Status);
  if (Reorderings != 0) return false;
  Status = U_ZERO_ERROR;
  const UColAttributeValue Numeric = ucol_getAttribute(Collator, UCOL_NUMERIC_COLLATION, &Status);
  return U_SUCCESS(Status) && Numeric == UCOL_OFF && ProbesCollateAsBytes(Collator);
}

} // namespace

bool PlainTextsCollateAsBytes() {
  static thread_local const bool Agrees = [] {
    const Collators& Both = ThreadCollators();
    for (const UCollator* Collator : {Both.CaseSensitive.get(), Both.CaseInsensitive.get()})
      if (Collator && !UntailoredForPlainTexts(Collator)) return false;
    return true;
  }();
  return Agrees;
}

void AppendAnsiSortKey(std::string& Out, std::string_view Text, bool CaseInsensitive) {
  const Collators& Both = ThreadCollators();
  const UCollator* Collator =
      CaseInsensitive ? Both.CaseInsensitive.get() : Both.CaseSensitive.get();
  thread_local std::vector<UChar> Wide;
  thread_local std::vector<std::uint8_t> Key;
  if (Collator &&
      Text.size() < static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2)) {
    Wide.resize(Text.size() + 1);
    UErrorCode Status = U_ZERO_ERROR;
    std::int32_t WideLength = 0;
    // ASCII text widens byte by byte; anything else goes through ICU's converter.
    std::size_t Ascii = 0;
    while (Ascii < Text.size() && IsAscii(Text[Ascii])) {
      Wide[Ascii] = static_cast<UChar>(Text[Ascii]);
      ++Ascii;
    }
    if (Ascii == Text.size())
      WideLength = static_cast<std::int32_t>(Ascii);
    else
      u_strFromUTF8WithSub(Wide.data(), static_cast<std::int32_t>(Wide.size()), &WideLength,
                           Text.data(), static_cast<std::int32_t>(Text.size()), 0xFFFD, nullptr,
                           &Status);
    if (U_SUCCESS(Status)) {
      if (Key.size() < 64) Key.resize(64);
      std::int32_t Length = ucol_getSortKey(Collator, Wide.data(), WideLength, Key.data(),
                                            static_cast<std::int32_t>(Key.size()));
      if (Length > static_cast<std::int32_t>(Key.size())) {
        Key.resize(static_cast<std::size_t>(Length));
        Length = ucol_getSortKey(Collator, Wide.data(), WideLength, Key.data(), Length);
      }
      // The key ends with its one zero byte, which also separates it from the tie-break.
      Out.append(reinterpret_cast<const char*>(Key.data()), static_cast<std::size_t>(Length));
    } else {
      Out.push_back('\0');
    }
  } else {
    Out.push_back('\0');
  }
  // Texts the collator calls equal are ordered by their bytes (upper-cased when case is
  // ignored), as the comparisons break ties.
  if (CaseInsensitive)
    Out.append(AnsiUpperCase(std::string(Text)));
  else
    Out.append(Text);
}

bool AnsiSameText(const std::string& A, const std::string& B) {
  return CompareUpperCased(A, B) == 0;
}

int CompareText(const std::string& A, const std::string& B) {
  const std::size_t Common = std::min(A.size(), B.size());
  for (std::size_t I = 0; I < Common; ++I) {
    const int UpperA = static_cast<unsigned char>(AsciiUpper(A[I]));
    const int UpperB = static_cast<unsigned char>(AsciiUpper(B[I]));
    if (UpperA != UpperB) return UpperA - UpperB;
  }
  // Texts longer than INT_MAX bytes only need the sign to be right.
  if (A.size() == B.size()) return 0;
  const std::size_t Difference = A.size() > B.size() ? A.size() - B.size() : B.size() - A.size();
  const int Magnitude =
      static_cast<int>(std::min<std::size_t>(Difference, std::numeric_limits<int>::max()));
  return A.size() > B.size() ? Magnitude : -Magnitude;
}

std::int32_t AnsiPos(const std::string& SubStr, const std::string& S) {
  if (SubStr.empty()) return 0;
  const std::size_t Found = S.find(SubStr);
  if (Found == std::string::npos) return 0;
  return static_cast<std::int32_t>(Found + 1);
}

// ---- UTF-8 truncation ---------------------------------------------------------------------------

std::size_t Utf8TruncatedLength(const char* Text, std::size_t Length, std::size_t MaxBytes) {
  const std::size_t Cut = std::min(Length, MaxBytes);
  // Walk back over the continuation bytes (at most three) of the last character to its lead.
  std::size_t LeadEnd = Cut;
  std::size_t Continuations = 0;
  while (LeadEnd > 0 && Continuations < 3 && IsContinuationByte(Text[LeadEnd - 1])) {
    --LeadEnd;
    ++Continuations;
  }
  if (LeadEnd == 0 || IsContinuationByte(Text[LeadEnd - 1])) return Cut; // stray bytes: kept
  // Only C2..F4 start a multi-byte character; C0, C1 and F5..FF are lone invalid bytes.
  const auto Lead = static_cast<unsigned char>(Text[LeadEnd - 1]);
  std::size_t Announced = 1;
  if (Lead >= 0xF0 && Lead <= 0xF4)
    Announced = 4;
  else if (Lead >= 0xE0 && Lead <= 0xEF)
    Announced = 3;
  else if (Lead >= 0xC2 && Lead <= 0xDF)
    Announced = 2;
  // A character the cut (or the end of the text) leaves incomplete is dropped entirely.
  return Continuations + 1 < Announced ? LeadEnd - 1 : Cut;
}

std::string Utf8Truncate(const std::string& S, std::size_t MaxBytes) {
  return S.substr(0, Utf8TruncatedLength(S.data(), S.size(), MaxBytes));
}

} // namespace kelva
