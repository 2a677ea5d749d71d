#include "expr/TBuildZunoParser.h"

#include <cstring>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "core/TextHelpers.h"
#include "expr/ParamConvert.h"
#include "expr/TSysFuncMan.h"
#include "expr/ZunoOpCode.h"

namespace zuno {

namespace {

// Characters that end names and operands, and the characters the tokeniser splits at.
constexpr const char* kOperatorChars = "+-*/%|&^=[](),<>";
constexpr const char* kSplitChars = "%&*+-/<=>^|";

bool inSet(char c, const char* set) { return c != '\0' && std::strchr(set, c) != nullptr; }
bool isOperatorChar(char c) { return inSet(c, kOperatorChars); }
bool isBlank(char c) { return static_cast<uint8_t>(c) <= 0x20; }
bool isIdentChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

EZunoError syntaxError() { return EZunoError::fromUtf8("構文エラー"); }
EZunoError badIndexError() { return EZunoError::fromUtf8("配列の添え字が不正です"); }

// Byte offsets of the characters of a Shift-JIS text (a lead byte and its
// trail byte are one character), plus the text's length as a final entry, so
// chars[i + 1] - chars[i] is the length of character i. Tests look only at the
// first byte of a character: a double-byte character begins with a lead byte,
// which is never a quote, bracket, operator, blank or identifier character.
struct CharIndex {
    std::vector<size_t> at;
    explicit CharIndex(const std::string& s) {
        at.reserve(s.size() + 1);
        for (size_t i = 0; i < s.size();) {
            at.push_back(i);
            i += (isLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size()) ? 2 : 1;
        }
        at.push_back(s.size());
    }
    size_t count() const { return at.size() - 1; }
};

bool containsOperatorChar(const std::string& s) {
    CharIndex ci(s);
    for (size_t k = 0; k < ci.count(); ++k)
        if (isOperatorChar(s[ci.at[k]]))
            return true;
    return false;
}

// Fails unless every closing character has an opening partner before it and
// the counts agree.
void checkBalanced(const std::string& s, const CharIndex& ci, char open, char close) {
    int depth = 0;
    for (size_t k = 0; k < ci.count(); ++k) {
        char c = s[ci.at[k]];
        if (c == open)
            ++depth;
        else if (c == close && --depth < 0)
            throw syntaxError();
    }
    if (depth != 0)
        throw syntaxError();
}

// Character index of the partner of the opening character at character k, or
// npos when it has none.
size_t findMatching(const std::string& s, const CharIndex& ci, size_t k, char open, char close) {
    int depth = 0;
    for (size_t j = k; j < ci.count(); ++j) {
        char c = s[ci.at[j]];
        if (c == open)
            ++depth;
        else if (c == close && --depth == 0)
            return j;
    }
    return std::string::npos;
}

std::string substrChars(const std::string& s, const CharIndex& ci, size_t from, size_t to) {
    return s.substr(ci.at[from], ci.at[to] - ci.at[from]);
}

// Removes outer parentheses that enclose the whole text, repeatedly.
std::string stripOuterParens(std::string s) {
    for (;;) {
        s = std::string(trimmedControls(s));
        if (s.size() < 2 || s.front() != '(')
            return s;
        CharIndex ci(s);
        if (findMatching(s, ci, 0, '(', ')') != ci.count() - 1)
            return s;
        s = s.substr(1, s.size() - 2);
    }
}

struct Token {
    std::string text;
    bool isOp = false;
};

int precedence(const std::string& op) {
    if (op == "*" || op == "/" || op == "%") return 1;
    if (op == "+" || op == "-") return 2;
    if (op == "<<" || op == ">>") return 3;
    if (op == "==" || op == ">=" || op == "<=" || op == ">" || op == "<" || op == "<>") return 4;
    if (op == "++") return 5;
    if (op == "&") return 6;
    if (op == "^") return 7;
    if (op == "|") return 8;
    return 9;   // "="
}

uint8_t codeOf(const std::string& op) {
    static const struct { const char* op; uint8_t code; } table[] = {
        {"=", ocTo}, {"+", ocPlus}, {"-", ocMinus}, {"*", ocMul}, {"/", ocDiv}, {"%", ocMod},
        {"|", ocOr}, {"&", ocAnd}, {"^", ocXor}, {"==", ocEqual}, {">", ocBig}, {"<", ocSmall},
        {">=", ocEBig}, {"<=", ocESmall}, {"<<", ocShiftL}, {">>", ocShiftR}, {"++", ocComboStr},
        {"<>", ocNEqual},
    };
    for (const auto& e : table)
        if (op == e.op)
            return e.code;
    return ocNone;
}

// Operators and operand tokens of a flat text.
std::vector<Token> tokenize(const std::string& s) {
    static const char* const twoChar[] = {"==", ">=", "<=", "++", "<>", "<<", ">>"};
    std::vector<Token> tokens;
    CharIndex ci(s);
    size_t operandStart = 0;
    auto flush = [&](size_t end) {
        std::string t(trimmedControls(std::string_view(s).substr(operandStart, end - operandStart)));
        if (!t.empty())
            tokens.push_back({std::move(t), false});
    };
    for (size_t k = 0; k < ci.count();) {
        size_t p = ci.at[k];
        if (!inSet(s[p], kSplitChars)) {
            ++k;
            continue;
        }
        flush(p);
        size_t length = 1;
        if (p + 1 < s.size()) {
            for (const char* two : twoChar)
                if (s[p] == two[0] && s[p + 1] == two[1]) {
                    length = 2;
                    break;
                }
        }
        tokens.push_back({s.substr(p, length), true});
        k += length;
        operandStart = ci.at[k];
    }
    flush(s.size());
    return tokens;
}

// A token that cannot stand on the left of a binary operator.
bool beginsLikeOperator(const Token& t, const char* chars) { return t.isOp || inSet(t.text[0], chars); }

} // namespace

// ---------------------------------------------------------------------------
// TBuildZunoParser

void TBuildZunoParser::Clear() {
    FItems.clear();
    FTempCount = 0;
}

std::string TBuildZunoParser::newTemp() { return kTempPrefix + std::to_string(FTempCount++); }

std::string TBuildZunoParser::newElementRef() { return kElementRefPrefix + std::to_string(FTempCount++); }

void TBuildZunoParser::append(uint8_t code, std::string result, std::vector<std::string> operands) {
    auto op = std::make_unique<TBuildOpeData>();
    op->Code = code;
    op->ResultName = std::move(result);
    op->Operands = std::move(operands);
    FItems.push_back(std::move(op));
}

void TBuildZunoParser::Parse(const std::string& text) {
    build(text);
    copyPropagation();
}

void TBuildZunoParser::build(const std::string& source) {
    std::string text = source;
    while (liftStringLiteral(text)) {}
    while (liftFunctionCall(text)) {}
    while (liftArrayReference(text)) {}
    while (liftGroup(text)) {}
    reduce(text);
}

// Step 1: the first string literal becomes a temporary assigned from it.
// Inside it, \" and \\ stand for the character itself and \n for CR LF.
bool TBuildZunoParser::liftStringLiteral(std::string& text) {
    CharIndex ci(text);
    size_t open = 0;
    while (open < ci.count() && text[ci.at[open]] != '"')
        ++open;
    if (open == ci.count())
        return false;
    std::string literal = "\"";
    size_t k = open + 1;
    for (; k < ci.count(); ++k) {
        char c = text[ci.at[k]];
        if (c == '"')
            break;
        if (c == '\\' && k + 1 < ci.count()) {
            char n = text[ci.at[k + 1]];
            if (n == '"' || n == '\\') {
                literal += n;
                ++k;
                continue;
            }
            if (n == 'n') {
                literal += "\r\n";
                ++k;
                continue;
            }
        }
        literal += substrChars(text, ci, k, k + 1);
    }
    if (k == ci.count())
        return false;   // unterminated: the quote stays in the text
    literal += '"';
    std::string temp = newTemp();
    append(ocTo, temp, {std::move(literal)});
    text.replace(ci.at[open], ci.at[k + 1] - ci.at[open], temp);
    return true;
}

// The operand text of a call argument or an array index: empty stays empty, an
// expression is compiled into a new temporary, anything else is used as it is.
std::string TBuildZunoParser::compileArgument(std::string arg) {
    arg = stripOuterParens(std::move(arg));
    if (arg.empty() || !containsOperatorChar(arg))
        return arg;
    std::string temp = newTemp();
    build(temp + " = " + arg);
    return temp;
}

// Step 2: the rightmost call (a '(' after an identifier character) becomes a
// temporary; innermost calls therefore compile first, siblings right to left.
bool TBuildZunoParser::liftFunctionCall(std::string& text) {
    CharIndex ci(text);
    checkBalanced(text, ci, '(', ')');
    for (size_t open = ci.count(); open-- > 0;) {
        if (text[ci.at[open]] != '(')
            continue;
        size_t k = open;
        while (k > 0 && isBlank(text[ci.at[k - 1]]))
            --k;
        if (k == 0 || !isIdentChar(text[ci.at[k - 1]]))
            continue;
        size_t nameEnd = k;
        while (k > 0 && isIdentChar(text[ci.at[k - 1]]))
            --k;
        size_t nameStart = k;
        size_t close = findMatching(text, ci, open, '(', ')');
        if (close == std::string::npos)
            throw syntaxError();

        // Arguments: split at the commas outside brackets.
        std::vector<std::string> args;
        std::string argText = substrChars(text, ci, open + 1, close);
        if (!trimmedControls(argText).empty()) {
            int depth = 0;
            size_t from = open + 1;
            for (size_t j = open + 1; j < close; ++j) {
                char c = text[ci.at[j]];
                if (c == '[')
                    ++depth;
                else if (c == ']' && --depth < 0)
                    throw syntaxError();
                else if (c == ',' && depth == 0) {
                    args.push_back(substrChars(text, ci, from, j));
                    from = j + 1;
                }
            }
            if (depth != 0)
                throw syntaxError();
            args.push_back(substrChars(text, ci, from, close));
        }

        std::string temp = newTemp();
        std::vector<std::string> operands{substrChars(text, ci, nameStart, nameEnd)};
        for (std::string& a : args)
            operands.push_back(compileArgument(std::move(a)));
        append(ocFunc, temp, std::move(operands));
        text.replace(ci.at[nameStart], ci.at[close + 1] - ci.at[nameStart], temp);
        return true;
    }
    return false;
}

// Step 3: the rightmost name[i, j, ...] becomes an element reference.
bool TBuildZunoParser::liftArrayReference(std::string& text) {
    CharIndex ci(text);
    checkBalanced(text, ci, '[', ']');
    size_t open = ci.count();
    while (open > 0 && text[ci.at[open - 1]] != '[')
        --open;
    if (open == 0)
        return false;
    --open;
    size_t close = findMatching(text, ci, open, '[', ']');
    if (close == std::string::npos)
        throw syntaxError();
    size_t k = open;
    while (k > 0 && isBlank(text[ci.at[k - 1]]))
        --k;
    if (k > 0 && isOperatorChar(text[ci.at[k - 1]]))
        throw syntaxError();
    size_t nameEnd = k;
    while (k > 0 && !isBlank(text[ci.at[k - 1]]) && !isOperatorChar(text[ci.at[k - 1]]))
        --k;
    size_t nameStart = k;

    std::string indexText = substrChars(text, ci, open + 1, close);
    if (trimmedControls(indexText).empty())
        throw badIndexError();
    std::vector<std::string> indexes;
    size_t from = open + 1;
    for (size_t j = open + 1; j <= close; ++j)
        if (j == close || text[ci.at[j]] == ',') {
            indexes.push_back(substrChars(text, ci, from, j));
            from = j + 1;
        }

    std::string ref = newElementRef();
    std::vector<std::string> operands{substrChars(text, ci, nameStart, nameEnd)};
    for (std::string& idx : indexes)
        operands.push_back(compileArgument(std::move(idx)));
    append(ocDimTo, ref, std::move(operands));
    text.replace(ci.at[nameStart], ci.at[close + 1] - ci.at[nameStart], ref);
    return true;
}

// Step 4: the rightmost parenthesised group becomes a temporary.
bool TBuildZunoParser::liftGroup(std::string& text) {
    CharIndex ci(text);
    checkBalanced(text, ci, '(', ')');
    size_t open = ci.count();
    while (open > 0 && text[ci.at[open - 1]] != '(')
        --open;
    if (open == 0)
        return false;
    --open;
    size_t close = findMatching(text, ci, open, '(', ')');
    if (close == std::string::npos)
        throw syntaxError();
    std::string temp = newTemp();
    build(temp + " = " + substrChars(text, ci, open + 1, close));
    text.replace(ci.at[open], ci.at[close + 1] - ci.at[open], temp);
    return true;
}

// Steps 5 to 7: tokens, unary signs, then reduction by precedence.
void TBuildZunoParser::reduce(const std::string& text) {
    std::vector<Token> tokens = tokenize(text);
    if (tokens.empty()) {
        append(ocTo, kArgName, {text});
        return;
    }

    // Unary signs: a sign after an operator applies to the operand that follows.
    for (size_t s = tokens.size() >= 2 ? tokens.size() - 2 : 0; s >= 1 && s < tokens.size(); --s) {
        const std::string& t = tokens[s].text;
        if (!tokens[s].isOp || (t != "+" && t != "-") || !beginsLikeOperator(tokens[s - 1], "=+-*/%&^|[(,<>"))
            continue;
        if (t == "+") {
            tokens.erase(tokens.begin() + static_cast<long>(s));
            continue;
        }
        if (s + 1 >= tokens.size() || tokens[s + 1].isOp)
            throw syntaxError();    // a sign without an operand
        std::string temp = newTemp();
        append(ocMinus, temp, {"0", tokens[s + 1].text});
        tokens[s] = {temp, false};
        tokens.erase(tokens.begin() + static_cast<long>(s) + 1);
    }

    bool assigned = false;
    for (;;) {
        size_t best = tokens.size();
        int bestLevel = 100;
        for (size_t i = 0; i < tokens.size(); ++i)
            if (tokens[i].isOp && precedence(tokens[i].text) < bestLevel) {
                bestLevel = precedence(tokens[i].text);
                best = i;
            }
        if (best == tokens.size())
            break;
        size_t i = best;
        const std::string op = tokens[i].text;
        if (i + 1 >= tokens.size() || tokens[i + 1].isOp)
            throw syntaxError();    // no right operand
        const auto first = tokens.begin() + static_cast<long>(i);
        if (op == "=") {
            if (i == 0 || tokens[i - 1].isOp)
                throw syntaxError();
            append(ocTo, tokens[i - 1].text, {tokens[i + 1].text});
            tokens.erase(first - 1, first + 2);
            assigned = true;
        } else if (i > 0) {
            if (beginsLikeOperator(tokens[i - 1], "+-*/%|&^=[(<>"))
                throw syntaxError();
            std::string temp = newTemp();
            append(codeOf(op), temp, {tokens[i - 1].text, tokens[i + 1].text});
            tokens[i - 1] = {temp, false};
            tokens.erase(first, first + 2);
        } else {
            if (op != "+" && op != "-")
                throw syntaxError();
            std::string temp = newTemp();
            append(codeOf(op), temp, {"0", tokens[1].text});
            tokens[0] = {temp, false};
            tokens.erase(tokens.begin() + 1);
        }
    }
    if (tokens.empty())
        return;
    if (assigned || tokens.size() != 1)
        throw syntaxError();
    append(ocTo, kArgName, {tokens[0].text});
}

// Removes copies from one temporary into another and renames the later uses.
void TBuildZunoParser::copyPropagation() {
    auto plainTemp = [](const std::string& n) { return isTempName(n) && !isElementRefName(n) && n != kArgName; };
    for (size_t i = 0; i < FItems.size();) {
        const TBuildOpeData& op = *FItems[i];
        if (op.Code != ocTo || op.Operands.size() != 1 || !plainTemp(op.ResultName) || !plainTemp(op.Operands[0])) {
            ++i;
            continue;
        }
        const std::string from = op.ResultName, to = op.Operands[0];
        FItems.erase(FItems.begin() + static_cast<long>(i));
        for (size_t j = i; j < FItems.size(); ++j) {
            TBuildOpeData& later = *FItems[j];
            if (later.ResultName == from)
                later.ResultName = to;
            for (std::string& operand : later.Operands)
                if (operand == from)
                    operand = to;
        }
    }
}

// ---------------------------------------------------------------------------
// Stored form

uint8_t operandKindOf(const std::string& text) {
    if (tryStrToInt(text))
        return okInteger;
    if (tryStrToFloat(text))
        return okFloat;
    if (text == "TRUE" || text == "FALSE")
        return okFlag;
    if (text.size() > 1 && text.front() == '"' && text.back() == '"')
        return okString;
    return okVariable;
}

namespace {

void writeOperand(TStream& s, const std::string& text) {
    uint8_t kind = operandKindOf(text);
    WriteByte(s, kind);
    switch (kind) {
    case okInteger: WriteInt(s, *tryStrToInt(text)); break;
    case okFloat:   WriteExtended(s, realToExtended(*tryStrToFloat(text))); break;
    case okFlag:    WriteByte(s, text == "TRUE" ? 1 : 0); break;
    case okString:  WriteString(s, text.substr(1, text.size() - 2)); break;
    default:        WriteString(s, text); break;
    }
}

// Function number of a call, after checking the name and the argument count.
uint8_t resolveFunction(const TBuildOpeData& op) {
    const std::string name = op.Operands.empty() ? std::string() : op.Operands[0];
    int number = sysFuncIndexOf(name);
    if (number < 0)
        throw EZunoError("\"" + name + "\"" + sjis(" 関数名がありません"));
    const TSysFuncInfo& info = kSysFuncs[number];
    int args = static_cast<int>(op.Operands.size()) - 1;
    if (args < info.MinArgs || (info.MaxArgs >= 0 && args > info.MaxArgs))
        throw EZunoError(name + sjis(" 引数の数が不正です"));
    return static_cast<uint8_t>(number);
}

} // namespace

void TBuildZunoParser::SaveToStream(TStream& s) const {
    // Every call is resolved before anything is written, so a failure leaves the stream alone.
    std::vector<uint8_t> functionNumbers;
    for (const auto& op : FItems)
        if (op->Code == ocFunc)
            functionNumbers.push_back(resolveFunction(*op));

    size_t nextFunction = 0;
    WriteInt(s, Count());
    for (const auto& op : FItems) {
        WriteByte(s, op->Code);
        WriteString(s, op->ResultName);
        size_t first = 0;
        if (op->Code == ocFunc) {
            first = 1;
            WriteInt(s, static_cast<int32_t>(op->Operands.size()) - 1);
            WriteByte(s, functionNumbers[nextFunction++]);
        } else {
            WriteInt(s, static_cast<int32_t>(op->Operands.size()));
        }
        for (size_t k = first; k < op->Operands.size(); ++k)
            writeOperand(s, op->Operands[k]);
    }
}

} // namespace zuno
