#include "expr/TSysFuncMan.h"

#include <chrono>
#include <ctime>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/SysFuncBuiltins.h"
#include "expr/TDBManager.h"
#include "expr/TParamCollection.h"
#include "platform/posix/PosixServices.h"

namespace zuno {

const TSysFuncInfo kSysFuncs[kSysFuncCount] = {
    {"IntToStr", 1, 2, PT_STR},          {"IntToHex", 2, 2, PT_STR},          // 0
    {"GetProp", 2, 2, PT_STR},           {"SetProp", 3, 3, PT_STR},
    {"GetArraySize", 1, 2, PT_INT},      {"Length", 1, 1, PT_INT},
    {"JLength", 1, 1, PT_INT},           {"Copy", 2, 3, PT_STR},
    {"JCopy", 2, 3, PT_STR},             {"Delete", 2, 3, PT_STR},
    {"JDelete", 2, 3, PT_STR},           {"Insert", 3, 3, PT_STR},            // 10
    {"JInsert", 3, 3, PT_STR},           {"CompareStr", 2, 2, PT_INT},
    {"CompareText", 2, 2, PT_INT},       {"Pos", 2, 2, PT_INT},
    {"JPos", 2, 2, PT_INT},              {"Trim", 1, 1, PT_STR},
    {"JTrim", 1, 1, PT_STR},             {"Exists", 1, 1, PT_BOOL},
    {"Not", 1, 1, PT_BOOL},              {"SetArray", 2, -1, PT_INT},         // 20
    {"FillMem", 2, 2, PT_INT},           {"CopyMem", 2, 2, PT_INT},
    {"GetCheck", 2, 2, PT_BOOL},         {"SetCheck", 3, 3, PT_INT},
    {"Random", 1, 1, PT_INT},            {"GetSaveCaption", 1, 1, PT_STR},
    {"ArrayToString", 1, 2, PT_STR},     {"StringToArray", 2, 3, PT_INT},
    {"IndexOfStr", 2, 4, PT_INT},        {"SortStr", 1, 1, PT_INT},           // 30
    {"ListCompo", 1, 3, PT_INT},         {"ToClientX", 2, 2, PT_INT},
    {"ToClientY", 2, 2, PT_INT},         {"ToScreenX", 2, 2, PT_INT},
    {"ToScreenY", 2, 2, PT_INT},         {"Int", 1, 1, PT_INT},
    {"Float", 1, 1, PT_FLOAT},           {"Sin", 1, 1, PT_FLOAT},
    {"Cos", 1, 1, PT_FLOAT},             {"Tan", 1, 1, PT_FLOAT},             // 40
    {"ArcSin", 1, 1, PT_FLOAT},          {"ArcCos", 1, 1, PT_FLOAT},
    {"ArcTan", 1, 1, PT_FLOAT},          {"ArcTan2", 2, 2, PT_FLOAT},
    {"Hypot", 2, 2, PT_FLOAT},           {"IndexOfMenu", 2, 2, PT_INT},
    {"Abs", 1, 1, PT_INT},               {"Fabs", 1, 1, PT_FLOAT},
    {"VarExists", 1, 1, PT_BOOL},        {"EncodeDate", 3, 3, PT_FLOAT},      // 50
    {"EncodeTime", 3, 3, PT_FLOAT},      {"DecodeDate", 4, 4, PT_INT},
    {"DecodeTime", 4, 4, PT_INT},        {"GetYear", 1, 1, PT_INT},
    {"GetMonth", 1, 1, PT_INT},          {"GetDay", 1, 1, PT_INT},
    {"GetHour", 1, 1, PT_INT},           {"GetMin", 1, 1, PT_INT},
    {"GetSec", 1, 1, PT_INT},            {"GetWeek", 1, 1, PT_INT},           // 60
    {"GetWeekStr", 1, 1, PT_STR},        {"GetWeekJStr", 1, 1, PT_STR},
    {"FixStr", 1, 1, PT_STR},            {"GetDisplayMode", 5, 5, PT_BOOL},
    {"AddArray", 2, 2, PT_INT},          {"InsertArray", 3, 3, PT_INT},
    {"DeleteArray", 3, 3, PT_INT},       {"InPrimary", 1, 1, PT_BOOL},
    {"CopyArray", 2, 2, PT_BOOL},        {"FileExists", 1, 1, PT_BOOL},       // 70
    {"LoadTextFile", 2, 2, PT_BOOL},     {"LowerCase", 1, 1, PT_STR},
    {"UpperCase", 1, 1, PT_STR},         {"ExtractFilePath", 1, 1, PT_STR},
    {"ExtractFileName", 1, 1, PT_STR},   {"ExtractFileExt", 1, 1, PT_STR},
    {"IsPathDelimiter", 2, 2, PT_BOOL},  {"AddBackSlash", 1, 1, PT_STR},
    {"ChangeFileExt", 2, 2, PT_STR},     {"IsDelimiter", 3, 3, PT_BOOL},      // 80
    {"StringOfChar", 2, 2, PT_STR},      {"StringReplace", 3, 5, PT_STR},
    {"AssignTemp", 1, 1, PT_BOOL},       {"HanToZen", 1, 1, PT_STR},
    {"ZenToHan", 1, 1, PT_STR},          {"DBCreateTable", 2, 2, PT_BOOL},
    {"DBSetActive", 1, 1, PT_BOOL},      {"DBAddField", 2, 3, PT_BOOL},
    {"DBSetRecNo", 1, 1, PT_BOOL},       {"DBInsert", 0, -1, PT_BOOL},        // 90
    {"DBDelete", 0, 0, PT_BOOL},         {"DBGetInt", 1, 1, PT_INT},
    {"DBSetInt", 2, 2, PT_BOOL},         {"DBGetFloat", 1, 1, PT_FLOAT},
    {"DBSetFloat", 2, 2, PT_BOOL},       {"DBGetBool", 1, 1, PT_BOOL},
    {"DBSetBool", 2, 2, PT_BOOL},        {"DBGetStr", 1, 1, PT_STR},
    {"DBSetStr", 2, 2, PT_BOOL},         {"DBRecordCount", 0, 1, PT_INT},     // 100
    {"DBFindFirst", 0, 0, PT_BOOL},      {"DBFindLast", 0, 0, PT_BOOL},
    {"DBFindNext", 0, 0, PT_BOOL},       {"DBFindPrior", 0, 0, PT_BOOL},
    {"DBLocate", 2, 4, PT_BOOL},         {"DBLoadTsvFile", 1, 1, PT_BOOL},
    {"DBDirectGetInt", 7, 7, PT_INT},    {"DBDirectSetInt", 7, 7, PT_BOOL},
    {"DBDirectGetFloat", 7, 7, PT_FLOAT}, {"DBDirectSetFloat", 7, 7, PT_BOOL}, // 110
    {"DBDirectGetBool", 7, 7, PT_BOOL},  {"DBDirectSetBool", 7, 7, PT_BOOL},
    {"DBDirectGetStr", 7, 7, PT_STR},    {"DBDirectSetStr", 7, 7, PT_BOOL},
    {"DBCopyTable", 1, 5, PT_BOOL},      {"DBDeleteTable", 0, 1, PT_BOOL},
    {"DBInsertTable", 1, 5, PT_BOOL},    {"DBCopy", 1, 1, PT_BOOL},
    {"DBClearTable", 0, 0, PT_BOOL},     {"DBSort", 2, 2, PT_BOOL},           // 120
    {"DBGetActive", 0, 0, PT_STR},       {"DBGetRecNo", 0, 1, PT_INT},
    {"DBClearRecord", 0, 1, PT_BOOL},    {"SetWallPaper", 2, 2, PT_BOOL},
    {"Min", 2, 2, PT_INT},               {"Max", 2, 2, PT_INT},
    {"Fmin", 2, 2, PT_FLOAT},            {"Fmax", 2, 2, PT_FLOAT},
    {"GetVarType", 1, 1, PT_INT},        {"GetEnabled", 2, 2, PT_BOOL},       // 130
    {"SetEnabled", 3, 3, PT_INT},        {"AddDelimiter", 2, 2, PT_STR},
    {"ListSaveCaption", 0, 2, PT_INT},   {"OpenUrl", 1, 1, PT_BOOL},
    {"Calc", 1, 1, PT_STR},              {"SaveScreen", 1, 5, PT_BOOL},
    {"StrToIntDef", 2, 2, PT_INT},       {"StrToFloatDef", 2, 2, PT_FLOAT},
    {"GetVisible", 2, 2, PT_BOOL},       {"SetVisible", 3, 3, PT_BOOL},       // 140
    {"GetHistoryCount", 1, 1, PT_INT},   {"GetHistoryMaxCount", 1, 1, PT_INT},
    {"SetHistoryMaxCount", 2, 2, PT_BOOL}, {"GetGroupIndex", 2, 2, PT_INT},
    {"GetSelected", 2, 2, PT_BOOL},      {"SetSelected", 3, 3, PT_BOOL},
    {"SelectOpenFile", 1, 2, PT_BOOL},   {"SelectSaveFile", 1, 2, PT_BOOL},
    {"SelectDirectory", 1, 1, PT_BOOL},  {"ExtractFile", 1, 3, PT_BOOL},      // 150
    {"Chr", 1, 1, PT_STR},               {"Ord", 1, 1, PT_INT},
    {"InCabinet", 1, 1, PT_BOOL},
};

int sysFuncIndexOf(std::string_view name) {
    for (int i = 0; i < kSysFuncCount; ++i)
        if (name == kSysFuncs[i].Name)
            return i;
    return -1;
}

namespace {

const std::array<TBuiltinFn, kSysFuncCount>& builtins() {
    static const std::array<TBuiltinFn, kSysFuncCount> table = [] {
        std::array<TBuiltinFn, kSysFuncCount> t{};
        registerTextFuncs(t);
        registerArrayFuncs(t);
        registerMathFuncs(t);
        registerDateFuncs(t);
        registerVarFuncs(t);
        registerTableFuncs(t);
        return t;
    }();
    return table;
}

} // namespace

TSysFuncMan::TSysFuncMan(TParamCollection& params)
    : FParams(params), FTables(std::make_unique<TDBManager>()), FOverrides(kSysFuncCount),
      FRandSeed(timeOfDaySeed()) {}

TSysFuncMan::~TSysFuncMan() = default;

void TSysFuncMan::Call(TCustomParam& R, int number, const TParamArgs& args) {
    if (number < 0 || number >= kSysFuncCount)
        throw EZunoError::fromUtf8("内部エラー");
    const TSysFunc& custom = FOverrides[static_cast<size_t>(number)];
    if (custom) {
        custom(*this, R, args);
        return;
    }
    TBuiltinFn fn = builtins()[static_cast<size_t>(number)];
    if (!fn)
        sysfunc::notAvailable(number);
    fn(*this, R, args);
}

bool TSysFuncMan::IsAvailable(int number) const {
    if (number < 0 || number >= kSysFuncCount)
        return false;
    return HasOverride(number) || builtins()[static_cast<size_t>(number)] != nullptr;
}

void TSysFuncMan::SetFunction(int number, TSysFunc f) {
    if (number < 0 || number >= kSysFuncCount)
        throw EZunoError::fromUtf8("内部エラー");
    FOverrides[static_cast<size_t>(number)] = std::move(f);
}

int32_t TSysFuncMan::Random(int32_t n) {
    FRandSeed = FRandSeed * 134775813u + 1u;
    uint64_t product = static_cast<uint64_t>(FRandSeed) * static_cast<uint64_t>(static_cast<uint32_t>(n));
    return static_cast<int32_t>(static_cast<uint32_t>(product >> 32));
}

uint32_t TSysFuncMan::timeOfDaySeed() {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm = localTimeOf(t);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return static_cast<uint32_t>(((tm.tm_hour * 60 + tm.tm_min) * 60 + tm.tm_sec) * 1000 + ms);
}

namespace sysfunc {

TParamCollectionItem* variableOf(const TCustomParam& arg) { return arg.BoundItem(); }

int32_t intArg(const TParamArgs& a, size_t i, int32_t def) { return i < a.size() ? a[i]->AsInteger() : def; }
TReal floatArg(const TParamArgs& a, size_t i, TReal def) { return i < a.size() ? a[i]->AsFloat() : def; }
bool boolArg(const TParamArgs& a, size_t i, bool def) { return i < a.size() ? a[i]->AsBoolean() : def; }
std::string strArg(const TParamArgs& a, size_t i, const std::string& def) {
    return i < a.size() ? a[i]->AsString() : def;
}

void notAvailable(int number) {
    throw EZunoError(std::string(kSysFuncs[number].Name) + sjis(":この関数は使用できません"));
}

} // namespace sysfunc

} // namespace zuno
