#include <gtest/gtest.h>

#include <fstream>

#include "core/EZunoError.h"
#include "platform/headless/InputScript.h"
#include "support/TTempFolder.h"

namespace zuno {
namespace {

TInputEvent mouse(TInputKind kind, TMouseButton b, int x, int y) {
    TInputEvent e;
    e.kind = kind;
    e.button = b;
    e.x = x;
    e.y = y;
    return e;
}
TInputEvent key(TInputKind kind, int code) {
    TInputEvent e;
    e.kind = kind;
    e.key = code;
    return e;
}
TInputEvent simple(TInputKind kind, int delta = 0) {
    TInputEvent e;
    e.kind = kind;
    e.delta = delta;
    return e;
}

TEST(InputScript, EveryVerbLandsOnItsFrameInLineOrder) {
    TInputScript s = TInputScript::parse(
        "# a comment line\n"
        "\n"
        "3 move 10 20\r\n"
        "  3   click left 5 6   # press here, release on 4\n"
        "4 down right -1 7\n"
        "4 up RIGHT 8 9\n"
        "5 wheel up\n"
        "5 wheel down\n"
        "6 key RETURN\n"
        "6 keydown a\n"
        "7 keyup 27\n"
        "8 activate\n"
        "8 deactivate\n"
        "9 quit");
    using K = TInputKind;
    EXPECT_TRUE(s.eventsAt(1).empty());
    EXPECT_EQ(s.eventsAt(3), (std::vector<TInputEvent>{mouse(K::mouseMove, TMouseButton::left, 10, 20),
                                                        mouse(K::mouseDown, TMouseButton::left, 5, 6)}));
    EXPECT_EQ(s.eventsAt(4), (std::vector<TInputEvent>{mouse(K::mouseUp, TMouseButton::left, 5, 6),
                                                        mouse(K::mouseDown, TMouseButton::right, -1, 7),
                                                        mouse(K::mouseUp, TMouseButton::right, 8, 9)}));
    EXPECT_EQ(s.eventsAt(5), (std::vector<TInputEvent>{simple(K::wheel, 1), simple(K::wheel, -1)}));
    EXPECT_EQ(s.eventsAt(6), (std::vector<TInputEvent>{key(K::keyDown, 13), key(K::keyDown, 'A')}));
    EXPECT_EQ(s.eventsAt(7), (std::vector<TInputEvent>{key(K::keyUp, 13), key(K::keyUp, 27)}));
    EXPECT_EQ(s.eventsAt(8), (std::vector<TInputEvent>{simple(K::activate), simple(K::deactivate)}));
    EXPECT_EQ(s.eventsAt(9), (std::vector<TInputEvent>{simple(K::quit)}));
    EXPECT_EQ(s.lastFrame(), 9);
}

TEST(InputScript, TextAndCompositionTakeTheRestOfTheLine) {
    // After one blank the rest of the line is the text, inner and trailing
    // blanks included; a composition's cursor is at its end, counted in
    // characters; an empty composition ends one.
    TInputScript s = TInputScript::parse("1 text a b \n1 compose \xe6\x97\xa5\xe6\x9c\xac\n2 compose\n");
    TInputEvent typed;
    typed.kind = TInputKind::textInput;
    typed.text = "a b ";
    typed.x = 4;
    TInputEvent composing;
    composing.kind = TInputKind::textComposition;
    composing.text = "\xe6\x97\xa5\xe6\x9c\xac";
    composing.x = 2;
    TInputEvent ended;
    ended.kind = TInputKind::textComposition;
    EXPECT_EQ(s.eventsAt(1), (std::vector<TInputEvent>{typed, composing}));
    EXPECT_EQ(s.eventsAt(2), (std::vector<TInputEvent>{ended}));
}

TEST(InputScript, ReleaseOfAnEarlierLineKeepsLineOrderOnTheNextFrame) {
    // The release of line 2's key comes after line 1's event of the same frame.
    TInputScript s = TInputScript::parse("2 keydown SPACE\n1 key ESCAPE\n");
    EXPECT_EQ(s.eventsAt(2), (std::vector<TInputEvent>{key(TInputKind::keyDown, 32), key(TInputKind::keyUp, 27)}));
}

TEST(InputScript, KeyNames) {
    struct Case {
        const char* name;
        int code;
    } cases[] = {{"RETURN", 13}, {"escape", 27}, {"SPACE", 32}, {"LEFT", 37}, {"UP", 38},   {"RIGHT", 39},
                 {"DOWN", 40},   {"SHIFT", 16},  {"CONTROL", 17}, {"TAB", 9}, {"BACK", 8},  {"z", 'Z'},
                 {"Q", 'Q'},     {"7", '7'},     {"0", '0'},    {"13", 13},   {"255", 255}, {"65", 65}};
    for (const Case& c : cases) {
        TInputScript s = TInputScript::parse(std::string("1 keydown ") + c.name);
        ASSERT_EQ(s.eventsAt(1).size(), 1u) << c.name;
        EXPECT_EQ(s.eventsAt(1)[0].key, c.code) << c.name;
    }
}

TEST(InputScript, BadLinesNameTheirLineNumber) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"1 move 1 2\nx move 1 2", "line 2: bad frame"},
        {"0 quit", "line 1: bad frame"},
        {"2147483647 quit", "line 1: bad frame"},
        {"1 jump", "line 1: unknown verb"},
        {"\n\n1 move 1", "line 3: missing y"},
        {"1 move 1 2 3", "line 1: unexpected text"},
        {"1 click middle 1 2", "line 1: bad button"},
        {"1 down left a 2", "line 1: bad x"},
        {"1 move 99999999999 2", "line 1: bad x"},
        {"1 wheel sideways", "line 1: bad wheel direction"},
        {"1 key ENTER", "line 1: bad key"},
        {"1 key 256", "line 1: bad key"},
        {"1 key 00", "line 1: bad key"},
        {"1 keydown", "line 1: missing key"},
        {"1 text", "line 1: missing text"},
        {"1 quit now", "line 1: unexpected text"},
        {"1", "line 1: missing verb"},
    };
    for (const Case& c : cases) {
        try {
            TInputScript::parse(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const EZunoError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << c.text << " -> " << e.what();
        }
    }
}

TEST(InputScript, LoadFromFileNamesTheFileInErrors) {
    test::TTempFolder dir;
    const std::string path = dir.path("input.txt");
    {
        std::ofstream(path) << "1 click left 1 2\n2 bogus\n";
    }
    try {
        TInputScript::loadFromFile(path);
        ADD_FAILURE() << "accepted";
    } catch (const EZunoError& e) {
        EXPECT_NE(std::string(e.what()).find(path + ": input line 2"), std::string::npos) << e.what();
    }
    EXPECT_THROW(TInputScript::loadFromFile(path + ".missing"), EZunoError);
}

} // namespace
} // namespace zuno
