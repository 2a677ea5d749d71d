# Message box: text revealed against the frame clock, play start/end, event
# marks and link events, paging by click, the backlog shown with CallHist and
# the read marks of pages already revealed (the same TextIns a second time).
BoxNew PR_NAME: "bg"; PR_PARENT: ""; PR_LEFT: 0; PR_TOP: 0; PR_WIDTH: 320; PR_HEIGHT: 240; PR_COLOR: 16777215
MesNew PR_NAME: "m"; PR_PARENT: ""; PR_LEFT: 10; PR_TOP: 10; PR_WIDTH: 200; PR_HEIGHT: 40; PR_FONTHEIGHT: 16; PR_FONTCOLOR: 255; PR_ONPLAYSTART: "ev.zsb:start"; PR_ONPLAYEND: "ev.zsb:end"; PR_ONLINK: "ev.zsb:link"; PR_ONLBTNDOWN: "ev.zsb:click"; PR_ONNOTIFY: "ev.zsb:notify"
WhileInit @TextDelay = 16
Label again
TextIns "■■<CLEAR>CD<EVENT VALUE=\"mark\">E<A HREF=\"go\">LNK</A>"; box: "m"; readTracking: TRUE; wait: TRUE
WhileInit log = log ++ @UpdateCount ++ ":done hc=" ++ @HistoryCount ++ " "
Exit pass > 0
CallHist "m"; first: 0; count: 5; flag: TRUE
WhileInit log = log ++ @UpdateCount ++ ":hist c=" ++ GetProp("m", 45) ++ " i=" ++ GetProp("m", 44) ++ " "
WhileInit pass = 1
Wait 300
Jump @again
