Label in
Calc log = log ++ f ++ ":" ++ @Sender ++ ":IN(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ") "
Exit
Label out
Calc log = log ++ f ++ ":" ++ @Sender ++ ":OUT(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ") "
Exit
Label sel
Calc log = log ++ f ++ ":" ++ @Sender ++ ":SEL(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ")" ++ @SelStr ++ "/" ++ @SelIndex ++ " "
Exit
Label end
Calc log = log ++ f ++ ":" ++ @Sender ++ ":END "
Exit
