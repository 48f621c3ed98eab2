// Date and time conversions: the time-stamp vector table, round trips
// of times of day, day numbers and random time stamps (negative date-time numbers
// included, also through FloatToStr/StrToFloat), the calendar checked against
// std::chrono, and the text forms with their errors.
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "support/Joined.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <string>

using namespace kelva;

using kelva::testing::Joined;

namespace {

struct SettingsGuard {
  TFormatSettings Saved = FormatSettings;
  ~SettingsGuard() { FormatSettings = Saved; }
};

template <class F>
std::string ConvertErrorOf(F&& Call) {
  try {
    Call();
  } catch (const EConvertError& E) {
    return E.Message();
  }
  return "<no EConvertError>";
}

void ExpectStamp(const TTimeStamp& Actual, std::int32_t Date, std::int32_t Time) {
  EXPECT_EQ(Actual.Date, Date);
  EXPECT_EQ(Actual.Time, Time);
}

constexpr std::int32_t FirstDay = 1;      // 0001-01-01
constexpr std::int32_t LastDay = 3652059; // 9999-12-31

// ---- Time stamps

TEST(TimeStampTest, DateTimeToTimeStampVectorTable) {
  ExpectStamp(DateTimeToTimeStamp(36526.0), 730120, 0);
  ExpectStamp(DateTimeToTimeStamp(0.0), 693594, 0);
  ExpectStamp(DateTimeToTimeStamp(0.25), 693594, 21600000);
  ExpectStamp(DateTimeToTimeStamp(36526.524268391), 730120, 45296789);
  ExpectStamp(DateTimeToTimeStamp(-1.25), 693593, 21600000);
  ExpectStamp(DateTimeToTimeStamp(-0.5), 693594, 43200000);
  ExpectStamp(DateTimeToTimeStamp(-693594.25), 0, 21600000);
  ExpectStamp(DateTimeToTimeStamp(-693593.75), 1, 64800000);
}

TEST(TimeStampTest, TimeStampToDateTimeVectorTable) {
  EXPECT_EQ(TimeStampToDateTime({0, 730120}), 36526.0);
  EXPECT_EQ(TimeStampToDateTime({21600000, 0}), -693594.25);
  EXPECT_EQ(TimeStampToDateTime({0, 0}), -693594.0);
  EXPECT_EQ(TimeStampToDateTime({21600000, 693593}), -1.25);
  EXPECT_EQ(TimeStampToDateTime({43200000, 693594}), 0.5);
}

TEST(TimeStampTest, MSecsVectorTable) {
  EXPECT_EQ(TimeStampToMSecs({0, 730120}), 63082368000000);
  ExpectStamp(MSecsToTimeStamp(63082411200000), 730120, 43200000);
}

TEST(TimeStampTest, MillisecondRounding) {
  // Halves of a millisecond round away from zero; the time is that of the magnitude.
  // 1/2048 of a day is exactly 42187.5 ms.
  ExpectStamp(DateTimeToTimeStamp(1.0 / 2048), DateDelta, 42188);
  ExpectStamp(DateTimeToTimeStamp(-1.0 / 2048), DateDelta, 42188);
  ExpectStamp(DateTimeToTimeStamp(3.0 / 2048), DateDelta, 126563); // 126562.5
  ExpectStamp(DateTimeToTimeStamp(0.4 / MSecsPerDay), DateDelta, 0);
  ExpectStamp(DateTimeToTimeStamp(0.99999999999), DateDelta + 1, 0);
  ExpectStamp(DateTimeToTimeStamp(-0.99999999999), DateDelta - 1, 0);
}

TEST(TimeStampTest, OutOfRangeNumbersRaise) {
  EXPECT_EQ(ConvertErrorOf([] { DateTimeToTimeStamp(1e300); }),
            "'1E300' is not a valid date and time");
  EXPECT_EQ(ConvertErrorOf([] { DateTimeToTimeStamp(std::nan("")); }),
            "'NAN' is not a valid date and time");
  EXPECT_EQ(ConvertErrorOf([] { DateTimeToTimeStamp(3e9); }),
            "'3000000000' is not a valid date and time"); // the day number exceeds 32 bits
  EXPECT_EQ(ConvertErrorOf([] { MSecsToTimeStamp(std::numeric_limits<std::int64_t>::max()); }),
            "'9223372036854775807' is not a valid date and time");
}

TEST(TimeStampTest, MSecsInvertTimeStampToMSecs) {
  std::mt19937 Random(21);
  std::uniform_int_distribution<std::int32_t> Date(-5000000, 5000000), Time(0, MSecsPerDay - 1);
  for (int I = 0; I < 100000; ++I) {
    const TTimeStamp Stamp{Time(Random), Date(Random)};
    const TTimeStamp Back = MSecsToTimeStamp(TimeStampToMSecs(Stamp));
    ASSERT_EQ(Back.Date, Stamp.Date);
    ASSERT_EQ(Back.Time, Stamp.Time);
  }
  ExpectStamp(MSecsToTimeStamp(-1), -1, MSecsPerDay - 1);
  ExpectStamp(MSecsToTimeStamp(0), 0, 0);
}

// A time stamp kept as a date-time number, optionally through its text, and read back.
TTimeStamp Reread(const TTimeStamp& Stamp, bool ThroughText) {
  TDateTime Value = TimeStampToDateTime(Stamp);
  if (ThroughText) Value = StrToFloat(FloatToStr(Value));
  return DateTimeToTimeStamp(Value);
}

TEST(TimeStampRoundTripTest, EveryTimeOfDay) {
  // 86.4 million cases: count the failures instead of asserting each one.
  std::int64_t Failures = 0;
  std::int32_t FirstFailure = -1;
  for (std::int32_t T = 0; T < MSecsPerDay; ++T) {
    const TTimeStamp Back = Reread({T, 0}, false);
    if (Back.Time != T || Back.Date != 0) {
      if (Failures++ == 0) FirstFailure = T;
    }
  }
  EXPECT_EQ(Failures, 0) << "first failing time " << FirstFailure;
}

TEST(TimeStampRoundTripTest, TimesOfDayThroughText) {
  // Every millisecond of the first and last minute and around noon, and random ones.
  auto Check = [](std::int32_t T) {
    const TTimeStamp Back = Reread({T, 0}, true);
    ASSERT_EQ(Back.Time, T) << FloatToStr(TimeStampToDateTime({T, 0}));
    ASSERT_EQ(Back.Date, 0);
  };
  for (std::int32_t T = 0; T < 60000; ++T) Check(T);
  for (std::int32_t T = MSecsPerDay - 60000; T < MSecsPerDay; ++T) Check(T);
  for (std::int32_t T = MSecsPerDay / 2 - 30000; T < MSecsPerDay / 2 + 30000; ++T) Check(T);
  std::mt19937 Random(22);
  std::uniform_int_distribution<std::int32_t> Time(0, MSecsPerDay - 1);
  for (int I = 0; I < 300000; ++I) Check(Time(Random));
}

TEST(TimeStampRoundTripTest, EveryDayNumber) {
  for (std::int32_t D = FirstDay - 1; D <= LastDay; ++D) {
    ASSERT_EQ(Reread({0, D}, false).Date, D);
    if (D % 97 == 0) { // every 97th day also through its text
      const TTimeStamp Back = Reread({0, D}, true);
      ASSERT_EQ(Back.Date, D);
      ASSERT_EQ(Back.Time, 0);
    }
  }
}

TEST(TimeStampRoundTripTest, RandomStampsThroughText) {
  // Dates before 30 December 1899 give negative date-time numbers.
  std::mt19937 Random(23);
  std::uniform_int_distribution<std::int32_t> Date(FirstDay, LastDay), Time(0, MSecsPerDay - 1);
  int Negative = 0;
  for (int I = 0; I < 300000; ++I) {
    const TTimeStamp Stamp{Time(Random), Date(Random)};
    if (TimeStampToDateTime(Stamp) < 0) ++Negative;
    const TTimeStamp Back = Reread(Stamp, true);
    ASSERT_EQ(Back.Date, Stamp.Date) << FloatToStr(TimeStampToDateTime(Stamp));
    ASSERT_EQ(Back.Time, Stamp.Time) << FloatToStr(TimeStampToDateTime(Stamp));
  }
  EXPECT_GT(Negative, 30000);
}

TEST(TimeStampRoundTripTest, RandomNegativeDateTimeNumbers) {
  std::mt19937 Random(24);
  std::uniform_int_distribution<std::int32_t> Days(-693593, -1), Time(0, MSecsPerDay - 1);
  for (int I = 0; I < 100000; ++I) {
    const std::int32_t D = Days(Random), T = Time(Random);
    const TDateTime Value = D - T / static_cast<double>(MSecsPerDay); // day D, time T
    const TTimeStamp Stamp = DateTimeToTimeStamp(StrToFloat(FloatToStr(Value)));
    ASSERT_EQ(Stamp.Date, DateDelta + D);
    ASSERT_EQ(Stamp.Time, T);
    ASSERT_EQ(TimeStampToDateTime(Stamp), Value);
  }
}

// ---- Encoding and decoding

TEST(EncodeDateTest, Vectors) {
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), LastDay - DateDelta);
  EXPECT_EQ(EncodeDate(2000, 2, 29), 36585);
}

TEST(EncodeDateTest, InvalidArguments) {
  const int Invalid[][3] = {{0, 1, 1},     {10000, 1, 1}, {2000, 0, 1},  {2000, 13, 1},
                            {2000, 1, 0},  {2000, 1, 32}, {1900, 2, 29}, {2100, 2, 29},
                            {2001, 2, 29}, {2000, 4, 31}, {-1, 1, 1},    {2000, 2, 30}};
  for (const auto& D : Invalid)
    EXPECT_EQ(ConvertErrorOf([&] { EncodeDate(D[0], D[1], D[2]); }),
              "Invalid argument to date encode")
        << D[0] << "-" << D[1] << "-" << D[2];
}

TEST(EncodeDateTest, AgreesWithChronoForEveryDay) {
  using namespace std::chrono;
  const sys_days Epoch = year{1899} / December / 30;
  for (sys_days Day = year{1} / January / 1; Day <= sys_days(year{9999} / December / 31);
       Day += days{1}) {
    const year_month_day Civil(Day);
    const int Y = static_cast<int>(Civil.year()), M = static_cast<int>(unsigned(Civil.month())),
              D = static_cast<int>(unsigned(Civil.day()));
    const TDateTime Value = EncodeDate(Y, M, D);
    ASSERT_EQ(Value, (Day - Epoch).count());
    int Y2, M2, D2;
    DecodeDate(Value, Y2, M2, D2);
    ASSERT_EQ(Y2, Y);
    ASSERT_EQ(M2, M);
    ASSERT_EQ(D2, D);
  }
}

TEST(EncodeTimeTest, VectorsAndErrors) {
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0.0);
  EXPECT_EQ(EncodeTime(12, 34, 56, 789), 45296789 / 86400000.0);
  EXPECT_EQ(EncodeTime(23, 59, 59, 999), 86399999 / 86400000.0);
  const int Invalid[][4] = {{24, 0, 0, 0},   {0, 60, 0, 0}, {0, 0, 60, 0},
                            {0, 0, 0, 1000}, {-1, 0, 0, 0}, {0, 0, 0, -1}};
  for (const auto& T : Invalid)
    EXPECT_EQ(ConvertErrorOf([&] { EncodeTime(T[0], T[1], T[2], T[3]); }),
              "Invalid argument to time encode");
}

TEST(DecodeTest, NegativeValuesAndTimes) {
  int Y, M, D, H, N, S, MS;
  DecodeDate(-1.25, Y, M, D);
  EXPECT_EQ(Y * 10000 + M * 100 + D, 18991229);
  DecodeTime(-1.25, H, N, S, MS);
  EXPECT_EQ(H, 6);
  EXPECT_EQ(N + S + MS, 0);
  DecodeTime(36526.524268391, H, N, S, MS);
  EXPECT_EQ(H * 10000000 + N * 100000 + S * 1000 + MS, 123456789);
  DecodeTime(-0.75, H, N, S, MS); // 30 December 1899 18:00
  EXPECT_EQ(H, 18);
  DecodeDate(-0.75, Y, M, D);
  EXPECT_EQ(Y * 10000 + M * 100 + D, 18991230);
  DecodeDate(-693594.0, Y, M, D); // before 1 January 0001
  EXPECT_EQ(Y + M + D, 0);
  DecodeDate(0.99999999999, Y, M, D); // rounds to the next midnight
  EXPECT_EQ(Y * 10000 + M * 100 + D, 18991231);
}

TEST(DecodeTest, EveryMillisecondOfTheDayViaEncodeTime) {
  std::mt19937 Random(25);
  std::uniform_int_distribution<int> Hour(0, 23), Sixty(0, 59), Milli(0, 999);
  for (int I = 0; I < 100000; ++I) {
    const int H = Hour(Random), N = Sixty(Random), S = Sixty(Random), MS = Milli(Random);
    int H2, N2, S2, MS2;
    DecodeTime(EncodeDate(1950, 6, 15) + EncodeTime(H, N, S, MS), H2, N2, S2, MS2);
    ASSERT_EQ(H2 * 10000000 + N2 * 100000 + S2 * 1000 + MS2,
              H * 10000000 + N * 100000 + S * 1000 + MS);
  }
}

// ---- Text forms

TEST(DateTextTest, DefaultSettingsVectors) {
  EXPECT_EQ(DateToStr(36526.25), "2000-01-01");
  EXPECT_EQ(TimeToStr(0.25), "06:00:00");
  EXPECT_EQ(DateTimeToStr(36526.25), "2000-01-01 06:00:00");
  EXPECT_EQ(DateTimeToStr(36526.0), "2000-01-01");
  EXPECT_EQ(DateTimeToStr(-1.25), "1899-12-29 06:00:00");
  EXPECT_EQ(DateTimeToStr(EncodeDate(1, 1, 1) - EncodeTime(23, 59, 59, 0)), "0001-01-01 23:59:59");
  EXPECT_EQ(TimeToStr(EncodeTime(13, 5, 9, 999)), "13:05:09"); // milliseconds are not shown
  EXPECT_EQ(DateTimeToStr(36526.0 + 1.0 / MSecsPerDay), "2000-01-01 00:00:00");
}

TEST(DateTextTest, FormatTokensAndSeparators) {
  SettingsGuard Guard;
  const TDateTime Value = EncodeDate(2007, 3, 4) + EncodeTime(5, 6, 7, 8);
  FormatSettings.ShortDateFormat = "d/m/yy";
  FormatSettings.LongTimeFormat = "h:n:s.z";
  EXPECT_EQ(DateTimeToStr(Value), "4/3/07 5:6:7.8");
  FormatSettings.ShortDateFormat = "DD.MM.YYYY";
  FormatSettings.LongTimeFormat = "hh:nn:ss.zzz";
  EXPECT_EQ(DateTimeToStr(Value), "04.03.2007 05:06:07.008");
  FormatSettings.ShortDateFormat = "yyyy-mm-dd";
  FormatSettings.DateSeparator = '/';
  FormatSettings.TimeSeparator = '.';
  EXPECT_EQ(DateToStr(Value), "2007/03/04");
  EXPECT_EQ(TimeToStr(Value), "05.06.07.008");
}

TEST(DateTextTest, StrToDate) {
  EXPECT_EQ(StrToDate("2000-01-01"), 36526);
  EXPECT_EQ(StrToDate("  2000-1-1  "), 36526);
  EXPECT_EQ(StrToDate("1899-12-30"), 0);
  EXPECT_EQ(StrToDate("0001-01-01"), -693593);
  EXPECT_EQ(StrToDate("49-01-01"), EncodeDate(2049, 1, 1)); // two-digit years
  EXPECT_EQ(StrToDate("50-01-01"), EncodeDate(1950, 1, 1));
  EXPECT_EQ(StrToDate("00-02-29"), EncodeDate(2000, 2, 29));
  EXPECT_EQ(StrToDate("5-01-01"), EncodeDate(2005, 1, 1));
  EXPECT_EQ(StrToDate("005-01-01"), EncodeDate(5, 1, 1)); // three digits: as written
  for (const char* Text :
       {"", "2000-01", "2000-01-01-", "2000/01/01", "2000-13-01", "2000-02-30", "10000-01-01",
        "0000-01-01", "x2000-01-01", "2000--01", "2000-01-01 06:00", "2000-01-\t01", "+2000-01-01"})
    EXPECT_EQ(ConvertErrorOf([&] { StrToDate(Text); }), Joined("'", Text, "' is not a valid date"))
        << Text;
}

TEST(DateTextTest, StrToDateFollowsTheFormatOrder) {
  SettingsGuard Guard;
  FormatSettings.ShortDateFormat = "dd/mm/yyyy";
  FormatSettings.DateSeparator = '/';
  EXPECT_EQ(StrToDate("04/03/2007"), EncodeDate(2007, 3, 4));
  EXPECT_EQ(DateToStr(StrToDate("31/12/1999")), "31/12/1999");
  EXPECT_EQ(ConvertErrorOf([] { StrToDate("2007-03-04"); }), "'2007-03-04' is not a valid date");
  FormatSettings.ShortDateFormat = "m.d.yy";
  FormatSettings.DateSeparator = '.';
  EXPECT_EQ(StrToDate("12.31.99"), EncodeDate(1999, 12, 31));
}

TEST(DateTextTest, StrToTime) {
  EXPECT_EQ(StrToTime("06:00:00"), 0.25);
  EXPECT_EQ(StrToTime("6:00"), 0.25);
  EXPECT_EQ(StrToTime(" 12:34:56.789 "), EncodeTime(12, 34, 56, 789));
  EXPECT_EQ(StrToTime("0:0:0.5"), EncodeTime(0, 0, 0, 5)); // zzz counts milliseconds
  EXPECT_EQ(StrToTime("23:59:59.999"), 86399999 / 86400000.0);
  for (const char* Text : {"", "6", "24:00", "12:60", "12:00:60", "12:00:00.1000", "12:00.5",
                           "12:00:", "12::00", "-1:00", "12:00 pm", "12.00", "12:00:00."})
    EXPECT_EQ(ConvertErrorOf([&] { StrToTime(Text); }), Joined("'", Text, "' is not a valid time"))
        << Text;
  SettingsGuard Guard;
  FormatSettings.TimeSeparator = '.';
  EXPECT_EQ(StrToTime("06.30"), EncodeTime(6, 30, 0, 0));
}

TEST(DateTextTest, StrToDateTime) {
  EXPECT_EQ(StrToDateTime("2000-01-01 06:00:00"), 36526.25);
  EXPECT_EQ(StrToDateTime("  2000-01-01    06:00  "), 36526.25);
  EXPECT_EQ(StrToDateTime("2000-01-01"), 36526);
  EXPECT_EQ(StrToDateTime("06:00"), 0.25);
  EXPECT_EQ(StrToDateTime("1899-12-29 06:00"), -1.25); // the time of day of a negative date
  EXPECT_EQ(DateTimeToStr(StrToDateTime("1899-12-29 06:00")), "1899-12-29 06:00:00");
  TDateTime Value = 7;
  EXPECT_TRUE(TryStrToDateTime("2000-01-01 06:00:00", Value));
  EXPECT_EQ(Value, 36526.25);
  for (const char* Text : {"", " ", "2000-01-01 x", "06:00 2000-01-01", "2000-01-01T06:00",
                           "2000-01-01 24:00", "2000-02-30 06:00", "abc"}) {
    EXPECT_EQ(ConvertErrorOf([&] { StrToDateTime(Text); }),
              Joined("'", Text, "' is not a valid date and time"))
        << Text;
    Value = 7;
    EXPECT_FALSE(TryStrToDateTime(Text, Value)) << Text;
    EXPECT_EQ(Value, 7);
  }
}

TEST(DateTextTest, RandomTextRoundTrip) {
  // DateTimeToStr and StrToDateTime invert each other to the second.
  std::mt19937 Random(26);
  std::uniform_int_distribution<std::int32_t> Date(FirstDay, LastDay), Seconds(0, 86399);
  for (int I = 0; I < 50000; ++I) {
    const TTimeStamp Stamp{Seconds(Random) * 1000, Date(Random)};
    const TDateTime Value = TimeStampToDateTime(Stamp);
    const TTimeStamp Back = DateTimeToTimeStamp(StrToDateTime(DateTimeToStr(Value)));
    ASSERT_EQ(Back.Date, Stamp.Date) << DateTimeToStr(Value);
    ASSERT_EQ(Back.Time, Stamp.Time) << DateTimeToStr(Value);
  }
}

} // namespace
