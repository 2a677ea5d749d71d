# Control flow: if/elseif/else, loops with break and continue, jumps, calls
# with arguments and results, waits, exit. WhileInit runs its expression as a
# statement, so it serves as the assignment here.
WhileInit i = 0
While i < 10
  If i == 2
    Continue
  Elseif i == 6
    Break
  Else
    WhileInit log = log ++ IntToStr(i)
  WhileInit total = total + i
WhileLoop i = i + 1
Jump @skip
WhileInit total = -1
Label skip
Call sub.zsb; arguments: 4, 5; result: r
Call sub.zsb; arguments: 1, 2; result: r; condition: FALSE
Exit i > 100
Wait 100
WhileInit log = log ++ "w"
Wait[nocontinue] 16
WhileInit log = log ++ "n"
Exit
WhileInit log = log ++ "unreachable"
