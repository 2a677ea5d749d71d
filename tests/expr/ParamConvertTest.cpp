// Conversions of the value types: the text parsers, the real format, and
// reading/storing every type through every element type.
#include <gtest/gtest.h>

#include <cmath>

#include "core/EZunoError.h"
#include "core/TExtended.h"
#include "expr/ParamConvert.h"
#include "expr/TCustomParam.h"

using namespace zuno;

TEST(ParamConvert, IntegerParse) {
    struct Case { const char* text; bool ok; int32_t value; };
    const Case cases[] = {
        {"0", true, 0},           {"123", true, 123},        {"-7", true, -7},
        {"+5", true, 5},          {"  42", true, 42},        {"42 ", false, 0},
        {"2147483647", true, 2147483647}, {"2147483648", false, 0},
        {"-2147483648", true, INT32_MIN}, {"-2147483649", false, 0},
        {"$FF", true, 255},       {"0x10", true, 16},        {"$FFFFFFFF", true, -1},
        {"$100000000", false, 0}, {"", false, 0},            {"-", false, 0},
        {"1.5", false, 0},        {"abc", false, 0},         {"12a", false, 0},
        {"TRUE", false, 0},
    };
    for (const Case& c : cases) {
        auto v = tryStrToInt(c.text);
        EXPECT_EQ(v.has_value(), c.ok) << c.text;
        if (c.ok && v) {
            EXPECT_EQ(*v, c.value) << c.text;
        }
    }
}

TEST(ParamConvert, RealParse) {
    struct Case { const char* text; bool ok; double value; };
    const Case cases[] = {
        {"1.5", true, 1.5},   {"-0.25", true, -0.25}, {" 3 ", true, 3},  {".5", true, 0.5},
        {"5.", true, 5},      {"1e3", true, 1000},    {"2.5E-2", true, 0.025},
        {"1e", false, 0},     {"e5", false, 0},       {"1,5", false, 0}, {"", false, 0},
        {"abc", false, 0},    {"1e99999", false, 0},  {"1.5x", false, 0},
    };
    for (const Case& c : cases) {
        auto v = tryStrToFloat(c.text);
        EXPECT_EQ(v.has_value(), c.ok) << c.text;
        if (c.ok && v) {
            EXPECT_DOUBLE_EQ(static_cast<double>(*v), c.value) << c.text;
        }
    }
}

TEST(ParamConvert, RealFormat) {
    struct Case { TReal value; const char* text; };
    const Case cases[] = {
        {0, "0"},            {1, "1"},                  {-2.5L, "-2.5"},        {0.1L, "0.1"},
        {3.5L, "3.5"},       {100, "100"},              {1.0L / 3, "0.333333333333333"},
        {2.0L / 3, "0.666666666666667"},                {123456789012345.0L, "123456789012345"},
        {1e15L, "1E15"},     {1.5e20L, "1.5E20"},       {0.0001L, "0.0001"},    {0.00001L, "1E-5"},
        {1.25e-7L, "1.25E-7"}, {-1e-10L, "-1E-10"},     {1.1L, "1.1"},
        {INFINITY, "INF"},   {-INFINITY, "-INF"},       {NAN, "NAN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(floatToStr(c.value), c.text) << static_cast<double>(c.value);
}

TEST(ParamConvert, TruncationTowardZero) {
    EXPECT_EQ(truncToInt(2.9L), 2);
    EXPECT_EQ(truncToInt(-2.9L), -2);
    EXPECT_EQ(truncToInt(3.99L), 3);
    EXPECT_EQ(truncToInt(-3.99L), -3);
    EXPECT_EQ(truncToInt(4294967297.0L), 1);          // low 32 bits
    EXPECT_THROW(truncToInt(NAN), EZunoError);
    EXPECT_THROW(truncToInt(1e30L), EZunoError);
}

TEST(ParamConvert, ExtendedRoundTrip) {
    const TReal values[] = {0, 1, -1, 0.1L, 1.0L / 3, 1e-4000L, 1e4000L, INFINITY};
    for (TReal v : values) {
        TExtended x = realToExtended(v);
        EXPECT_EQ(extendedToReal(x), v);
        EXPECT_EQ(realToExtended(extendedToReal(x)), x);
    }
    // 1.0 in the stored form: integer bit set, exponent 16383.
    TExtended one = realToExtended(1);
    EXPECT_EQ(one.mantissa, uint64_t(1) << 63);
    EXPECT_EQ(one.signExponent, 16383);
}

// Store one value of each supplied type into each element type and read it
// back as all four types.
TEST(ParamConvert, StoreAndReadAcrossTypes) {
    struct Case {
        uint8_t elementType;
        int supplied;           // 1 int, 2 real, 3 flag, 4 text
        int32_t i; TReal f; bool b; const char* s;
        int32_t asInt; double asFloat; bool asBool; const char* asStr;
    };
    const Case cases[] = {
        // int32 element
        {PT_INT, 1, 42, 0, false, "", 42, 42, true, "42"},
        {PT_INT, 2, 0, 3.99L, false, "", 3, 3, true, "3"},
        {PT_INT, 2, 0, -3.99L, false, "", -3, -3, true, "-3"},
        {PT_INT, 3, 0, 0, true, "", 1, 1, true, "1"},
        {PT_INT, 4, 0, 0, false, "17", 17, 17, true, "17"},
        {PT_INT, 4, 0, 0, false, "x17", 0, 0, false, "0"},
        {PT_INT, 4, 0, 0, false, "1.5", 0, 0, false, "0"},
        // real element
        {PT_FLOAT, 1, 7, 0, false, "", 7, 7, true, "7"},
        {PT_FLOAT, 2, 0, 2.5L, false, "", 2, 2.5, true, "2.5"},
        {PT_FLOAT, 3, 0, 0, true, "", 1, 1, true, "1"},
        {PT_FLOAT, 4, 0, 0, false, "-1.25", -1, -1.25, true, "-1.25"},
        {PT_FLOAT, 4, 0, 0, false, "nope", 0, 0, false, "0"},
        // flag element
        {PT_BOOL, 1, 5, 0, false, "", 1, 1, true, "TRUE"},
        {PT_BOOL, 1, 0, 0, false, "", 0, 0, false, "FALSE"},
        {PT_BOOL, 2, 0, 0.5L, false, "", 1, 1, true, "TRUE"},
        {PT_BOOL, 4, 0, 0, false, "TRUE", 1, 1, true, "TRUE"},
        {PT_BOOL, 4, 0, 0, false, "true", 0, 0, false, "FALSE"},
        {PT_BOOL, 4, 0, 0, false, "1", 0, 0, false, "FALSE"},
        // text element
        {PT_STR, 1, -12, 0, false, "", -12, -12, false, "-12"},
        {PT_STR, 2, 0, 0.5L, false, "", 0, 0.5, false, "0.5"},
        {PT_STR, 3, 0, 0, true, "", 0, 0, true, "TRUE"},
        {PT_STR, 3, 0, 0, false, "", 0, 0, false, "FALSE"},
        {PT_STR, 4, 0, 0, false, "3.5", 0, 3.5, false, "3.5"},
        {PT_STR, 4, 0, 0, false, "12", 12, 12, false, "12"},
    };
    for (const Case& c : cases) {
        auto v = TCustomParam::CreateParam(c.elementType);
        switch (c.supplied) {
        case 1: v->SetInteger(c.i); break;
        case 2: v->SetFloat(c.f); break;
        case 3: v->SetBoolean(c.b); break;
        default: v->SetString(c.s); break;
        }
        SCOPED_TRACE(testing::Message() << "type " << int(c.elementType) << " supplied " << c.supplied
                                        << " " << c.s);
        EXPECT_EQ(v->AsInteger(), c.asInt);
        EXPECT_DOUBLE_EQ(static_cast<double>(v->AsFloat()), c.asFloat);
        EXPECT_EQ(v->AsBoolean(), c.asBool);
        EXPECT_EQ(v->AsString(), c.asStr);
    }
}
