# fib.zsb: @Result = the Fibonacci number of the first argument, by a loop.
.page result=1
Calc n = StrToIntDef(@ParamStr[0], 0)
Calc @Result = 0
WhileInit next = 1
While n > 0
  Calc keep = next
  Calc next = @Result + next
  Calc @Result = keep
WhileLoop n = n - 1
Exit
