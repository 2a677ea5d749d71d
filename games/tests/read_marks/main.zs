# Read marks across runs (run twice by the read-marks test, not by the
# trace comparison): the page's start handler logs whether the page was read
# before. The read-text list is kept in save.dat, so the second run reads 1.
MesNew PR_NAME: "m"; PR_PARENT: ""; PR_LEFT: 0; PR_TOP: 0; PR_WIDTH: 200; PR_HEIGHT: 40; PR_ONPLAYSTART: "main.zsb:start"; PR_ONPLAYEND: "main.zsb:end"
WhileInit @TextDelay = 0
TextIns "AB"; box: "m"; readTracking: TRUE; wait: TRUE
WhileInit log = log ++ "done "
Label loop
Wait[nocontinue] 16
Jump @loop
Label start
WhileInit log = log ++ "S" ++ @ParamStr[0] ++ " "
Exit
Label end
TextClr "m"
Exit
