# Effect surfaces: a fire's source rows and bounds (stretched, then not), two waves (positive and
# negative amplitude) rippling a white bar, and a snow particle falling one
# pixel a step (expected-pixels.txt); properties read back with their limits.
SetProp ""; property: 8; value: 0
FireNew PR_NAME: "f"; PR_PARENT: ""; PR_LEFT: 10; PR_TOP: 70; PR_ORIGWIDTH: 40; PR_ORIGHEIGHT: 30; PR_POWER: 128
FireNew PR_NAME: "f2"; PR_PARENT: ""; PR_POWER: 300; PR_ORIGWIDTH: -5
WaveNew PR_NAME: "w"; PR_PARENT: ""; PR_LEFT: 70; PR_TOP: 10; PR_WIDTH: 30; PR_HEIGHT: 16; PR_AMP: 4; PR_WAVELEN: 8; PR_DELAY: 1000000
BoxNew PR_NAME: "bar"; PR_PARENT: "w"; PR_LEFT: 10; PR_TOP: 0; PR_WIDTH: 4; PR_HEIGHT: 16; PR_COLOR: 16777215
WaveNew PR_NAME: "nw"; PR_PARENT: ""; PR_LEFT: 110; PR_TOP: 10; PR_WIDTH: 30; PR_HEIGHT: 16; PR_AMP: -4; PR_WAVELEN: 8; PR_DELAY: 1000000
BoxNew PR_NAME: "nbar"; PR_PARENT: "nw"; PR_LEFT: 10; PR_TOP: 0; PR_WIDTH: 4; PR_HEIGHT: 16; PR_COLOR: 16777215
WaveNew PR_NAME: "z"; PR_PARENT: ""; PR_DELAY: 0; PR_WAVELEN: -3
ParticleNew PR_NAME: "p"; PR_PARENT: ""; PR_LEFT: 0; PR_TOP: 0; PR_WIDTH: 60; PR_HEIGHT: 60; PR_SOURCE: "flake.drl"; PR_PARTMOTION: 1; PR_PARAM1: 1; PR_APPEARX: 20; PR_APPEARY: 5; PR_DELAY: 100000
Calc log = GetProp("f", 5) ++ "x" ++ GetProp("f", 6) ++ " p" ++ GetProp("f2", 89) ++ " o" ++ GetProp("f2", 90) ++ " d" ++ GetProp("z", 26) ++ " l" ++ GetProp("z", 108) ++ " a" ++ GetProp("nw", 107)
SetProp "f"; property: 7; value: 512
Calc log = log ++ " w" ++ GetProp("f", 5)
Wait[nocontinue] 160
SetProp "nw"; property: 107; value: 0
SetProp "f"; property: 7; value: 256
Wait[nocontinue] 160
