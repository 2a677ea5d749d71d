WhileInit log = log ++ "loaded i=" ++ GetProp("m", 44) ++ " c=" ++ GetProp("m", 45) ++ " h=" ++ @HistoryCount ++ "; "
Wait 200
CallHist "m"; first: 0; count: 5; flag: TRUE
Wait 200
WhileInit log = log ++ "backlog c=" ++ GetProp("m", 45) ++ "; "
Wait 2000
