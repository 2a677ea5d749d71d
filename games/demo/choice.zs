# A choice that branches the story: a menu of roads (mouse, wheel or the arrow
# keys and Enter) and a row of buttons under it. Whatever is chosen first
# decides; after four seconds without a choice the river road is taken.
BoxNew PR_NAME: "choicePanel"; PR_PARENT: "panel"; PR_LEFT: 80; PR_TOP: 50; PR_WIDTH: 400; PR_HEIGHT: 300; PR_COLOR: 4210752; PR_BORDERWIDTH: 2; PR_BORDERCOLOR: 16777215
Menu PR_NAME: "roads"; PR_PARENT: "choicePanel"; PR_LEFT: 40; PR_TOP: 30; PR_TEXT: "Take the river road" ++ Chr(13) ++ Chr(10) ++ "Climb the hill" ++ Chr(13) ++ Chr(10) ++ "Wait for the night"; PR_ROWCOUNT: 3; PR_COLOR: 2105376; PR_HOVERCOLOR: 32768; PR_FONTCOLOR: 16777215; PR_ANTIALIAS: TRUE; PR_FONTHEIGHT: 20; PR_MARGINX: 10; PR_MARGINY: 6; PR_LINESPACE: 4; PR_BORDERWIDTH: 1; PR_BORDERCOLOR: 12632256; PR_DELAY: 300; PR_AUTOSCRAP: TRUE; PR_HANDLEKEY: 1; PR_ONSELECT: "choice.zsb:byMenu"
Button PR_NAME: "goRiver"; PR_PARENT: "choicePanel"; PR_LEFT: 40; PR_TOP: 200; PR_SOURCE: "plate.drl"; PR_HOVERSOURCE: "plate_hover.drl"; PR_PRESSEDSOURCE: "plate_down.drl"; PR_TEXT: "River"; PR_FONTHEIGHT: 20; PR_FONTCOLOR: 16777215; PR_ANTIALIAS: TRUE; PR_ONNOTIFY: "choice.zsb:byRiverButton"
Button PR_NAME: "goHill"; PR_PARENT: "choicePanel"; PR_LEFT: 220; PR_TOP: 200; PR_SOURCE: "plate.drl"; PR_HOVERSOURCE: "plate_hover.drl"; PR_PRESSEDSOURCE: "plate_down.drl"; PR_TEXT: "Hill"; PR_FONTHEIGHT: 20; PR_FONTCOLOR: 16777215; PR_ANTIALIAS: TRUE; PR_ONNOTIFY: "choice.zsb:byHillButton"
Call choicemotion.zsb
Label waiting
Wait[nocontinue] 16
Calc choiceFrames = choiceFrames + 1
Jump @waiting; condition: (branch == "") & (choiceFrames < 250)
If branch == ""
  Calc branch = "Take the river road"
If branch == "Climb the hill"
  Calc story = "From the hilltop the town is small."
Elseif branch == "Wait for the night"
  Calc story = "The stars come out one by one."
Else
  Calc story = "The river road is long and quiet."
ObjDel "choicePanel"
Exit
Label byMenu
Calc branch = @SelStr
Exit
Label byRiverButton
Calc branch = "Take the river road"
Exit
Label byHillButton
Calc branch = "Climb the hill"
Exit
