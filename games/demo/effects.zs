# effects.zsb: the title screen's weather and water. Snow falls over the
# whole title (a pre-run of six seconds, so it is already snowing when the
# title fades in), and the title lettering is mirrored below itself in a
# wave surface, a faint reflection rippling on water (mirrored, an image is
# drawn upwards from its top: hence its top at the last row). None of them takes
# the mouse, so the buttons below the snow still answer clicks.
ParticleNew PR_NAME: "snow"; PR_PARENT: "bg"; PR_LEFT: 0; PR_TOP: 0; PR_WIDTH: 640; PR_HEIGHT: 480; PR_SOURCE: "flake.drl"; PR_PARTMOTION: 1; PR_PARAM1: 0.7; PR_PARAM2: 6; PR_PARAM3: 18; PR_APPEARX: Random(640); PR_APPEARY: 0 - Random(20); PR_DELAY: 40 + Random(80); PR_INDEX: 6000; PR_ALPHA: 220; PR_PRIORITY: 2; PR_IGNOREMOUSE: 1
WaveNew PR_NAME: "water"; PR_PARENT: "bg"; PR_LEFT: 173; PR_TOP: 104; PR_WIDTH: 294; PR_HEIGHT: 54; PR_AMP: 3; PR_WAVELEN: 24; PR_DELAY: 1500; PR_IGNOREMOUSE: 1
ImgNew PR_NAME: "reflection"; PR_PARENT: "water"; PR_SOURCE: "logo.drl"; PR_TOP: 53; PR_ZOOMX: 384; PR_ZOOMY: 384; PR_FLIPV: TRUE; PR_ALPHA: 96; PR_IGNOREMOUSE: 1
Exit
