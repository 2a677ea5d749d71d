# GetProp/SetProp: declared types, defaults of kinds that lack a property, conversions,
# read-only and refused ids, parents, renaming, ListCompo and the object functions.
BoxNew PR_NAME: "bx"; PR_PARENT: ""; PR_LEFT: 10; PR_TOP: 20; PR_WIDTH: 30; PR_HEIGHT: 40; PR_COLOR: 255
BoxNew PR_NAME: "kid"; PR_PARENT: "bx"; PR_LEFT: 5; PR_TOP: 6; PR_WIDTH: 3; PR_HEIGHT: 3
ImgNew PR_NAME: "im"; PR_PARENT: ""; PR_SOURCE: "none.drl"; PR_LEFT: 50; PR_TOP: 60
Timer PR_NAME: "tm"; PR_DELAY: 1000
BoxNew PR_NAME: "orphan"; PR_WIDTH: 5
Calc log = "types:" ++ GetProp("bx", 47) ++ "," ++ GetProp("bx", 3) ++ "," ++ GetProp("bx", 0) ++ "," ++ GetProp("bx", 1) ++ "," ++ GetProp("kid", 1)
Calc log = log ++ " dflt:" ++ GetProp("bx", 7) ++ "," ++ GetProp("bx", 44) ++ "," ++ GetProp("bx", 42) ++ "," ++ GetProp("bx", 139) ++ "," ++ GetProp("bx", 94) ++ "," ++ GetProp("bx", 127) ++ "," ++ GetProp("bx", 90) ++ "," ++ GetProp("bx", 91) ++ "," ++ GetProp("bx", 16)
Calc log = log ++ " tm:" ++ GetProp("tm", 8) ++ "," ++ GetProp("tm", 47) ++ "," ++ GetProp("tm", 11) ++ "," ++ GetProp("tm", 3) ++ "," ++ GetProp("tm", 140) ++ "," ++ GetProp("tm", 1)
Calc log = log ++ " kinds:" ++ GetProp("bx", 140) ++ "," ++ GetProp("im", 140) ++ "," ++ GetProp("", 140) ++ "," ++ GetProp("im", 42) ++ "," ++ GetProp("im", 44) ++ "," ++ GetProp("im", 11) ++ "," ++ GetProp("bx", 10) ++ "," ++ GetProp("im", 10) ++ "," ++ GetProp("bx", 11)
Calc log = log ++ " scr:" ++ GetProp("", 0) ++ "|" ++ GetProp("", 5) ++ "x" ++ GetProp("", 6) ++ "," ++ GetProp("", 8) ++ "," ++ GetProp("", 47) ++ "," ++ GetProp("orphan", 1)
SetProp "bx"; property: 147; value: 5
Calc log = log ++ " hk:" ++ GetProp("bx", 147)
SetProp "bx"; property: 3; value: "12"
SetProp "bx"; property: 4; value: 7.9
SetProp "bx"; property: 47; value: 0
Calc log = log ++ " conv:" ++ GetProp("bx", 3) ++ "," ++ GetProp("bx", 4) ++ "," ++ GetProp("bx", 47)
SetProp "bx"; property: 47; value: TRUE
SetProp "bx"; property: 138; value: TRUE
SetProp "bx"; property: 140; value: 9
Calc log = log ++ " ro:" ++ GetProp("bx", 138) ++ "," ++ GetProp("bx", 140)
SetProp "bx"; property: 92; value: 1
Calc log = log ++ " after92"
SetProp "bx"; property: 200; value: 1
Calc log = log ++ " after200"
GetProp "bx"; property: 170; variable: iv
Calc log = log ++ " after170:" ++ iv ++ ":" ++ GetProp("bx", 92)
SetProp "bx"; property: 1; value: "kid"
Calc log = log ++ " cyc:" ++ GetProp("bx", 1) ++ "," ++ GetProp("kid", 1)
SetProp "kid"; property: 0; value: "bx"
Calc log = log ++ " ren:" ++ GetProp("kid", 0) ++ "," ++ Exists("bx") ++ "," ++ Exists("bx_2") ++ "," ++ GetProp("bx", 1)
SetProp "bx"; property: 0; value: "kid"
GetProp "bx_2"; property: 47; variable: iv
GetProp "bx_2"; property: 3; variable: fv
GetProp "bx_2"; property: 47; variable: sv
Calc log = log ++ " vars:" ++ iv ++ "," ++ fv ++ "," ++ sv
Calc iv = ListCompo(names, 2)
Calc log = log ++ " list:" ++ iv ++ ":" ++ ArrayToString(names, ",")
Calc iv = ListCompo(names, 0, "bx_2")
Calc log = log ++ " kids:" ++ iv ++ ":" ++ ArrayToString(names, ",")
Calc iv = ListCompo(names, 15, "nothing")
Calc log = log ++ " none:" ++ iv ++ ":" ++ names
Calc log = log ++ " fn:" ++ Exists("") ++ "," ++ InPrimary("bx_2") ++ "," ++ InPrimary("orphan") ++ "," ++ InPrimary("tm") ++ "," ++ ToClientX("bx_2", 100) ++ "," ++ ToScreenY("bx_2", 1) ++ "," ++ ToClientX("zz", 100) ++ "," ++ InCabinet("bx")
Calc log = log ++ " zoompos:" ++ GetProp("im", 5)
ObjDel "bx_2"
Calc log = log ++ " del:" ++ Exists("bx_2") ++ "," ++ Exists("bx")
Wait[nocontinue] 16
Calc log = log ++ "," ++ Exists("bx") ++ "," ++ Exists("bx_2")
BoxNew PR_ALPHA: 7
BoxNew PR_ALPHA: 7
Calc iv = ListCompo(names, 2)
Calc log = log ++ " auto:" ++ ArrayToString(names, ",")
