# A message box across a game save and load: the box shows page 1 of three
# when the game is saved, moves on to page 2, and the load brings back page 1
# with its count, its text on screen and the backlog of what was shown
# before the save; the load resumes in after.zsb.
BoxNew PR_NAME: "bg"; PR_PARENT: ""; PR_LEFT: 0; PR_TOP: 0; PR_WIDTH: 320; PR_HEIGHT: 240; PR_COLOR: 16777215
MesNew PR_NAME: "m"; PR_PARENT: ""; PR_LEFT: 10; PR_TOP: 10; PR_WIDTH: 200; PR_HEIGHT: 40; PR_FONTHEIGHT: 16; PR_FONTCOLOR: 255
WhileInit @TextDelay = 0
TextIns "■■<CLEAR>■<CLEAR>■■■"; box: "m"; readTracking: TRUE; wait: FALSE
Wait 100
SetProp "m"; property: 44; value: 1
Wait 100
WhileInit log = log ++ "saved i=" ++ GetProp("m", 44) ++ " c=" ++ GetProp("m", 45) ++ " h=" ++ @HistoryCount ++ "; "
GameSave 1; resumePage: after.zsb; caption: "page two"
Wait 100
SetProp "m"; property: 44; value: 2
Wait 100
WhileInit log = log ++ "moved i=" ++ GetProp("m", 44) ++ " h=" ++ @HistoryCount ++ "; "
GameLoad 1
Wait 1000
