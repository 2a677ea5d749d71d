# movie.avi: 2 s of 16 x 16 pictures, red and green halves for the first
# second, blue for the second, with a constant sound (8192 in the mix).
# "mv" plays once at its own size with its sound; "big" loops twice the
# size, silent.
SetProp ""; property: 8; value: 1056816
Movie PR_NAME: "mv"; PR_PARENT: ""; PR_SOURCE: "movie.avi"; PR_LEFT: 10; PR_TOP: 10; PR_ONPLAYEND: "ended.zsb"
Movie PR_NAME: "big"; PR_PARENT: ""; PR_SOURCE: "movie.avi"; PR_LEFT: 60; PR_TOP: 10; PR_ZOOMX: 512; PR_ZOOMY: 512; PR_VOLUME: 0; PR_REPEAT: TRUE
Calc log = "mv:" ++ GetProp("mv", 5) ++ "x" ++ GetProp("mv", 6) ++ " big:" ++ GetProp("big", 5) ++ "x" ++ GetProp("big", 6) ++ " len:" ++ GetProp("mv", 45)
# The end of "mv" runs its handler once; its last picture stays.
Wait 2500
Calc log = log ++ " ends:" ++ ended
# MediaPlay shows "mv" from its first picture again.
MediaPlay "mv"
Wait 1500
# MovieStop takes "mv" away at once; "big" goes on.
MovieStop "mv"; fadeTime: 0
Calc log = log ++ " after stop:" ++ GetProp("mv", 0) ++ "," ++ GetProp("big", 0)
Wait 1500
Exit
