// Typed values of the expression language: the abstract value TCustomParam,
// the four storage classes (int32, real, flag, text; scalars or arrays), the
// element reference TParamVar and the factory. System variables are in
// TParamSystem.h, the variable table in TParamCollection.h.
//
// Every value is an array of elements with a dimension list (empty for a
// scalar, which then has exactly one element). Elements are flat, row-major.
// Scalar reads and stores act on element 0 (on a TParamVar: on element
// ElementOffset of its target); a scalar store first turns an array back into
// a scalar. Reading or storing another type converts as in ParamConvert.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/ParamConvert.h"

namespace zuno {

class TStream;
class TParamCollectionItem;

// Value type codes, one byte everywhere.
constexpr uint8_t PT_NONE = 0, PT_INT = 1, PT_FLOAT = 2, PT_BOOL = 3, PT_STR = 4;

// Upper bound of the elements of one value (SetDims rejects more).
constexpr int64_t kMaxParamElements = int64_t(1) << 24;

class TCustomParam {
public:
    virtual             ~TCustomParam() = default;

    // --- the value operations, in their slot order ---
    virtual int         Count() const { return 1; }                       // number of elements
    virtual void        SetCount(int n) = 0;                              // resize; new elements 0/0.0/false/empty
    virtual uint8_t     ParamType() const { return PT_INT; }             // PT_ code
    virtual bool        AsBoolean() const = 0;                            // scalar reads
    virtual TReal       AsFloat() const = 0;
    virtual int32_t     AsInteger() const = 0;
    virtual std::string AsString() const = 0;
    virtual void        SetBoolean(bool b) = 0;                           // scalar stores (ClearDims first)
    virtual void        SetFloat(TReal x) = 0;
    virtual void        SetInteger(int32_t i) = 0;
    virtual void        SetString(const std::string& s) = 0;
    virtual int32_t     GetIntegerAt(int i) const = 0;                    // element reads / stores,
    virtual void        SetIntegerAt(int i, int32_t v) = 0;               // "配列の添字が不正です" outside 0..Count-1
    virtual TReal       GetFloatAt(int i) const = 0;
    virtual void        SetFloatAt(int i, TReal x) = 0;
    virtual bool        GetBooleanAt(int i) const = 0;
    virtual void        SetBooleanAt(int i, bool b) = 0;
    virtual std::string GetStringAt(int i) const = 0;
    virtual void        SetStringAt(int i, const std::string& s) = 0;
    virtual int         DimCount() const;                                 // 1 for an empty dimension list
    virtual int         DimSize(int k) const;                             // 1 when k is outside the list
    virtual void        Assign(const TCustomParam& other);                // raw copy from the same class (else nothing)
    virtual void        SetDims(const std::vector<int32_t>& sizes);       // validate, store, SetCount(product)
    virtual void        FillInteger(int32_t) {}                           // each class fills from its own type only
    virtual void        FillFloat(TReal) {}
    virtual void        FillBoolean(bool) {}
    virtual void        FillString(const std::string&) {}
    virtual void        CopyFrom(const TCustomParam& other);              // same class, else "CopyMem:変数の型があいません"
    virtual void        SaveToStream(TStream& s) const = 0;               // value record / reference record
    virtual void        LoadFromStream(TStream& s) = 0;                   // bounded; EZunoError on bad data
    virtual void        ClearDims();                                      // array -> one-element scalar
    virtual int         IndexOfString(const std::string& s, bool caseSensitive, bool partial) const;

    // --- helpers ---
    // Dimensions from other (a scalar gives [1]), then element-wise copy
    // converted to this value's own type.
    void                AssignConverted(const TCustomParam& other);
    // The storage value behind this one: itself for the four storage classes,
    // the target's value for a bound TParamVar, the forwarded value for
    // "@Result"/"@Temp"; nullptr for anything else.
    virtual TCustomParam* Storage() { return nullptr; }
    const TCustomParam* Storage() const { return const_cast<TCustomParam*>(this)->Storage(); }
    // The variable a bound TParamVar refers to; nullptr for everything else.
    virtual TParamCollectionItem* BoundItem() const { return nullptr; }
    // A detached copy: storage classes copy dims and elements; a TParamVar
    // copies its name only (unbound); system values yield a scalar of their type.
    virtual std::unique_ptr<TCustomParam> Clone() const = 0;
    const std::vector<int32_t>& Dims() const { return FDims; }

    // Type code 0: unbound TParamVar; 1-4: storage class; other codes
    // (after masking with 0x7F): nullptr.
    static std::unique_ptr<TCustomParam> CreateParam(uint8_t type);

protected:
    void                checkIndex(int i) const;                          // "配列の添字が不正です"
    std::vector<int32_t> FDims;
};

// The four storage classes share one implementation over their element type.
template <class E, uint8_t PT>
class TParamStorage : public TCustomParam {
public:
                        TParamStorage() : FItems(1, E{}) {}

    int                 Count() const override { return static_cast<int>(FItems.size()); }
    void                SetCount(int n) override;
    uint8_t             ParamType() const override { return PT; }
    bool                AsBoolean() const override { return GetBooleanAt(0); }
    TReal               AsFloat() const override { return GetFloatAt(0); }
    int32_t             AsInteger() const override { return GetIntegerAt(0); }
    std::string         AsString() const override { return GetStringAt(0); }
    void                SetBoolean(bool b) override { toScalar(); SetBooleanAt(0, b); }
    void                SetFloat(TReal x) override { toScalar(); SetFloatAt(0, x); }
    void                SetInteger(int32_t i) override { toScalar(); SetIntegerAt(0, i); }
    void                SetString(const std::string& s) override { toScalar(); SetStringAt(0, s); }
    int32_t             GetIntegerAt(int i) const override;
    void                SetIntegerAt(int i, int32_t v) override;
    TReal               GetFloatAt(int i) const override;
    void                SetFloatAt(int i, TReal x) override;
    bool                GetBooleanAt(int i) const override;
    void                SetBooleanAt(int i, bool b) override;
    std::string         GetStringAt(int i) const override;
    void                SetStringAt(int i, const std::string& s) override;
    void                Assign(const TCustomParam& other) override;
    void                FillInteger(int32_t v) override;
    void                FillFloat(TReal x) override;
    void                FillBoolean(bool b) override;
    void                FillString(const std::string& s) override;
    void                SaveToStream(TStream& s) const override;
    void                LoadFromStream(TStream& s) override;
    int                 IndexOfString(const std::string& s, bool caseSensitive, bool partial) const override;
    TCustomParam*       Storage() override { return this; }
    std::unique_ptr<TCustomParam> Clone() const override;

    // Direct element access for callers that know the class.
    const E&            Item(int i) const {
        if (i < 0 || static_cast<size_t>(i) >= FItems.size())
            checkIndex(i);                              // raises
        return FItems[static_cast<size_t>(i)];
    }
    E&                  Item(int i) {
        if (i < 0 || static_cast<size_t>(i) >= FItems.size())
            checkIndex(i);
        return FItems[static_cast<size_t>(i)];
    }
    // Back to a fresh scalar holding the default element (keeps capacity).
    void                Reset();

private:
    void                toScalar() {                    // ClearDims without the virtual calls
        if (!FDims.empty()) {
            FDims.clear();
            FItems.resize(1);
        }
    }
    std::vector<E>      FItems;
};

using TParamInt   = TParamStorage<int32_t, PT_INT>;
using TParamFloat = TParamStorage<TReal, PT_FLOAT>;
using TParamFlag  = TParamStorage<uint8_t, PT_BOOL>;      // 0 or 1
using TParamStr   = TParamStorage<std::string, PT_STR>;

extern template class TParamStorage<int32_t, PT_INT>;
extern template class TParamStorage<TReal, PT_FLOAT>;
extern template class TParamStorage<uint8_t, PT_BOOL>;
extern template class TParamStorage<std::string, PT_STR>;

// A reference to an element of another variable. It carries the variable's
// name; the binding (Target) is set by whoever resolves the name and cleared
// again after each operation. Scalar reads/stores act on element
// ElementOffset of the target (a scalar store is an element store here);
// element and array operations are forwarded to the target. Unbound, it reads
// as 0 / 0.0 / false / empty, type 0, count 0, and ignores stores.
class TParamVar : public TCustomParam {
public:
    explicit            TParamVar(std::string varName = {}) : FVarName(std::move(varName)) {}

    const std::string&  VarName() const { return FVarName; }
    void                SetVarName(std::string name) { FVarName = std::move(name); }
    TParamCollectionItem* Target() const { return FTarget; }
    void                Bind(TParamCollectionItem* item);  // a binding that would refer back to itself stays unbound
    void                Unbind() { FTarget = nullptr; }
    // Name of the bound variable as read by LoadFromStream (the variable table
    // binds it after loading); empty when it was unbound.
    const std::string&  LoadedBoundName() const { return FLoadedBoundName; }

    int32_t             ElementOffset = 0;                 // flat index into the target's elements
    uint8_t             Reserved = 0;                      // stored and restored as read

    int                 Count() const override;
    void                SetCount(int n) override;
    uint8_t             ParamType() const override;
    bool                AsBoolean() const override;
    TReal               AsFloat() const override;
    int32_t             AsInteger() const override;
    std::string         AsString() const override;
    void                SetBoolean(bool b) override;
    void                SetFloat(TReal x) override;
    void                SetInteger(int32_t i) override;
    void                SetString(const std::string& s) override;
    int32_t             GetIntegerAt(int i) const override;
    void                SetIntegerAt(int i, int32_t v) override;
    TReal               GetFloatAt(int i) const override;
    void                SetFloatAt(int i, TReal x) override;
    bool                GetBooleanAt(int i) const override;
    void                SetBooleanAt(int i, bool b) override;
    std::string         GetStringAt(int i) const override;
    void                SetStringAt(int i, const std::string& s) override;
    int                 DimCount() const override;
    int                 DimSize(int k) const override;
    void                Assign(const TCustomParam& other) override;
    void                SetDims(const std::vector<int32_t>& sizes) override;
    void                FillInteger(int32_t v) override;
    void                FillFloat(TReal x) override;
    void                FillBoolean(bool b) override;
    void                FillString(const std::string& s) override;
    void                CopyFrom(const TCustomParam& other) override;
    void                SaveToStream(TStream& s) const override;  // reference record
    void                LoadFromStream(TStream& s) override;
    void                ClearDims() override;
    int                 IndexOfString(const std::string& s, bool caseSensitive, bool partial) const override;
    TCustomParam*       Storage() override;
    TParamCollectionItem* BoundItem() const override { return FTarget; }
    std::unique_ptr<TCustomParam> Clone() const override;

private:
    TCustomParam*       target() const;                    // the bound item's value or nullptr

    std::string         FVarName;
    TParamCollectionItem* FTarget = nullptr;               // not owned
    std::string         FLoadedBoundName;
};

} // namespace zuno
