Label start
WhileInit log = log ++ @UpdateCount ++ ":S" ++ GetProp("m", 44) ++ "r" ++ @ParamStr[0] ++ " "
Exit
Label end
WhileInit log = log ++ @UpdateCount ++ ":E" ++ GetProp("m", 44) ++ " "
Exit
Label notify
WhileInit log = log ++ @UpdateCount ++ ":N" ++ @ParamStr[0] ++ " "
Exit
Label link
WhileInit log = log ++ @UpdateCount ++ ":L" ++ @ParamStr[0] ++ "/" ++ @ParamStr[1] ++ " "
Exit
Label click
WhileInit log = log ++ @UpdateCount ++ ":C" ++ GetProp("m", 138) ++ " "
If GetProp("m", 44) < GetProp("m", 45) - 1
  SetProp "m"; property: 44; value: GetProp("m", 44) + 1
Else
  TextClr "m"
Exit
