# One command of each of the 61 types, for the decompile/build round trip.
# The run stops at the first Exit; the rest is only compiled.
.page version=113 result=4
.props Timer PR_NAME PR_DELAY PR_LEFT
WhileInit n = n + 1
Exit n > 0
If n == 1
  Label inside
Elseif n == 2
Else
Label top
Jump @top; condition: n > 100
Call other.zsb; target: 3; result: res; arguments: 1, "two", n * 3 - -4, IntToStr(n)
Wait 500; condition: n <> 0; eventLock: TRUE
BoxNew PR_NAME: "box"; PR_LEFT: 10; PR_TOP: 20; PR_WIDTH: 100; PR_HEIGHT: 50; PR_COLOR: 255
ImgNew PR_NAME: "img"; PR_SOURCE: "pic.drl"; PR_ALPHA: 128
MesNew PR_NAME: "mes"; PR_FONTNAME: "ＭＳ ゴシック"
Timer PR_NAME: "t"; PR_DELAY: 100
Movie PR_NAME: "mov"; PR_SOURCE: "a.mpg"
Flip 1; duration: 300; param: 2; mode: 0; names: "a", "b"; clearBack: TRUE; wipeParam0: 1; wipeParam1: 2; wipeText: "x"; eventLock: FALSE
Calc n = (n + 1) * 2 % 7 | 8 & 3 ^ 1 << 2 >> 1
VarNew v; type: text; value: "init" ++ "ial"; scope: local
VarDel v
GetProp "img"; property: 3; variable: x
SetProp "img"; property: 3; value: x + 1
ObjDel "img"
TextIns "こんにちは\r\n世界\x81"; box: "mes"; readTracking: TRUE; wait: TRUE; eventLock: FALSE
MovieStop "mov"; fadeTime: 100; wait: FALSE
ClrHist
Cinema PR_NAME: "cin"
Caption PR_NAME: "cap"
Menu PR_NAME: "menu"
MenuClose "menu"
Comment "a comment; with a semicolon"
TextClr "mes"
CallHist "mes"; first: 0; count: 10; flag: TRUE; format: "f"
Button PR_NAME: "btn"
WhileInit n = 0
While n < 3
  Break n == 2
  Continue n == 1
WhileLoop n = n + 1
ParticleNew PR_NAME: "p"
FireNew PR_NAME: "f"
GameSave 1; resumePage: main.zsb; resumeIndex: @top; caption: "save"
GameLoad 1
PCReset main.zsb; target: @top; mode: 1
Reset main.zsb
Sound PR_NAME: "snd"; PR_SOURCE: "a.wav"
EditNew PR_NAME: "ed"
MemoNew[disabled] PR_NAME: "memo"
Terminate[nocontinue line=500]
DoEvent
ClrRead
MapImgNew PR_NAME: "map"
WaveNew PR_NAME: "wave"
TileNew PR_NAME: "tile"
SliderNew PR_NAME: "sl"
ScrollbarNew PR_NAME: "sb"
GaugeNew PR_NAME: "g"
CGCaption PR_NAME: "cg"
MediaPlay "snd"
PrevMenuNew PR_NAME: "pm"
PropMotion "m"; target: "img"; property: 3; endValue: 1.5; duration: 1000; curve: 2; paused: FALSE
FormatHist "tmpl"; format: "fmt"
SaveCabinet PR_NAME: "cab"; mode: 1; names: "a", "b"
LoadCabinet PR_NAME: "cab"; mode: 0
Calc @ops:0100000001070000005f5f5f5f617267010000000000000000
