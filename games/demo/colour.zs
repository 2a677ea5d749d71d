# The title screen's COLOUR button: the lamp takes the next of four colours.
Call sound.zsb; target: @click
Calc lampIndex = (lampIndex + 1) % 4
If lampIndex == 0
  Calc lampColour = 3381759
Elseif lampIndex == 1
  Calc lampColour = 65280
Elseif lampIndex == 2
  Calc lampColour = 16744448
Else
  Calc lampColour = 16711935
SetProp "lamp"; property: 8; value: lampColour
