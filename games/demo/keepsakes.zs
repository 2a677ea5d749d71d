# Keepsakes: a preview menu whose thumbnails play (the gem turns, the spinner
# spins, the title lettering breathes). The one under the mouse lights up, the
# arrow keys walk them, a click or Enter keeps one; after four seconds without
# a choice the gem is kept.
ImgNew PR_NAME: "kbg"; PR_PARENT: Chr(1); PR_SOURCE: "bg.drl"
Caption PR_NAME: "kTitle"; PR_PARENT: "kbg"; PR_TEXT: "Pick a keepsake"; PR_FONTHEIGHT: 24; PR_FONTCOLOR: 16777215; PR_ANTIALIAS: TRUE; PR_LEFT: 230; PR_TOP: 130
PrevMenuNew PR_NAME: "keepsakes"; PR_PARENT: "kbg"; PR_LEFT: 80; PR_TOP: 200; PR_SOURCE: "keepsakes.zmt"; PR_TEXT: "the gem" ++ Chr(13) ++ Chr(10) ++ "the spinner" ++ Chr(13) ++ Chr(10) ++ "the title"; PR_AUTOSCRAP: TRUE; PR_HANDLEKEY: 1; PR_ONSELECT: "keepsakes.zsb:kept"
Flip 1; duration: 500; clearBack: TRUE
Calc status = "keepsakes"
Label waiting
Wait[nocontinue] 16
Calc keepFrames = keepFrames + 1
Jump @waiting; condition: (keepsake == "") & (keepFrames < 250)
If keepsake == ""
  Calc keepsake = "the gem"
  ObjDel "keepsakes"
SetProp "kTitle"; property: 50; value: "You keep " ++ keepsake ++ "."
Wait 2000
Exit
Label kept
Calc keepsake = @SelStr
Exit
