// The property table: declared types, defaults of kinds without a property,
// what implementing kinds keep, conversions and the errors of GetProp/SetProp.
#include <gtest/gtest.h>

#include "ObjectTestKit.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "objects/PropertyTable.h"
#include "objects/TZunoCabinet.h"
#include "objects/TZunoSound.h"

namespace zuno {
namespace {

using namespace test;

TEST(PropertyTableTest, DefaultsCarryTheDeclaredType) {
    for (int id = 0; id < PropertyCount; ++id)
        EXPECT_EQ(propertyDefault(id).Type, propertyValueType(id)) << propertyName(id);
    EXPECT_EQ(propertyDefault(PropertyCount).Type, PT_NONE);
    EXPECT_EQ(propertyKinds(-1), 0u);
}

TEST(PropertyTableTest, EveryKindHasItsClassAndOnlyThose) {
    for (int kind = 0; kind < 256; ++kind) {
        auto o = TZunoBaseList::NewByKind(static_cast<uint8_t>(kind));
        const int k = kind & 0x7F;
        const bool hasClass = k > 0 && k < ObjectKindCount && k != LT_AUDIO && k != LT_MAP;
        ASSERT_EQ(o != nullptr, hasClass) << kind;
        if (o) {
            EXPECT_EQ(o->GetCompoType(), k);
            // Controls are exactly the kinds the table calls controls.
            EXPECT_EQ(o->AsControl() != nullptr, (ControlKinds & kindBit(k)) != 0) << kind;
        }
    }
}

struct TReadCase {
    uint8_t             kind;
    int                 id;
    std::string         expected;               // value as text
};

TEST(PropertyTableTest, ReadsOfFreshObjects) {
    const TReadCase cases[] = {
        // kinds that do not implement the property read the table's default
        {LT_SOUND, PR_ZOOMX, "256"},
        {LT_SOUND, PR_COLOR, "16777215"},
        {LT_SOUND, PR_VISIBLE, "FALSE"},
        {LT_SOUND, PR_LEFT, "0"},
        {LT_TIMER, PR_INDEX, "-1"},
        {LT_TIMER, PR_BRIGHTNESS, "255"},
        {LT_BOX, PR_REWINDONLOAD, "TRUE"},
        {LT_BOX, PR_OVERLAY, "TRUE"},
        {LT_BOX, PR_PARTMOTION, "1"},
        {LT_BOX, PR_PARAM1, "0"},
        {LT_MES, PR_COLCOUNT, "0"},
        {LT_BOX, PR_APPEARX, "0"},
        // controls
        {LT_BOX, PR_COLOR, "0"},
        {LT_BOX, PR_VISIBLE, "TRUE"},
        {LT_CABINET, PR_VISIBLE, "FALSE"},
        {LT_BOX, PR_HANDLEKEY, "0"},
        {LT_BOX, PR_PARENT, ""},
        // identity
        {LT_GAUGE, PR_COMPOTYPE, "23"},
        {LT_SOUND, PR_COMPOTYPE, "17"},
        {LT_BOX, PR_NAME, "object0"},
        // implementing kinds start from the table's value
        {LT_MENU, PR_HOVERCOLOR, "-1"},
        {LT_MES, PR_TEXTDELAY, "256"},
        {LT_IMAGES, PR_ALPHA, "255"},
    };
    for (const TReadCase& c : cases) {
        TZunoBaseList reg;
        TZunoObject* o = reg.CreateByKind(c.kind);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(getText(*o, c.id), c.expected) << int(c.kind) << " " << propertyName(c.id);
    }
}

TEST(PropertyTableTest, UnscaledSizeOfKindsWithoutOneIsTheSize) {
    TZunoBaseList reg;
    TZunoControl* box = addControl(reg, reg.GetScreen(0), 0, 0, 30, 20);
    EXPECT_EQ(getInt(*box, PR_ORIGWIDTH), 30);
    EXPECT_EQ(getInt(*box, PR_ORIGHEIGHT), 20);
    TZunoObject* sound = reg.CreateByKind(LT_SOUND);
    EXPECT_EQ(getInt(*sound, PR_ORIGWIDTH), 0);
}

TEST(PropertyTableTest, ImplementingKindsKeepWritesOthersIgnoreThem) {
    struct TCase {
        uint8_t kind;
        int id;
        bool kept;
    } cases[] = {
        {LT_BOX, PR_BORDERWIDTH, true},   {LT_IMAGES, PR_BORDERWIDTH, false},
        {LT_SOUND, PR_VOLUME, true},      {LT_TIMER, PR_VOLUME, false},
        {LT_PARTICLE, PR_PARAM2, true},   {LT_MES, PR_PARAM2, false},
        {LT_MENU, PR_BORDERSOURCEBR, true}, {LT_MES, PR_FONTLINKCOLOR, true},
        {LT_SOUND, PR_LEFT, false},       {LT_HTTP, PR_TEXT, true},
        {LT_MES, PR_COLCOUNT, false},     {LT_SOUND, PR_ANIPAUSED, true},
    };
    for (const TCase& c : cases) {
        TZunoBaseList reg;
        TZunoObject* o = reg.CreateByKind(c.kind);
        const std::string before = getText(*o, c.id);
        const uint8_t type = propertyValueType(c.id);
        auto v = type == PT_STR ? strValue("pic.drl") : type == PT_FLOAT ? floatValue(1.5L)
               : type == PT_BOOL ? boolValue(true) : intValue(77);
        setProp(*o, c.id, *v);
        const std::string after = getText(*o, c.id);
        if (c.kept)
            EXPECT_EQ(after, v->AsString()) << int(c.kind) << " " << propertyName(c.id);
        else
            EXPECT_EQ(after, before) << int(c.kind) << " " << propertyName(c.id);
    }
}

TEST(PropertyTableTest, ValuesConvertToTheDeclaredType) {
    TZunoBaseList reg;
    TZunoControl* c = addControl(reg, reg.GetScreen(0), 0, 0, 10, 10);
    setProp(*c, PR_LEFT, *strValue("42"));
    EXPECT_EQ(c->Left(), 42);
    setProp(*c, PR_TOP, *floatValue(7.9L));                  // truncated toward zero
    EXPECT_EQ(c->Top(), 7);
    setProp(*c, PR_NAME, *intValue(5));
    EXPECT_EQ(c->Name(), "5");
    setProp(*c, PR_VISIBLE, *intValue(0));
    EXPECT_FALSE(c->Visible());
    setProp(*c, PR_HANDLEKEY, *intValue(9));                 // a truth value, read as 0 or 1
    EXPECT_EQ(getInt(*c, PR_HANDLEKEY), 1);
    setProp(*c, PR_IGNOREMOUSE, *intValue(3));
    EXPECT_EQ(c->IgnoreMouse(), IM_LCLICK);
    // The result of a read carries the declared type.
    EXPECT_EQ(GetPropertyValue(*c, PR_VISIBLE)->ParamType(), PT_BOOL);
    EXPECT_EQ(GetPropertyValue(*c, PR_PARAM1)->ParamType(), PT_FLOAT);
    EXPECT_EQ(GetPropertyValue(*c, PR_TAG)->ParamType(), PT_STR);
    // A text that is no number converts as the language converts it.
    setProp(*c, PR_WIDTH, *strValue("wide"));
    EXPECT_EQ(c->Width(), strValue("wide")->AsInteger());
}

TEST(PropertyTableTest, ErrorsAndReadOnlyIdentifiers) {
    TZunoBaseList reg;
    TZunoControl* c = addControl(reg, reg.GetScreen(0), 0, 0, 10, 10);
    for (int id : {163, 200, 255, -1})
        EXPECT_THROW(GetPropertyValue(*c, id), EZunoError) << id;
    for (int id : {int(PR_APPEARX), int(PR_APPEARY), 163, 255}) {
        try {
            setProp(*c, id, *intValue(1));
            ADD_FAILURE() << id;
        } catch (const EZunoError& e) {
            EXPECT_EQ(e.message(), sjis("SetPropエラー"));
        }
    }
    try {
        GetPropertyValue(*c, 163);
    } catch (const EZunoError& e) {
        EXPECT_EQ(e.message(), sjis("GetPropエラー"));
    }
    // Read-only identifiers are ignored without error.
    for (int id : {int(PR_CARETX), int(PR_CARETY), int(PR_PLAYING), int(PR_COMPOTYPE), int(PR_CARETHEIGHT)}) {
        const std::string before = getText(*c, id);
        EXPECT_NO_THROW(setProp(*c, id, *intValue(1)));
        EXPECT_EQ(getText(*c, id), before);
    }
    EXPECT_EQ(getInt(*c, PR_APPEARY), 0);
}

TEST(PropertyTableTest, ParentByNameAndScreensIgnoreIt) {
    TZunoBaseList reg;
    TZunoControl* a = addControl(reg, reg.GetScreen(0), 0, 0, 10, 10, "a");
    TZunoControl* b = addControl(reg, reg.GetScreen(0), 0, 0, 10, 10, "b");
    setProp(*b, PR_PARENT, *strValue("a"));
    EXPECT_EQ(b->Parent(), a);
    EXPECT_EQ(getText(*b, PR_PARENT), "a");
    setProp(*b, PR_PARENT, *strValue("nobody"));           // not found: unchanged
    EXPECT_EQ(b->Parent(), a);
    setProp(*b, PR_PARENT, *strValue(std::string("\x01" "BASE1")));
    EXPECT_EQ(b->Parent(), reg.GetScreen(1));
    setProp(*reg.GetScreen(0), PR_PARENT, *strValue("a"));
    EXPECT_EQ(reg.GetScreen(0)->Parent(), nullptr);
    // Non-controls have no parent.
    TZunoObject* s = reg.Create<TZunoSound>();
    setProp(*s, PR_PARENT, *strValue("a"));
    EXPECT_EQ(getText(*s, PR_PARENT), "");
}

TEST(PropertyTableTest, PropertyListHasEveryIdentifier) {
    TZunoBaseList reg;
    TZunoObject* o = reg.CreateByKind(LT_MENU);
    std::vector<std::pair<std::string, std::string>> rows;
    o->ListProperties(rows);
    ASSERT_EQ(rows.size(), size_t(PropertyCount));
    EXPECT_EQ(rows[PR_HOVERCOLOR], (std::pair<std::string, std::string>("PR_HOVERCOLOR", "-1")));
    EXPECT_EQ(rows[PR_REPEATPOS].first, "PR_REPEATPOS");
}

} // namespace
} // namespace zuno
