// The walks over command records that read them from and write them to a
// stream (TRecordFields in TCommand.h).
#pragma once

#include "script/TCommand.h"

namespace zuno {

class TFieldReader : public TRecordFields {
public:
                        TFieldReader(TStream& s, int32_t version) : TRecordFields(version), FStream(s) {}
    void                Int(const char* name, int32_t& v) override;
    void                Byte(const char* name, uint8_t& v) override;
    void                Text(const char* name, std::string& v) override;
    void                Data(const char* name, std::string& v) override;
    void                Expr(const char* name, TExprPtr& e) override;
    void                ExprList(const char* name, std::vector<TExprPtr>& list) override;

private:
    TStream&            FStream;
};

class TFieldWriter : public TRecordFields {
public:
                        TFieldWriter(TStream& s, int32_t version) : TRecordFields(version), FStream(s) {}
    void                Int(const char* name, int32_t& v) override;
    void                Byte(const char* name, uint8_t& v) override;
    void                Text(const char* name, std::string& v) override;
    void                Data(const char* name, std::string& v) override;
    void                Expr(const char* name, TExprPtr& e) override;
    void                ExprList(const char* name, std::vector<TExprPtr>& list) override;

private:
    TStream&            FStream;
};

} // namespace zuno
