Label sl
Calc log = log ++ f ++ ":sl=" ++ GetProp("sl", 125) ++ " "
Exit
Label ed
Calc log = log ++ f ++ ":ed=" ++ GetProp("ed", 50) ++ " "
Exit
