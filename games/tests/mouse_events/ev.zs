Label down
Calc log = log ++ f ++ ":" ++ @Sender ++ ":LD(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ")m" ++ @MouseX ++ "," ++ @MouseY ++ " "
Exit
Label up
Calc log = log ++ f ++ ":" ++ @Sender ++ ":LU(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ") "
Exit
Label rdown
Calc log = log ++ f ++ ":" ++ @Sender ++ ":RD(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ") "
Exit
Label rup
Calc log = log ++ f ++ ":" ++ @Sender ++ ":RU(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ") "
Exit
Label move
Calc log = log ++ f ++ ":" ++ @Sender ++ ":MV(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ") "
Exit
Label in
Calc log = log ++ f ++ ":" ++ @Sender ++ ":IN" ++ @ParamCount ++ " "
Exit
Label out
Calc log = log ++ f ++ ":" ++ @Sender ++ ":OUT" ++ @ParamCount ++ " "
Exit
Label wd
Calc log = log ++ f ++ ":" ++ @Sender ++ ":WD" ++ @WheelDown ++ " "
Exit
Label wu
Calc log = log ++ f ++ ":" ++ @Sender ++ ":WU" ++ @WheelUp ++ " "
Exit
Label kd
Calc log = log ++ f ++ ":" ++ @Sender ++ ":KD(" ++ @ParamStr[0] ++ ")" ++ @KeyPush[65] ++ " "
Exit
Label ku
Calc log = log ++ f ++ ":" ++ @Sender ++ ":KU(" ++ @ParamStr[0] ++ ") "
Exit
Label kr
Calc log = log ++ f ++ ":" ++ @Sender ++ ":KR(" ++ @ParamStr[0] ++ ") "
Exit
Label fin
Calc log = log ++ f ++ ":" ++ @Sender ++ ":FI "
Exit
Label fout
Calc log = log ++ f ++ ":" ++ @Sender ++ ":FO "
Exit
Label slow
Calc log = log ++ f ++ ":" ++ @Sender ++ ":SLOW@" ++ @TickCount ++ "(" ++ @ParamStr[0] ++ "," ++ @ParamStr[1] ++ ") "
Wait 100
Calc log = log ++ f ++ ":" ++ @Sender ++ ":SLOWEND@" ++ @TickCount ++ " "
Exit
