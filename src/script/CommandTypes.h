// The command types: the low seven bits of a command's stored type byte. Each
// command class names its type (ZUNO_COMMAND_TYPE), and the factory's table
// lists the classes in code order, checked against these values when it is
// compiled, so a code, its class and its name cannot drift apart.
#pragma once

#include <cstdint>

namespace zuno {

enum TCommandType : uint8_t {
    ctIf                = 0,
    ctElseif            = 1,
    ctElse              = 2,
    ctLabel             = 3,
    ctJump              = 4,
    ctCall              = 5,
    ctExit              = 6,
    ctWait              = 7,
    ctBoxNew            = 8,
    ctImgNew            = 9,
    ctMesNew            = 10,
    ctTimer             = 11,
    ctMovie             = 12,
    ctFlip              = 13,
    ctCalc              = 14,
    ctVarNew            = 15,
    ctVarDel            = 16,
    ctGetProp           = 17,
    ctSetProp           = 18,
    ctObjDel            = 19,
    ctTextIns           = 20,
    ctMovieStop         = 21,
    ctClrHist           = 22,
    ctCinema            = 23,
    ctCaption           = 24,
    ctMenu              = 25,
    ctMenuClose         = 26,
    ctComment           = 27,
    ctTextClr           = 28,
    ctCallHist          = 29,
    ctButton            = 30,
    ctWhile             = 31,
    ctWhileInit         = 32,
    ctWhileLoop         = 33,
    ctBreak             = 34,
    ctContinue          = 35,
    ctParticleNew       = 36,
    ctFireNew           = 37,
    ctGameSave          = 38,
    ctGameLoad          = 39,
    ctPCReset           = 40,
    ctReset             = 41,
    ctSound             = 42,
    ctEditNew           = 43,
    ctMemoNew           = 44,
    ctTerminate         = 45,
    ctDoEvent           = 46,
    ctClrRead           = 47,
    ctMapImgNew         = 48,
    ctWaveNew           = 49,
    ctTileNew           = 50,
    ctSliderNew         = 51,
    ctScrollbarNew      = 52,
    ctGaugeNew          = 53,
    ctCGCaption         = 54,
    ctMediaPlay         = 55,
    ctPrevMenuNew       = 56,
    ctPropMotion        = 57,
    ctFormatHist        = 58,
    ctSaveCabinet       = 59,
    ctLoadCabinet       = 60,
};

constexpr int CommandTypeCount = ctLoadCabinet + 1;         // type codes 0 .. 60

} // namespace zuno
