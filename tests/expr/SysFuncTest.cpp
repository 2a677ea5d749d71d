// Built-in functions, called through the dispatcher with literal and variable
// arguments as the evaluator passes them.
#include <gtest/gtest.h>

#include <cmath>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"

using namespace zuno;

namespace {

class SysFunc : public testing::Test {
protected:
    TParamCollection t;
    TSysFuncMan m{t};

    // Argument specs: "i:7" int32, "f:2.5" real, "b:1" flag, "s:text" text
    // (UTF-8 in the source), "r:bytes" text taken as bytes, "v:name" a bound variable.
    std::unique_ptr<TCustomParam> arg(const std::string& text) {
        std::string kind = text.substr(0, 2), v = text.substr(2);
        if (kind == "v:") {
            auto r = std::make_unique<TParamVar>(v);
            r->Bind(t.Find(v));
            EXPECT_NE(r->Target(), nullptr) << v;
            return r;
        }
        std::unique_ptr<TCustomParam> p;
        if (kind == "i:") { p = std::make_unique<TParamInt>(); p->SetInteger(*tryStrToInt(v)); }
        else if (kind == "f:") { p = std::make_unique<TParamFloat>(); p->SetFloat(*tryStrToFloat(v)); }
        else if (kind == "b:") { p = std::make_unique<TParamFlag>(); p->SetBoolean(v == "1"); }
        else if (kind == "r:") { p = std::make_unique<TParamStr>(); p->SetString(v); }
        else { p = std::make_unique<TParamStr>(); p->SetString(sjis(v)); }
        return p;
    }

    std::unique_ptr<TCustomParam> call(const char* name, const std::vector<std::string>& specs) {
        int n = sysFuncIndexOf(name);
        EXPECT_GE(n, 0) << name;
        TParamArgs args;
        for (const std::string& s : specs)
            args.push_back(arg(s));
        auto R = TCustomParam::CreateParam(kSysFuncs[n].ResultType);
        m.Call(*R, n, args);
        return R;
    }

    std::string result(const char* name, const std::vector<std::string>& specs) {
        return cp932ToUtf8(call(name, specs)->AsString());
    }

    std::string errorOf(const char* name, const std::vector<std::string>& specs) {
        try {
            call(name, specs);
        } catch (const EZunoError& e) {
            return cp932ToUtf8(e.message());
        }
        return "(no error)";
    }

    TCustomParam* var(const char* name, uint8_t type) { return t.CreateVariable(name, type, vsGlobal)->Value(); }
    std::string elements(const char* name) {
        TCustomParam* v = t.Find(name)->Value();
        std::string r;
        for (int i = 0; i < v->Count(); ++i) {
            if (i)
                r += '|';
            r += cp932ToUtf8(v->GetStringAt(i));
        }
        return r;
    }
};

struct Row {
    const char* name;
    std::vector<std::string> args;
    const char* expected;   // the result read as text
};

} // namespace

TEST(SysFuncTable, OrderAndLookup) {
    EXPECT_EQ(sysFuncIndexOf("IntToStr"), 0);
    EXPECT_EQ(sysFuncIndexOf("Calc"), 136);
    EXPECT_EQ(sysFuncIndexOf("InCabinet"), 154);
    EXPECT_EQ(sysFuncIndexOf("DBClearRecord"), 124);
    EXPECT_EQ(sysFuncIndexOf("inttostr"), -1);        // case-sensitive
    EXPECT_EQ(kSysFuncs[21].MaxArgs, -1);
    EXPECT_EQ(kSysFuncs[134].MinArgs, 0);
    EXPECT_EQ(kSysFuncs[139].ResultType, PT_FLOAT);
    for (int i = 0; i < kSysFuncCount; ++i)
        EXPECT_EQ(sysFuncIndexOf(kSysFuncs[i].Name), i) << kSysFuncs[i].Name;
}

TEST_F(SysFunc, TextFunctions) {
    const Row rows[] = {
        {"IntToStr", {"i:7"}, "7"},                {"IntToStr", {"i:7", "i:3"}, "007"},
        {"IntToStr", {"i:-7", "i:3"}, "-007"},     {"IntToStr", {"s:12", "i:1"}, "12"},
        {"IntToHex", {"i:255", "i:4"}, "00FF"},    {"IntToHex", {"i:-1", "i:2"}, "FFFFFFFF"},
        {"Length", {"s:あa"}, "3"},                 {"JLength", {"s:あa"}, "2"},
        {"Length", {"i:-12"}, "3"},
        {"Copy", {"s:abcdef", "i:3"}, "cdef"},     {"Copy", {"s:abcdef", "i:2", "i:2"}, "bc"},
        {"Copy", {"s:abc", "i:0", "i:2"}, "ab"},   {"Copy", {"s:abc", "i:9"}, ""},
        {"JCopy", {"s:あいうえ", "i:2", "i:2"}, "いう"}, {"JCopy", {"s:あいうえ", "i:3"}, "うえ"},
        {"CompareStr", {"s:abc", "s:abd"}, "-1"},  {"CompareStr", {"s:b", "s:a"}, "1"},
        {"CompareStr", {"s:ab", "s:abc"}, "-1"},   {"CompareStr", {"s:a", "s:a"}, "0"},
        {"CompareText", {"s:ABC", "s:abc"}, "0"},  {"CompareText", {"s:a", "s:_"}, "-30"},
        {"Pos", {"s:c", "s:abcabc"}, "3"},         {"Pos", {"s:x", "s:abc"}, "0"},
        {"Pos", {"s:", "s:abc"}, "0"},             {"JPos", {"s:う", "s:あいう"}, "3"},
        {"Trim", {"s: \t a b \r\n"}, "a b"},       {"JTrim", {"s:　\ta　 "}, "\ta"},
        {"FixStr", {"r:ab\x82"}, "ab"},        {"FixStr", {"r:\x82"}, "\xEF\xBF\xBD"},  // one byte: kept (U+FFFD when printed)
        {"FixStr", {"r:a\x82\xA0"}, "aあ"},
        {"LowerCase", {"s:AbCＡ"}, "abcＡ"},        {"UpperCase", {"s:abc"}, "ABC"},
        {"ExtractFilePath", {"s:c:\\dir\\file.txt"}, "c:\\dir\\"},
        {"ExtractFilePath", {"s:file.txt"}, ""},
        {"ExtractFileName", {"s:c:\\dir\\file.txt"}, "file.txt"},
        {"ExtractFileName", {"s:c:file"}, "file"},
        {"ExtractFileName", {"s:表.txt"}, "表.txt"},         // 表 ends in byte 0x5C
        {"ExtractFileExt", {"s:a\\b.c\\file.tar.gz"}, ".gz"},
        {"ExtractFileExt", {"s:a.b\\file"}, ""},
        {"IsPathDelimiter", {"s:a\\b", "i:2"}, "TRUE"}, {"IsPathDelimiter", {"s:表", "i:2"}, "FALSE"},
        {"IsPathDelimiter", {"s:a\\", "i:9"}, "FALSE"},
        {"AddBackSlash", {"s:dir"}, "dir\\"},      {"AddBackSlash", {"s:dir\\"}, "dir\\"},
        {"AddBackSlash", {"s:表"}, "表\\"},
        {"ChangeFileExt", {"s:a\\b.txt", "s:.png"}, "a\\b.png"},
        {"ChangeFileExt", {"s:a.d\\b", "s:.png"}, "a.d\\b.png"},
        {"IsDelimiter", {"s:,;", "s:a;b", "i:2"}, "TRUE"}, {"IsDelimiter", {"s:,;", "s:a;b", "i:1"}, "FALSE"},
        {"StringOfChar", {"s:ab", "i:3"}, "ababab"}, {"StringOfChar", {"s:ab", "i:-1"}, ""},
        {"StringReplace", {"s:aXbXc", "s:X", "s:-"}, "a-bXc"},
        {"StringReplace", {"s:aXbXc", "s:X", "s:-", "b:1"}, "a-b-c"},
        {"StringReplace", {"s:axbXc", "s:X", "s:-", "b:1", "b:1"}, "a-b-c"},
        {"StringReplace", {"s:表\\", "s:\\", "s:/", "b:1"}, "表/"},  // the second byte of 表 stays
        {"StringReplace", {"s:abc", "s:", "s:-", "b:1"}, "abc"},
        {"HanToZen", {"s:A1"}, "Ａ１"},             {"ZenToHan", {"s:Ａ漢１"}, "A1"},
        {"AddDelimiter", {"s:,", "s:a"}, "a,"},    {"AddDelimiter", {"s:,", "s:"}, ""},
        {"StrToIntDef", {"s:12", "i:5"}, "12"},    {"StrToIntDef", {"s:x", "i:5"}, "5"},
        {"StrToFloatDef", {"s:1.5", "f:2.5"}, "1.5"}, {"StrToFloatDef", {"s:x", "f:2.5"}, "0"},
        {"Chr", {"i:321"}, "A"},                   {"Ord", {"s:A"}, "65"},
        {"Ord", {"s:"}, "0"},                      {"Ord", {"s:あ"}, "130"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(result(r.name, r.args), r.expected) << r.name << " " << testing::PrintToString(r.args);
    EXPECT_EQ(errorOf("IntToStr", {"i:1", "i:-1"}), "Format '%.-1d' invalid or incompatible with argument");
}

TEST_F(SysFunc, TextFunctionsWriteBackIntoVariables) {
    struct Case { const char* name; std::vector<std::string> args; const char* s; };
    const Case cases[] = {
        {"Delete", {"v:s", "i:2"}, "a"},                {"Delete", {"v:s", "i:2", "i:2"}, "adef"},
        {"Delete", {"v:s", "i:9"}, "abcdef"},           {"Delete", {"v:s", "i:0", "i:2"}, "abcdef"},
        {"Insert", {"s:XY", "v:s", "i:3"}, "abXYcdef"}, {"Insert", {"s:XY", "v:s", "i:99"}, "abcdefXY"},
        {"Insert", {"s:XY", "v:s", "i:-3"}, "XYabcdef"},
    };
    for (const Case& c : cases) {
        var("s", PT_STR)->SetString("abcdef");
        auto R = call(c.name, c.args);
        EXPECT_EQ(t.Find("s")->Value()->AsString(), c.s) << c.name;
        EXPECT_EQ(R->AsString(), "");               // nothing stored in R
    }
    var("j", PT_STR)->SetString(sjis("あいうえ"));
    call("JDelete", {"v:j", "i:2", "i:2"});
    EXPECT_EQ(cp932ToUtf8(t.Find("j")->Value()->AsString()), "あえ");
    call("JInsert", {"s:か", "v:j", "i:2"});
    EXPECT_EQ(cp932ToUtf8(t.Find("j")->Value()->AsString()), "あかえ");
    call("JDelete", {"v:j", "i:2"});
    EXPECT_EQ(cp932ToUtf8(t.Find("j")->Value()->AsString()), "あ");
}

TEST_F(SysFunc, ArrayFunctions) {
    var("a", PT_INT);
    call("SetArray", {"v:a", "i:2", "i:3"});
    EXPECT_EQ(result("GetArraySize", {"v:a"}), "6");
    EXPECT_EQ(result("GetArraySize", {"v:a", "i:0"}), "3");
    EXPECT_EQ(result("GetArraySize", {"v:a", "i:1"}), "2");
    call("FillMem", {"v:a", "s:7"});
    EXPECT_EQ(elements("a"), "7|7|7|7|7|7");
    EXPECT_EQ(errorOf("SetArray", {"i:1", "i:2"}), "SetArray:変数が見つかりません");
    EXPECT_EQ(errorOf("GetArraySize", {"i:1"}), "GetArraySize:変数が見つかりません");
    EXPECT_EQ(errorOf("FillMem", {"i:1", "i:2"}), "FillMem:変数が見つかりません");
    EXPECT_EQ(errorOf("SetArray", {"v:a", "i:0"}), "配列の要素数[0]が不正です");

    var("b", PT_INT);
    call("CopyMem", {"v:b", "v:a"});
    EXPECT_EQ(elements("b"), "7|7|7|7|7|7");
    EXPECT_EQ(t.Find("b")->Value()->DimCount(), 2);
    var("s", PT_STR);
    EXPECT_EQ(errorOf("CopyMem", {"v:s", "v:a"}), "CopyMem:変数の型があいません");
    EXPECT_EQ(errorOf("CopyMem", {"v:s", "s:x"}), "CopyMem:変数が見つかりません");

    EXPECT_TRUE(call("CopyArray", {"v:s", "v:a"})->AsBoolean());
    EXPECT_EQ(t.Find("s")->Value()->ParamType(), PT_STR);
    EXPECT_EQ(elements("s"), "7|7|7|7|7|7");
    EXPECT_EQ(result("ArrayToString", {"v:s", "s:,"}), "7,7,7,7,7,7");
    EXPECT_EQ(result("ArrayToString", {"s:x"}), "x");
}

TEST_F(SysFunc, StringToArray) {
    var("arr", PT_STR);
    struct Case { const char* text; const char* sep; const char* elements; int dims; };
    const Case cases[] = {
        {"a,b,,c", ",", "a|b||c", 1},  {"a;b,c", ",;", "a|b|c", 1},  {"a,b,", ",", "a|b", 1},
        {"l1\r\nl2\nl3\r", nullptr, "l1|l2|l3", 1},  {"one", ",", "one", 1},
        {"表\\x", "\\", "表|x", 1},    {"", ",", "", 0},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {std::string("s:") + c.text, "v:arr"};
        if (c.sep)
            args.push_back(std::string("s:") + c.sep);
        auto R = call("StringToArray", args);
        EXPECT_EQ(R->AsInteger(), 0);
        EXPECT_EQ(elements("arr"), c.elements) << c.text;
        EXPECT_EQ(static_cast<int>(t.Find("arr")->Value()->Dims().size()), c.dims) << c.text;
    }
    var("n", PT_INT);
    call("StringToArray", {"s:1,x,3", "v:n", "s:,"});
    EXPECT_EQ(elements("n"), "1|0|3");
}

TEST_F(SysFunc, ArrayEditing) {
    auto setList = [&](const char* name, std::vector<int> v) {
        TCustomParam* p = t.Find(name) ? t.Find(name)->Value() : var(name, PT_INT);
        p->SetDims({static_cast<int32_t>(v.size())});
        for (size_t i = 0; i < v.size(); ++i)
            p->SetIntegerAt(static_cast<int>(i), v[i]);
    };
    setList("a", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(result("DeleteArray", {"v:a", "i:8", "i:5"}), "8");
    EXPECT_EQ(elements("a"), "0|1|2|3|4|5|6|7");
    EXPECT_EQ(result("DeleteArray", {"v:a", "i:-3", "i:2"}), "6");
    EXPECT_EQ(elements("a"), "2|3|4|5|6|7");
    EXPECT_EQ(result("DeleteArray", {"v:a", "i:1", "i:0"}), "6");

    setList("b", {10, 11});
    EXPECT_EQ(result("InsertArray", {"v:a", "i:1", "v:b"}), "8");
    EXPECT_EQ(elements("a"), "2|10|11|3|4|5|6|7");
    EXPECT_EQ(result("InsertArray", {"v:a", "i:99", "s:12"}), "9");
    EXPECT_EQ(elements("a"), "2|10|11|3|4|5|6|7|12");
    EXPECT_EQ(result("AddArray", {"v:b", "v:b"}), "4");          // appending an array to itself
    EXPECT_EQ(elements("b"), "10|11|10|11");
    var("s", PT_STR)->SetString("x");
    EXPECT_EQ(result("AddArray", {"v:s", "v:b"}), "5");
    EXPECT_EQ(elements("s"), "x|10|11|10|11");

    var("m", PT_INT)->SetDims({2, 2});
    EXPECT_EQ(result("AddArray", {"v:m", "v:b"}), "4");          // two-dimensional: unchanged
    EXPECT_EQ(result("InsertArray", {"v:m", "i:0", "v:b"}), "4");
    EXPECT_EQ(result("DeleteArray", {"v:m", "i:0", "i:1"}), "4");
    EXPECT_EQ(t.Find("m")->Value()->Count(), 4);
}

TEST_F(SysFunc, SearchAndSort) {
    TCustomParam* s = var("s", PT_STR);
    s->SetDims({4});
    const char* items[] = {"pear", "Apple", "banana", "apple"};
    for (int i = 0; i < 4; ++i)
        s->SetStringAt(i, items[i]);
    EXPECT_EQ(result("IndexOfStr", {"v:s", "s:apple"}), "3");
    EXPECT_EQ(result("IndexOfStr", {"v:s", "s:apple", "b:0"}), "1");
    EXPECT_EQ(result("IndexOfStr", {"v:s", "s:NAN", "b:0", "b:1"}), "2");
    EXPECT_EQ(result("IndexOfStr", {"v:s", "s:kiwi"}), "-1");
    call("SortStr", {"v:s"});
    EXPECT_EQ(elements("s"), "Apple|apple|banana|pear");
}

TEST_F(SysFunc, Mathematics) {
    const Row rows[] = {
        {"Not", {"b:1"}, "FALSE"},            {"Not", {"i:0"}, "TRUE"},
        {"Int", {"f:2.9"}, "2"},              {"Int", {"f:-2.9"}, "-2"},     {"Int", {"s:7.5"}, "7"},
        {"Float", {"i:3"}, "3"},              {"Sin", {"f:0"}, "0"},         {"Cos", {"f:0"}, "1"},
        {"ArcTan2", {"f:1", "f:0"}, "1.5707963267949"},                      {"Hypot", {"i:3", "i:4"}, "5"},
        {"Abs", {"i:-5"}, "5"},               {"Abs", {"i:-2147483648"}, "-2147483648"},
        {"Abs", {"f:-2.5"}, "2"},             {"Fabs", {"f:-2.5"}, "2.5"},
        {"Min", {"i:3", "i:-1"}, "-1"},       {"Max", {"i:3", "i:-1"}, "3"},
        {"Fmin", {"f:1.5", "f:2"}, "1.5"},    {"Fmax", {"f:1.5", "f:2"}, "2"},
        {"Random", {"i:0"}, "0"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(result(r.name, r.args), r.expected) << r.name;
    EXPECT_EQ(errorOf("ArcSin", {"f:2"}), "不正な浮動小数点演算です");
    EXPECT_EQ(errorOf("Int", {"f:1e30"}), "不正な浮動小数点演算です");
}

TEST_F(SysFunc, RandomIsSeededLinearCongruential) {
    m.SetRandomSeed(0);
    // seed 1: 1 * 10 >> 32 = 0; seed 134775814: 134775814 * 1000 >> 32 = 31
    EXPECT_EQ(m.Random(10), 0);
    EXPECT_EQ(m.RandomSeed(), 1u);
    EXPECT_EQ(m.Random(1000), 31);
    m.SetRandomSeed(12345);
    std::vector<int32_t> first;
    for (int i = 0; i < 100; ++i) {
        int32_t r = call("Random", {"i:6"})->AsInteger();
        EXPECT_GE(r, 0);
        EXPECT_LT(r, 6);
        first.push_back(r);
    }
    m.SetRandomSeed(12345);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(call("Random", {"i:6"})->AsInteger(), first[static_cast<size_t>(i)]);
}

TEST_F(SysFunc, Dates) {
    const Row rows[] = {
        {"EncodeDate", {"i:1899", "i:12", "i:30"}, "0"},
        {"EncodeDate", {"i:2000", "i:1", "i:1"}, "36526"},
        {"EncodeDate", {"i:1800", "i:1", "i:1"}, "-36522"},
        {"EncodeTime", {"i:6", "i:0", "i:0"}, "0.25"},
        {"GetYear", {"f:36526.75"}, "2000"},  {"GetMonth", {"f:36585"}, "2"},  {"GetDay", {"f:36585"}, "29"},
        {"GetHour", {"f:36526.75"}, "18"},    {"GetMin", {"f:0.0006944444444"}, "1"},
        {"GetSec", {"f:0.0000115740740741"}, "1"},
        {"GetWeek", {"f:0"}, "7"},            {"GetWeek", {"f:1"}, "1"},       {"GetWeek", {"f:-1"}, "6"},
        {"GetWeekStr", {"f:36526"}, "Saturday"},                               {"GetWeekJStr", {"f:36527"}, "日"},
        {"GetHour", {"f:-1.25"}, "6"},        {"GetDay", {"f:-1.25"}, "29"},
        {"GetYear", {"f:-700000"}, "0"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(result(r.name, r.args), r.expected) << r.name << " " << testing::PrintToString(r.args);
    EXPECT_EQ(errorOf("EncodeDate", {"i:2001", "i:2", "i:29"}), "日付のエンコードに対する引数が不正です");
    EXPECT_EQ(errorOf("EncodeTime", {"i:24", "i:0", "i:0"}), "時刻のエンコードに対する引数が不正です");
    EXPECT_EQ(errorOf("GetYear", {"f:1e300"}), "不正な浮動小数点演算です");

    var("y", PT_INT);
    var("mo", PT_INT);
    var("d", PT_STR);
    auto R = call("DecodeDate", {"f:36585.5", "v:y", "v:mo", "v:d"});
    EXPECT_EQ(R->AsInteger(), 0);
    EXPECT_EQ(t.Find("y")->Value()->AsInteger(), 2000);
    EXPECT_EQ(t.Find("mo")->Value()->AsInteger(), 2);
    EXPECT_EQ(t.Find("d")->Value()->AsString(), "29");
    call("DecodeTime", {"f:0.5208449074", "v:y", "v:mo", "v:d"});   // 12:30:01
    EXPECT_EQ(t.Find("y")->Value()->AsInteger(), 12);
    EXPECT_EQ(t.Find("mo")->Value()->AsInteger(), 30);
    EXPECT_EQ(t.Find("d")->Value()->AsString(), "1");
}

TEST_F(SysFunc, Variables) {
    var("x", PT_FLOAT);
    EXPECT_EQ(result("VarExists", {"s:X"}), "TRUE");
    EXPECT_EQ(result("VarExists", {"s:nope"}), "FALSE");
    EXPECT_EQ(result("VarExists", {"s:@Pi"}), "TRUE");
    EXPECT_EQ(result("GetVarType", {"v:x"}), "2");
    EXPECT_EQ(result("GetVarType", {"s:x"}), "4");
    EXPECT_EQ(result("GetVarType", {"v:@IsDebug"}), "3");
    EXPECT_EQ(result("AssignTemp", {"s:nope"}), "FALSE");
    EXPECT_EQ(t.TempName, "");
    EXPECT_EQ(result("AssignTemp", {"s:x"}), "TRUE");
    t.Find("@Temp")->Value()->SetFloat(2.5);
    EXPECT_EQ(t.Find("x")->Value()->AsFloat(), 2.5);
}

TEST_F(SysFunc, CalcUsesTheHook) {
    EXPECT_EQ(errorOf("Calc", {"s:a = 1"}), "Calc:この関数は使用できません");
    std::string seen;
    m.CalcHook = [&](const std::string& text) { seen = text; return text == "a = 1"; };
    EXPECT_EQ(result("Calc", {"s:a = 1"}), "TRUE");
    EXPECT_EQ(seen, "a = 1");
    EXPECT_EQ(result("Calc", {"s:"}), "");
}

TEST_F(SysFunc, FunctionsOfOtherPartsRaiseUntilSupplied) {
    for (const char* name : {"GetProp", "Exists", "LoadTextFile", "FileExists", "ExtractFile", "SaveScreen"})
        EXPECT_EQ(errorOf(name, {}), std::string(name) + ":この関数は使用できません");
    m.SetFunction(sysFuncIndexOf("Exists"),
                  [](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetBoolean(a[0]->AsString() == "obj"); });
    EXPECT_EQ(result("Exists", {"s:obj"}), "TRUE");
    EXPECT_THROW(m.Call(*TCustomParam::CreateParam(PT_INT), 155, {}), EZunoError);
}
