# Flip: selection modes, clear back, cabinets, a kind-0 flip that waits, a fade, a flip
# without transition and kind 40.
SetProp Chr(1) ++ "BASE0"; property: 8; value: 4210752
SetProp Chr(1) ++ "BASE1"; property: 8; value: 8421504
BoxNew PR_NAME: "A"; PR_PARENT: ""; PR_LEFT: 10; PR_TOP: 10; PR_WIDTH: 50; PR_HEIGHT: 50; PR_COLOR: 255
BoxNew PR_NAME: "B"; PR_PARENT: ""; PR_LEFT: 100; PR_TOP: 10; PR_WIDTH: 50; PR_HEIGHT: 50; PR_COLOR: 65280
BoxNew PR_NAME: "C"; PR_PARENT: Chr(1); PR_LEFT: 10; PR_TOP: 100; PR_WIDTH: 50; PR_HEIGHT: 50; PR_COLOR: 16711680
BoxNew PR_NAME: "K"; PR_PARENT: Chr(1); PR_LEFT: 200; PR_TOP: 100; PR_WIDTH: 50; PR_HEIGHT: 50; PR_COLOR: 16776960
SaveCabinet PR_NAME: "cab"; mode: FALSE; names: "K"
Wait[nocontinue] 16
Calc t = @TickCount
Flip 0; duration: 100; mode: 0; names: "A"; clearBack: TRUE
Calc log = "ms=" ++ (@TickCount - t) ++ " A=" ++ Exists("A") ++ " B=" ++ GetProp("B", 1) ++ " C=" ++ GetProp("C", 1) ++ " snap=" ++ Exists(Chr(1) ++ Chr(1)) ++ " cab=" ++ InCabinet("K") ++ " scr=" ++ GetProp("", 0)
Wait[nocontinue] 16
Calc log = log ++ " A2=" ++ Exists("A")
Flip 1; duration: 160; mode: 1; names: "B"
Calc log = log ++ " B2=" ++ GetProp("B", 1) ++ " C2=" ++ GetProp("C", 1)
Flip 0; mode: 1; names: ""
Calc log = log ++ " scr3=" ++ GetProp("", 0)
Flip 40; duration: 0
Calc log = log ++ " scr4=" ++ GetProp("", 0)
Wait[nocontinue] 16
