# The title screen's start panel was clicked.
Call sound.zsb; target: @click
Calc started = TRUE
