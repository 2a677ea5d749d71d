# Screen transitions played by Flip, checked by the pixels of screenshots
# taken while they run. Screen 0 shows red, screen 1 blue.
BoxNew PR_NAME: "r"; PR_PARENT: ""; PR_WIDTH: 160; PR_HEIGHT: 120; PR_COLOR: 255
BoxNew PR_NAME: "b"; PR_PARENT: Chr(1); PR_WIDTH: 160; PR_HEIGHT: 120; PR_COLOR: 16711680
Wait[nocontinue] 16
# A plain fade to blue over 320 ms.
Flip 1; duration: 320
# A fade back to red that slides the picture in from 100 pixels to the right.
Flip 1; duration: 320; wipeParam0: 100
# A kind above the catalogue plays as no wipe: the old picture stays, then the swap.
Flip 40; duration: 64
Calc done = TRUE
Wait 1000
