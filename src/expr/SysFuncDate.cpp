// Built-in functions: dates and times. A date-time is a real counting days
// from 30 December 1899; the fraction is the time of day. Negative values
// count the days backwards, the fraction still being the time of day.
#include <cmath>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/SysFuncBuiltins.h"

namespace zuno {

using namespace sysfunc;

namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

const int64_t kEpoch = daysFromCivil(1899, 12, 30);

struct TDecoded {
    int64_t days;           // whole days from the epoch (toward zero)
    int64_t msOfDay;        // time of day in milliseconds
};

TDecoded decode(TReal dt) {
    if (!std::isfinite(dt) || std::fabs(dt) > 1e9)
        throw EZunoError::fromUtf8("不正な浮動小数点演算です");
    int64_t ms = std::llround(dt * kMsPerDay);
    return {ms / kMsPerDay, (ms < 0 ? -ms : ms) % kMsPerDay};
}

// Year, month, day of a date-time; 0, 0, 0 before 1 January of year 1.
void decodeDate(TReal dt, int32_t& y, int32_t& m, int32_t& d) {
    TDecoded x = decode(dt);
    int64_t civil = kEpoch + x.days;
    if (civil < daysFromCivil(1, 1, 1)) {
        y = m = d = 0;
        return;
    }
    int64_t yy;
    unsigned mm, dd;
    civilFromDays(civil, yy, mm, dd);
    y = static_cast<int32_t>(yy);
    m = static_cast<int32_t>(mm);
    d = static_cast<int32_t>(dd);
}

void decodeTime(TReal dt, int32_t& h, int32_t& mi, int32_t& s) {
    int64_t ms = decode(dt).msOfDay;
    h = static_cast<int32_t>(ms / 3600000);
    mi = static_cast<int32_t>(ms / 60000 % 60);
    s = static_cast<int32_t>(ms / 1000 % 60);
}

// 1 = Sunday ... 7 = Saturday.
int32_t weekOf(TReal dt) {
    int64_t days = decode(dt).days;          // day 0 is a Saturday
    return static_cast<int32_t>(((days + 6) % 7 + 7) % 7 + 1);
}

bool isLeap(int32_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

void fEncodeDate(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    int32_t y = intArg(a, 0), m = intArg(a, 1), d = intArg(a, 2);
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1] + (m == 2 && isLeap(y) ? 1 : 0))
        throw EZunoError::fromUtf8("日付のエンコードに対する引数が不正です");
    R.SetFloat(static_cast<TReal>(daysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) - kEpoch));
}

void fEncodeTime(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    int32_t h = intArg(a, 0), m = intArg(a, 1), s = intArg(a, 2);
    if (h < 0 || h >= 24 || m < 0 || m >= 60 || s < 0 || s >= 60)
        throw EZunoError::fromUtf8("時刻のエンコードに対する引数が不正です");
    R.SetFloat(static_cast<TReal>(h * 3600000 + m * 60000 + s * 1000) / kMsPerDay);
}

void fDecodeDate(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    int32_t y, m, d;
    decodeDate(a[0]->AsFloat(), y, m, d);
    a[1]->SetInteger(y);
    a[2]->SetInteger(m);
    a[3]->SetInteger(d);
}

void fDecodeTime(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    int32_t h, m, s;
    decodeTime(a[0]->AsFloat(), h, m, s);
    a[1]->SetInteger(h);
    a[2]->SetInteger(m);
    a[3]->SetInteger(s);
}

template <int Part>
void datePart(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    int32_t v[3];
    if (Part < 3)
        decodeDate(a[0]->AsFloat(), v[0], v[1], v[2]);
    else
        decodeTime(a[0]->AsFloat(), v[0], v[1], v[2]);
    R.SetInteger(v[Part % 3]);
}

void fGetWeek(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetInteger(weekOf(a[0]->AsFloat())); }

void fGetWeekStr(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    static const char* const kNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                          "Saturday"};
    R.SetString(kNames[weekOf(a[0]->AsFloat()) - 1]);
}

void fGetWeekJStr(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    static const char* const kNames[7] = {"日", "月", "火", "水", "木", "金", "土"};
    R.SetString(sjis(kNames[weekOf(a[0]->AsFloat()) - 1]));
}

} // namespace

void registerDateFuncs(TBuiltinTable& t) {
    t[51] = fEncodeDate;
    t[52] = fEncodeTime;
    t[53] = fDecodeDate;
    t[54] = fDecodeTime;
    t[55] = datePart<0>;
    t[56] = datePart<1>;
    t[57] = datePart<2>;
    t[58] = datePart<3>;
    t[59] = datePart<4>;
    t[60] = datePart<5>;
    t[61] = fGetWeek;
    t[62] = fGetWeekStr;
    t[63] = fGetWeekJStr;
}

} // namespace zuno
