#include "authoring/ProjectSource.h"

#include <cstdio>
#include <cstring>

#include "authoring/PageSourceText.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/ParamConvert.h"

namespace zuno {

namespace {

struct TLineError {
    int         line;
    std::string message;
};

[[noreturn]] void fail(int line, const std::string& m) { throw TLineError{line, m}; }

std::string text(int line, const std::string& v) {
    std::string error;
    std::optional<std::string> t = decodeTextValue(v, error);
    if (!t)
        fail(line, error);
    return *t;
}

int32_t number(int line, const std::string& v, int64_t lo, int64_t hi) {
    auto n = tryStrToInt(v);
    if (!n || *n < lo || *n > hi)
        fail(line, "not a number in range: " + v);
    return *n;
}

// A real as decimal text when that is exact, else "@" and its ten bytes in hex.
std::string realText(const TExtended& x) {
    const std::string t = floatToStr(extendedToReal(x));
    auto back = tryStrToFloat(t);
    if (back && realToExtended(*back) == x)
        return t;
    uint8_t b[10];
    x.toBytes(b);
    return "@" + encodeHex(std::string(reinterpret_cast<char*>(b), 10));
}

TExtended parseReal(int line, const std::string& v) {
    if (!v.empty() && v[0] == '@') {
        std::optional<std::string> b = decodeHex(v.substr(1));
        if (!b || b->size() != 10)
            fail(line, "a real in hex needs 20 digits");
        return TExtended::fromBytes(reinterpret_cast<const uint8_t*>(b->data()));
    }
    auto r = tryStrToFloat(v);
    if (!r)
        fail(line, "not a real: " + v);
    return realToExtended(*r);
}

const char* const TypeNames[] = {"", "int", "real", "flag", "text"};

} // namespace

TProjectSetting buildProjectSource(const std::string& utf8Text, const std::string& fileName) {
    TProjectSetting p;
    int lineNo = 0;
    try {
        size_t pos = 0;
        while (pos < utf8Text.size()) {
            size_t end = utf8Text.find('\n', pos);
            if (end == std::string::npos)
                end = utf8Text.size();
            std::string line = utf8Text.substr(pos, end - pos);
            pos = end + 1;
            ++lineNo;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            line = trim(line);
            if (line.empty() || line[0] == '#')
                continue;
            std::string key, value;
            if (splitKey(line, key, value)) {
                value = trim(value);
                if (key == "version") p.FVersion = number(lineNo, value, 0, ProjectVersionMax);
                else if (key == "title") p.FTitle = text(lineNo, value);
                else if (key == "screenWidth") p.FScreenWidth = number(lineNo, value, INT32_MIN, INT32_MAX);
                else if (key == "screenHeight") p.FScreenHeight = number(lineNo, value, INT32_MIN, INT32_MAX);
                else if (key == "fullScreenWidth") p.FFullScreenWidth = number(lineNo, value, INT32_MIN, INT32_MAX);
                else if (key == "fullScreenHeight") p.FFullScreenHeight = number(lineNo, value, INT32_MIN, INT32_MAX);
                else if (key == "startPage") p.FStartPage = text(lineNo, value);
                else if (key == "exitPage") p.FExitPage = text(lineNo, value);
                else if (key == "registryKey") p.FRegistryKey = text(lineNo, value);
                else if (key == "identCode") p.FIdentCode = number(lineNo, value, INT32_MIN, INT32_MAX);
                else if (key == "keepStatus") p.FKeepStatus = static_cast<uint8_t>(number(lineNo, value, 0, 255));
                else if (key == "idleYield") p.FIdleYield = static_cast<uint8_t>(number(lineNo, value, 0, 255));
                else if (key == "undiscoveredTypes") p.FUndiscoveredTypes = text(lineNo, value);
                else if (key == "pauseWhenInactive") p.FPauseWhenInactive = static_cast<uint8_t>(number(lineNo, value, 0, 255));
                else if (key == "diskPrompt") p.FDiskPrompt = text(lineNo, value);
                else if (key == "quitConfirm") p.FQuitConfirm = text(lineNo, value);
                else fail(lineNo, "unknown setting: " + key);
                continue;
            }
            std::vector<std::string> words = splitTopLevel(line, ' ');
            std::erase_if(words, [](const std::string& w) { return w.empty(); });
            if (words[0] == "var") {
                // var NAME TYPE [VALUE]; the value is the rest of the line.
                if (words.size() < 3)
                    fail(lineNo, "expected: var NAME TYPE VALUE");
                TInitVariable v;
                v.Name = text(lineNo, words[1]);
                int type = -1;
                for (int t = 1; t <= 4; ++t)
                    if (words[2] == TypeNames[t])
                        type = t;
                if (type < 0)
                    type = number(lineNo, words[2], 0, 255);
                v.Type = static_cast<uint8_t>(type);
                std::string rest;
                for (size_t k = 3; k < words.size(); ++k)
                    rest += (k > 3 ? " " : "") + words[k];
                switch (type) {
                case 1: v.IntValue = rest.empty() ? 0 : number(lineNo, rest, INT32_MIN, INT32_MAX); break;
                case 2: v.FloatValue = rest.empty() ? TExtended() : parseReal(lineNo, rest); break;
                case 3:
                    if (rest == "TRUE" || rest == "1") v.BoolValue = 1;
                    else if (rest.empty() || rest == "FALSE" || rest == "0") v.BoolValue = 0;
                    else v.BoolValue = static_cast<uint8_t>(number(lineNo, rest, 0, 255));
                    break;
                case 4: v.StrValue = text(lineNo, rest); break;
                default:
                    if (!rest.empty())
                        fail(lineNo, "a variable of type " + words[2] + " has no value");
                }
                p.FVariables.push_back(v);
            } else if (words[0] == "disc") {
                if (words.size() != 3)
                    fail(lineNo, "expected: disc FOLDER NUMBER");
                p.FFolderDisks.push_back({text(lineNo, words[1]), number(lineNo, words[2], INT32_MIN, INT32_MAX)});
            } else {
                fail(lineNo, "expected KEY: VALUE, var or disc");
            }
        }
    } catch (const TLineError& e) {
        throw EZunoError::fromUtf8(fileName + ":" + std::to_string(e.line) + ": " + e.message);
    }
    return p;
}

std::string decompileProject(const TProjectSetting& p) {
    std::string out;
    auto line = [&](const std::string& key, const std::string& value) { out += key + ": " + value + "\n"; };
    line("version", std::to_string(p.FVersion));
    line("title", encodeTextValue(p.FTitle, false));
    line("screenWidth", std::to_string(p.FScreenWidth));
    line("screenHeight", std::to_string(p.FScreenHeight));
    line("fullScreenWidth", std::to_string(p.FFullScreenWidth));
    line("fullScreenHeight", std::to_string(p.FFullScreenHeight));
    line("startPage", encodeTextValue(p.FStartPage, false));
    line("exitPage", encodeTextValue(p.FExitPage, false));
    line("registryKey", encodeTextValue(p.FRegistryKey, false));
    line("identCode", std::to_string(p.FIdentCode));
    line("keepStatus", std::to_string(p.FKeepStatus));
    line("idleYield", std::to_string(p.FIdleYield));
    line("undiscoveredTypes", encodeTextValue(p.FUndiscoveredTypes, false));
    line("pauseWhenInactive", std::to_string(p.FPauseWhenInactive));
    line("diskPrompt", encodeTextValue(p.FDiskPrompt, false));
    line("quitConfirm", encodeTextValue(p.FQuitConfirm, false));
    for (const TInitVariable& v : p.FVariables) {
        out += "var " + encodeTextValue(v.Name, false) + " ";
        out += v.Type >= 1 && v.Type <= 4 ? TypeNames[v.Type] : std::to_string(v.Type);
        switch (v.Type) {
        case 1: out += " " + std::to_string(v.IntValue); break;
        case 2: out += " " + realText(v.FloatValue); break;
        case 3: out += v.BoolValue == 0 ? " FALSE" : v.BoolValue == 1 ? " TRUE" : " " + std::to_string(v.BoolValue); break;
        case 4: out += " " + encodeTextValue(v.StrValue, false); break;
        default: break;
        }
        out += "\n";
    }
    for (const TFolderDisk& d : p.FFolderDisks)
        out += "disc " + encodeTextValue(d.Folder, false) + " " + std::to_string(d.Disk) + "\n";
    return out;
}

} // namespace zuno
