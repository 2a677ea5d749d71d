Label idle
Calc log = log ++ "I" ++ f ++ " "
Exit
Label end
Calc log = log ++ "E" ++ f ++ ":" ++ GetProp("an", 44) ++ " "
Exit
Label rd
Calc log = log ++ "RD" ++ f ++ " "
Exit
Label ru
Calc log = log ++ "RU" ++ f ++ " "
Exit
