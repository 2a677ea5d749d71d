# The title screen's MOVE button (or the gem itself): the gem glides to the
# other side of the sky.
Call sound.zsb; target: @click
Calc gemLeft = 640 - gemLeft
PropMotion "gliding"; target: "gem"; property: 3; endValue: gemLeft; duration: 700; curve: 2
