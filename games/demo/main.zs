# zunoplay demo: a title screen, then what the runtime runs today. Loops,
# conditions, calls with arguments and results, waits counted in frames.

# The title screen is built on the back screen and fades in with a flip.
# A night sky, the zoomed title lettering, a gem that turns, an animated
# spinner that rests a random while after each turn, and a half transparent
# panel holding three buttons (drawn above it by their priority): START goes
# on (so do six seconds), COLOUR changes the lamp's colour, MOVE (or a click
# on the gem) sends the gem to the other side. Snow falls and the title is
# reflected in rippling water (effects.zsb).
Call opening.zsb
ImgNew PR_NAME: "bg"; PR_PARENT: Chr(1); PR_SOURCE: "bg.drl"
ImgNew PR_NAME: "logo"; PR_PARENT: "bg"; PR_SOURCE: "logo.drl"; PR_ZOOMX: 384; PR_ZOOMY: 384; PR_LEFT: 173; PR_TOP: 48
ImgNew PR_NAME: "gem"; PR_PARENT: "bg"; PR_SOURCE: "gem.drl"; PR_LEFT: 72; PR_TOP: 72; PR_OFFSETX: 32; PR_OFFSETY: 32; PR_ONLBTNDOWN: "move.zsb"
ImgNew PR_NAME: "spinner"; PR_PARENT: "bg"; PR_SOURCE: "spinner.drl"; PR_LEFT: 40; PR_TOP: 396; PR_REPEAT: TRUE; PR_DELAY: Random(600)
ImgNew PR_NAME: "veil"; PR_PARENT: "bg"; PR_SOURCE: "veil.drl"; PR_LEFT: 160; PR_TOP: 180; PR_ALPHA: 128
ImgNew PR_NAME: "start"; PR_PARENT: "bg"; PR_SOURCE: "start.drl"; PR_LEFT: 250; PR_TOP: 194; PR_PRIORITY: 1; PR_ONLBTNDOWN: "start.zsb"
ImgNew PR_NAME: "colour"; PR_PARENT: "bg"; PR_SOURCE: "colour.drl"; PR_LEFT: 170; PR_TOP: 258; PR_PRIORITY: 1; PR_ONLBTNDOWN: "colour.zsb"
ImgNew PR_NAME: "move"; PR_PARENT: "bg"; PR_SOURCE: "move.drl"; PR_LEFT: 330; PR_TOP: 258; PR_PRIORITY: 1; PR_ONLBTNDOWN: "move.zsb"
Call captions.zsb
BoxNew PR_NAME: "lamp"; PR_PARENT: "bg"; PR_LEFT: 560; PR_TOP: 408; PR_WIDTH: 40; PR_HEIGHT: 40; PR_COLOR: 3381759; PR_BORDERWIDTH: 3; PR_BORDERCOLOR: 16777215
PropMotion "turning"; target: "gem"; property: 31; endValue: 2560; duration: 20000
Call sound.zsb
Call effects.zsb
Flip 1; duration: 800
Label title
Wait[nocontinue] 16
Calc titleFrames = titleFrames + 1
SetProp "score"; property: 50; value: IntToStr(titleFrames)
Jump @title; condition: Not(started) & (titleFrames < 180)

# The counting screen is built on the back screen and shown with a flip,
# which clears the title screen away.
BoxNew PR_NAME: "panel"; PR_PARENT: Chr(1); PR_LEFT: 40; PR_TOP: 40; PR_WIDTH: 560; PR_HEIGHT: 400; PR_COLOR: 8421504
Call movie.zsb
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
Call save.zsb
Call choice.zsb
Wait 200
Call novel.zsb
Call keepsakes.zsb
Exit
