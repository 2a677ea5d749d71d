# fact.zsb: @Result = n! by calling itself; depth records the deepest level.
.page result=1
WhileInit depth = Max(depth, 6 - StrToIntDef(@ParamStr[0], 0))
If StrToIntDef(@ParamStr[0], 0) <= 1
  WhileInit @Result = 1
  Exit
Call fact.zsb; arguments: StrToIntDef(@ParamStr[0], 0) - 1; result: @Result
WhileInit @Result = @Result * StrToIntDef(@ParamStr[0], 0)
