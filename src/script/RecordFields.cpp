#include "script/RecordFields.h"

#include "core/StreamFields.h"

namespace zuno {

// The smallest compiled expression is its int32 operation count.
constexpr int64_t MinExprBytes = 4;

//==============================================================================
// TFieldReader
//==============================================================================

void TFieldReader::Int(const char*, int32_t& v) { v = ReadInt(FStream); }
void TFieldReader::Byte(const char*, uint8_t& v) { v = ReadByte(FStream); }
void TFieldReader::Text(const char*, std::string& v) { v = ReadString(FStream); }
void TFieldReader::Data(const char*, std::string& v) { v = ReadString(FStream); }
void TFieldReader::Expr(const char*, TExprPtr& e) { e = readExpr(FStream); }

void TFieldReader::ExprList(const char*, std::vector<TExprPtr>& list) {
    int32_t n = ReadInt(FStream);
    list.clear();
    if (n <= 0)
        return;
    checkCount(FStream, n, MinExprBytes, "expression list");
    list.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        list.push_back(readExpr(FStream));
}

//==============================================================================
// TFieldWriter
//==============================================================================

void TFieldWriter::Int(const char*, int32_t& v) { WriteInt(FStream, v); }
void TFieldWriter::Byte(const char*, uint8_t& v) { WriteByte(FStream, v); }
void TFieldWriter::Text(const char*, std::string& v) { WriteString(FStream, v); }
void TFieldWriter::Data(const char*, std::string& v) { WriteString(FStream, v); }
void TFieldWriter::Expr(const char*, TExprPtr& e) { writeExpr(FStream, e.get()); }

void TFieldWriter::ExprList(const char*, std::vector<TExprPtr>& list) {
    WriteInt(FStream, static_cast<int32_t>(list.size()));
    for (const TExprPtr& e : list)
        writeExpr(FStream, e.get());
}

} // namespace zuno
