# fib.zsb: @Result = the Fibonacci number of the first argument, by a loop.
.page result=1
WhileInit n = StrToIntDef(@ParamStr[0], 0)
WhileInit @Result = 0
WhileInit next = 1
While n > 0
  WhileInit keep = next
  WhileInit next = @Result + next
  WhileInit @Result = keep
WhileLoop n = n - 1
Exit
