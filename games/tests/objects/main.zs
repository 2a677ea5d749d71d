# Boxes on both screens, a property motion, a cabinet and two flips; the
# results go into variables read by the dump.
VarNew log; type: text; value: ""
VarNew left; type: int
VarNew count; type: int
VarNew names; type: text
BoxNew PR_NAME: "panel"; PR_PARENT: ""; PR_LEFT: 20; PR_TOP: 30; PR_WIDTH: 100; PR_HEIGHT: 50; PR_COLOR:
BoxNew PR_NAME: "inner"; PR_PARENT: "panel"; PR_LEFT: 5; PR_TOP: 5; PR_WIDTH: 10; PR_HEIGHT: 10; PR_COLOR: 255
BoxNew PR_NAME: "back"; PR_PARENT: Chr(1); PR_WIDTH: 320; PR_HEIGHT: 240; PR_COLOR: 8421504
GetProp "panel"; property: 8; variable: left
Calc log = "color=" ++ left
SetProp "panel"; property: 3; value: 40
GetProp "panel"; property: 3; variable: left
Calc log = log ++ " left=" ++ left ++ " screenX=" ++ ToScreenX("inner", 0)
GetProp "panel"; property:; variable: left
Calc log = log ++ " after-error"
PropMotion "slide"; target: "panel"; property: 4; endValue: 130; duration: 160; curve: 0
Wait[nocontinue] 200
GetProp "panel"; property: 4; variable: left
Calc log = log ++ " top=" ++ left ++ " motion=" ++ Exists("slide")
SaveCabinet PR_NAME: "cab"; mode: FALSE; names: "back"
Calc log = log ++ " cab=" ++ InCabinet("back")
LoadCabinet PR_NAME: "cab"; mode: FALSE; names: "back"
Calc log = log ++ " cabGone=" ++ Not(Exists("cab"))
Flip 0; duration: 100; mode: 0; names: "inner"
Calc count = ListCompo(names, 2, "")
Calc log = log ++ " moved=" ++ count ++ ":" ++ ArrayToString(names, ",")
ObjDel "back"
Wait[nocontinue] 16
Calc count = ListCompo(names)
Calc log = log ++ " left=" ++ ArrayToString(names, ",")
Exit
