.page result=1
WhileInit @Result = StrToIntDef(@ParamStr[0], 0) * StrToIntDef(@ParamStr[1], 0) + @ParamCount
Exit
