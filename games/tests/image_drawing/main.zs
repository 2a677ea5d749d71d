# Images: zoom, flips with their anchors, alpha and additive drawing, transparency, a
# missing file, brightness, and the size rules read back by GetProp.
SetProp ""; property: 8; value: 1056816
ImgNew PR_NAME: "i1"; PR_PARENT: ""; PR_SOURCE: "pic.drl"; PR_LEFT: 10; PR_TOP: 10
ImgNew PR_NAME: "i2"; PR_PARENT: ""; PR_SOURCE: "pic.drl"; PR_LEFT: 30; PR_TOP: 10; PR_ZOOMX: 512; PR_ZOOMY: 512
ImgNew PR_NAME: "i3"; PR_PARENT: ""; PR_SOURCE: "pic.drl"; PR_LEFT: 50; PR_TOP: 10; PR_FLIPH: TRUE
ImgNew PR_NAME: "i4"; PR_PARENT: ""; PR_SOURCE: "pic.drl"; PR_LEFT: 70; PR_TOP: 10; PR_ALPHA: 128
ImgNew PR_NAME: "i5"; PR_PARENT: ""; PR_SOURCE: "pic.drl"; PR_LEFT: 90; PR_TOP: 10; PR_ALPHA: 384
ImgNew PR_NAME: "i6"; PR_PARENT: ""; PR_SOURCE: "hole.drl"; PR_LEFT: 110; PR_TOP: 10
ImgNew PR_NAME: "i7"; PR_PARENT: ""; PR_SOURCE: "none.drl"; PR_LEFT: 130; PR_TOP: 10
ImgNew PR_NAME: "i8"; PR_PARENT: ""; PR_SOURCE: "pic.drl"; PR_LEFT: 150; PR_TOP: 10; PR_FLIPV: TRUE; PR_OFFSETX: 2; PR_OFFSETY: 1
ImgNew PR_NAME: "i9"; PR_PARENT: ""; PR_SOURCE: "hole.drl"; PR_LEFT: 170; PR_TOP: 10; PR_BRIGHTNESS: -255
ImgNew PR_NAME: "i10"; PR_PARENT: ""; PR_SOURCE: "pic.drl"; PR_LEFT: 190; PR_TOP: 10; PR_BRIGHTNESS: 100
Calc log = GetProp("i1", 5) ++ "x" ++ GetProp("i1", 6) ++ " " ++ GetProp("i2", 5) ++ "x" ++ GetProp("i2", 6) ++ " o" ++ GetProp("i2", 90) ++ " " ++ GetProp("i7", 5) ++ " c" ++ GetProp("i1", 45) ++ " ix" ++ GetProp("i1", 44) ++ " sl" ++ ToScreenX("i8", 0) ++ "," ++ ToScreenY("i8", 0)
SetProp "i1"; property: 5; value: 6
Calc log = log ++ " w" ++ GetProp("i1", 5) ++ " zx" ++ GetProp("i1", 7)
Wait[nocontinue] 30
Calc log = log ++ " w" ++ GetProp("i1", 5) ++ " zx" ++ GetProp("i1", 7)
SetProp "i2"; property: 7; value: 0
Wait[nocontinue] 30
Calc log = log ++ " z0:" ++ GetProp("i2", 7) ++ " w" ++ GetProp("i2", 5)
Wait[nocontinue] 30
