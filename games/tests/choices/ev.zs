Label sel
Calc log = log ++ f ++ ":" ++ @Sender ++ ":SEL(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ")" ++ @SelStr ++ "/" ++ @SelIndex ++ " "
Exit
Label closed
Calc log = log ++ f ++ ":" ++ @Sender ++ ":CLOSED" ++ Exists("m1") ++ " "
Exit
Label opened
Calc log = log ++ f ++ ":" ++ @Sender ++ ":OPENED "
Exit
Label notify
Calc log = log ++ f ++ ":" ++ @Sender ++ ":NOTIFY" ++ GetProp("b1", 87) ++ GetProp("b2", 87) ++ " "
Exit
Label end
Calc log = log ++ f ++ ":" ++ @Sender ++ ":END "
Calc done = 1
Exit
