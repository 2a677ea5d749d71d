#include "authoring/PageSourceRules.h"

#include "core/Cp932.h"
#include "script/ComFlow.h"
#include "script/ComMedia.h"

namespace zuno {

bool conditionDefaultsTrue(TCommandType type) {
    return type == ctJump || type == ctCall || type == ctExit || type == ctBreak || type == ctContinue;
}

std::optional<int> propertyIdByName(const std::string& name) {
    if (name.compare(0, 3, "PR_") != 0)
        return std::nullopt;
    for (int id = 0; id < PropertyCount; ++id)
        if (sameTextSjis(PropertyInfos[id].name, name))
            return id;
    return std::nullopt;
}

namespace {

class TNameCollector : public TRecordFields {
public:
    explicit TNameCollector(int32_t version) : TRecordFields(version) {}
    void Int(const char* n, int32_t&) override { names.emplace_back(n); }
    void Byte(const char* n, uint8_t&) override { names.emplace_back(n); }
    void Text(const char* n, std::string&) override { names.emplace_back(n); }
    void Data(const char* n, std::string&) override { names.emplace_back(n); }
    void Expr(const char* n, TExprPtr&) override { names.emplace_back(n); }
    void ExprList(const char* n, std::vector<TExprPtr>&) override { names.emplace_back(n); }
    std::vector<std::string> names;
};

// The names of a command's fields in walk order for a page version.
std::vector<std::string> fieldNames(TCommand& c, int32_t version) {
    TNameCollector n(version);
    c.Fields(n);
    return n.names;
}

} // namespace

std::string positionalField(TCommand& c, int32_t version) {
    switch (c.TypeCode()) {
    case ctJump: return "target";
    case ctCall: case ctPCReset: case ctReset: return "page";
    case ctWait: return "time";
    default: break;
    }
    for (const std::string& name : fieldNames(c, version))
        if (!propertyIdByName(name))
            return name;
    return {};
}

//==============================================================================
// Byte fields written by name
//==============================================================================

namespace {

const char* const ValueTypeNames[] = {nullptr, "int", "real", "flag", "text"};     // by value type 1 .. 4
const char* const ScopeNames[] = {"global", "auto", "local", "status"};           // by scope 0 .. 3

} // namespace

const char* byteFieldName(TCommandType type, const std::string& field, uint8_t value) {
    if (type != ctVarNew)
        return nullptr;
    if (field == "type" && value >= 1 && value <= 4)
        return ValueTypeNames[value];
    if (field == "scope" && value <= 3)
        return ScopeNames[value];
    return nullptr;
}

// Either field takes any of the names.
std::optional<uint8_t> byteFieldValue(const std::string& field, const std::string& name) {
    if (field != "type" && field != "scope")
        return std::nullopt;
    for (uint8_t v = 1; v <= 4; ++v)
        if (name == ValueTypeNames[v])
            return v;
    for (uint8_t v = 0; v <= 3; ++v)
        if (name == ScopeNames[v])
            return v;
    return std::nullopt;
}

//==============================================================================
// Index fields and loops
//==============================================================================

bool isIndexField(const std::string& name) {
    return name == "target" || name == "exit" || name == "loopBack" || name == "resumeIndex";
}

std::optional<TIndexField> indexFieldOf(TCommand& c) {
    static const std::string thisPage;
    switch (c.TypeCode()) {
    case ctJump: {
        auto& j = static_cast<TComJump&>(c);
        return TIndexField{"target", j.FTargetIndex, j.FPageFile};
    }
    case ctCall: {
        auto& call = static_cast<TComCall&>(c);
        return TIndexField{"target", call.FTargetIndex, call.FPageFile};
    }
    case ctPCReset: case ctReset: {
        auto& r = static_cast<TComPCReset&>(c);
        return TIndexField{"target", r.FTargetIndex, r.FPageFile};
    }
    case ctBreak: return TIndexField{"target", static_cast<TComBreak&>(c).FTargetIndex, thisPage};
    case ctContinue: return TIndexField{"target", static_cast<TComContinue&>(c).FTargetIndex, thisPage};
    case ctWhile: return TIndexField{"exit", static_cast<TComWhile&>(c).FExitIndex, thisPage};
    case ctWhileLoop: return TIndexField{"loopBack", static_cast<TComWhileLoop&>(c).FLoopBackIndex, thisPage};
    case ctGameSave: {
        auto& g = static_cast<TComGameSave&>(c);
        return TIndexField{"resumeIndex", g.FResumeIndex, g.FResumePage};
    }
    default: return std::nullopt;
    }
}

TLoopPairing::TLoopPairing(const TPage& page) {
    const size_t count = static_cast<size_t>(page.CommandCount());
    FTypes.resize(count);
    FWhileOf.assign(count, -1);
    FLoopOf.assign(count, -1);
    FEnclosing.assign(count, -1);
    std::vector<int> open;
    for (size_t k = 0; k < count; ++k) {
        FEnclosing[k] = open.empty() ? -1 : open.back();
        FTypes[k] = page.Command(static_cast<int>(k))->TypeCode();
        if (FTypes[k] == ctWhile) {
            open.push_back(static_cast<int>(k));
        } else if (FTypes[k] == ctWhileLoop && !open.empty()) {
            FWhileOf[k] = open.back();
            FLoopOf[static_cast<size_t>(open.back())] = static_cast<int>(k);
            open.pop_back();
        }
    }
}

// Jumps, calls, resets and resumes go to the first command; Break leaves the
// enclosing loop (outside one it ends the page) and Continue goes to its
// WhileLoop; a While exits after its WhileLoop, which loops back to it.
std::optional<int32_t> TLoopPairing::AutomaticIndex(int k) const {
    const size_t i = static_cast<size_t>(k);
    const int encl = FEnclosing[i];
    const int enclLoop = encl < 0 ? -1 : FLoopOf[static_cast<size_t>(encl)];
    switch (FTypes[i]) {
    case ctJump: case ctCall: case ctPCReset: case ctReset: case ctGameSave:
        return 0;
    case ctBreak:
        if (encl < 0)
            return -1;
        return enclLoop < 0 ? std::nullopt : std::optional<int32_t>(enclLoop + 1);
    case ctContinue:
        if (encl < 0)
            return -1;
        return enclLoop < 0 ? std::nullopt : std::optional<int32_t>(enclLoop);
    case ctWhile:
        return FLoopOf[i] < 0 ? std::nullopt : std::optional<int32_t>(FLoopOf[i] + 1);
    case ctWhileLoop:
        return FWhileOf[i] < 0 ? std::nullopt : std::optional<int32_t>(FWhileOf[i]);
    default:
        return std::nullopt;
    }
}

} // namespace zuno
