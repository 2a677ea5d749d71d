# zunoplay demo: a title screen, then what the runtime runs today. Loops,
# conditions, calls with arguments and results, waits counted in frames.

# The title screen: a backdrop, a title band that opens with a property
# motion, and a start panel. A click on the panel (or two seconds) goes on.
BoxNew PR_NAME: "backdrop"; PR_PARENT: ""; PR_WIDTH: 640; PR_HEIGHT: 480; PR_COLOR: 3158064
BoxNew PR_NAME: "band"; PR_PARENT: "backdrop"; PR_TOP: 120; PR_WIDTH: 640; PR_HEIGHT: 4; PR_COLOR: 10526880
BoxNew PR_NAME: "start"; PR_PARENT: "backdrop"; PR_LEFT: 240; PR_TOP: 300; PR_WIDTH: 160; PR_HEIGHT: 48; PR_COLOR: 4227327; PR_ONLBTNDOWN: "start.zsb"
PropMotion "opening"; target: "band"; property: 6; endValue: 80; duration: 600; curve: 2
Label title
Wait[nocontinue] 16
Calc titleFrames = titleFrames + 1
Jump @title; condition: Not(started) & (titleFrames < 120)

# The counting screen is built on the back screen and shown with a flip,
# which clears the title screen away.
BoxNew PR_NAME: "panel"; PR_PARENT: Chr(1); PR_LEFT: 40; PR_TOP: 40; PR_WIDTH: 560; PR_HEIGHT: 400; PR_COLOR: 8421504
Flip 1; duration: 500; clearBack: TRUE
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
