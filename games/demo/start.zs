# The title screen's start panel was clicked.
Calc started = TRUE
