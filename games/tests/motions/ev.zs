Label notify
Calc log = log ++ f ++ ":" ++ @Sender ++ ":NOTIFY count " ++ GetProp("btn", 45) ++ " "
Exit
Label end
Calc log = log ++ f ++ ":" ++ @Sender ++ ":END top " ++ GetProp("mb", 4) ++ " playing " ++ GetProp(@Sender, 138) ++ " "
Exit
