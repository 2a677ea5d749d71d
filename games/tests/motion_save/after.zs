WhileInit log = log ++ "loaded " ++ GetProp("btn", 83) ++ " " ++ GetProp("btn", 133) ++ "; "
Wait 2000
Label end
WhileInit log = log ++ "end count " ++ GetProp("btn", 45) ++ "; "
Exit
