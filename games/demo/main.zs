# zunoplay demo: what the runtime runs today. Loops, conditions, calls with
# arguments and results, waits counted in frames, and a box for the display
# (it shows once component commands draw).
BoxNew PR_NAME: "panel"; PR_LEFT: 40; PR_TOP: 40; PR_WIDTH: 560; PR_HEIGHT: 400; PR_COLOR: 8421504
Calc status = "counting"

# The first Fibonacci numbers into a text.
WhileInit round = 0
While round < 10
  Call fib.zsb; arguments: round; result: product
  Calc fib = fib ++ IntToStr(product) ++ " "
WhileLoop round = round + 1

# Sum of the odd squares below 100, stopping at the first square above 60.
WhileInit round = 1
While TRUE
  If round * round > 60
    Break
  Elseif round % 2 == 0
    Continue
  Else
    Calc squares = squares + round * round
WhileLoop round = round + 1

# Half a second of frames: the clock goes on while the script waits.
Label waiting
Calc ticks = ticks + 1
Wait[nocontinue] 16
Jump @waiting; condition: ticks < 30
Calc status = "done after " ++ IntToStr(@TickCount) ++ " ms"
Wait 200
Exit
