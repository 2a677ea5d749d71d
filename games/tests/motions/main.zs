# Motions on controls: a caption crossing the screen, a button whose hover and
# clicked states run motions of their own, a box whose motion follows it while a
# property motion moves it down, and a box that scraps itself when its motion ends.
# The property motion comes first: objects update in the order they were made, so
# the box sees each new Top in the same frame and its motion follows it there.
SetProp ""; property: 8; value: 1056816
Caption PR_NAME: "cap"; PR_PARENT: ""; PR_LEFT: 5; PR_TOP: 5; PR_SOURCE: "slide.zmt"; PR_ONPLAYEND: "ev.zsb:end"
Button PR_NAME: "btn"; PR_PARENT: ""; PR_LEFT: 20; PR_TOP: 60; PR_SOURCE: "n.drl"; PR_HOVERSOURCE: "hov.zmt"; PR_CLICKEDSOURCE: "clk.zmt"; PR_ONNOTIFY: "ev.zsb:notify"; PR_ONPLAYEND: "ev.zsb:end"
PropMotion "down"; target: "mb"; property: 4; endValue: 200; duration: 800; curve: 0
BoxNew PR_NAME: "mb"; PR_PARENT: ""; PR_LEFT: 100; PR_TOP: 150; PR_SOURCE: "box.zmt"; PR_ONPLAYEND: "ev.zsb:end"
BoxNew PR_NAME: "gone"; PR_PARENT: ""; PR_LEFT: 200; PR_TOP: 100; PR_SOURCE: "box.zmt"; PR_AUTOSCRAP: TRUE; PR_ONPLAYEND: "ev.zsb:end"
Calc log = "left " ++ GetProp("cap", 3) ++ " playing " ++ GetProp("cap", 138) ++ " btn " ++ GetProp("btn", 45) ++ " "
Label loop
Calc f = f + 1
Wait[nocontinue] 16
Jump @loop
