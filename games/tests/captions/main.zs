# Captions, image captions and the kinds with behaviour of their own: cells of a
# glyph sheet mapped by a character list (exact pixels), alignment, the alpha rule,
# captions drawn through the glyph cache, a slider stepped by the mouse and the
# wheel, a gauge, an edit typed into (with double-byte text) and a tile.
SetProp ""; property: 8; value: 1056816
CGCaption PR_NAME: "sc"; PR_PARENT: ""; PR_SOURCE: "cells.drl"; PR_MAPTEXT: "0123456789"; PR_GLYPHWIDTH: 4; PR_GLYPHHEIGHT: 4; PR_TEXT: "19x0"; PR_LEFT: 10; PR_TOP: 10
CGCaption PR_NAME: "sc2"; PR_PARENT: ""; PR_SOURCE: "cells.drl"; PR_MAPTEXT: "0123456789"; PR_GLYPHWIDTH: 4; PR_GLYPHHEIGHT: 4; PR_LINESPACE: 2; PR_HALIGN: 1; PR_TEXT: "12" ++ Chr(13) ++ Chr(10) ++ "345"; PR_LEFT: 40; PR_TOP: 10
CGCaption PR_NAME: "sc3"; PR_PARENT: ""; PR_SOURCE: "cells.drl"; PR_MAPTEXT: "0123456789"; PR_GLYPHWIDTH: 4; PR_GLYPHHEIGHT: 4; PR_TEXT: "0"; PR_ALPHA: 300; PR_LEFT: 60; PR_TOP: 10
CGCaption PR_NAME: "sc4"; PR_PARENT: ""; PR_SOURCE: "cells.drl"; PR_MAPTEXT: "0123456789"; PR_GLYPHWIDTH: 4; PR_GLYPHHEIGHT: 4; PR_TEXT: "0"; PR_ALPHA: 600; PR_LEFT: 70; PR_TOP: 10
Caption PR_NAME: "cap"; PR_PARENT: ""; PR_TEXT: "■"; PR_FONTHEIGHT: 40; PR_FONTCOLOR: 16777215; PR_LEFT: 100; PR_TOP: 40
Caption PR_NAME: "cap2"; PR_PARENT: ""; PR_TEXT: "■" ++ Chr(13) ++ Chr(10); PR_FONTHEIGHT: 40; PR_FONTCOLOR: 255; PR_ZOOMX: 512; PR_LEFT: 160; PR_TOP: 40
SliderNew PR_NAME: "sl"; PR_PARENT: ""; PR_LEFT: 10; PR_TOP: 100; PR_WIDTH: 100; PR_HEIGHT: 10; PR_ONNOTIFY: "ev.zsb:sl"
GaugeNew PR_NAME: "ga"; PR_PARENT: ""; PR_LEFT: 10; PR_TOP: 120; PR_WIDTH: 100; PR_HEIGHT: 6; PR_COLOR: 49152; PR_VALUE: 50
EditNew PR_NAME: "ed"; PR_PARENT: ""; PR_LEFT: 150; PR_TOP: 100; PR_WIDTH: 100; PR_HEIGHT: 20; PR_ONNOTIFY: "ev.zsb:ed"
TileNew PR_NAME: "ti"; PR_PARENT: ""; PR_SOURCE: "cells.drl"; PR_LEFT: 150; PR_TOP: 150; PR_WIDTH: 50; PR_HEIGHT: 8
Calc log = "sc2 " ++ GetProp("sc2", 5) ++ "x" ++ GetProp("sc2", 6) ++ " cap " ++ GetProp("cap", 50) ++ "|" ++ GetProp("cap2", 50) ++ " zoom " ++ (GetProp("cap2", 5) == 2 * GetProp("cap", 5)) ++ " tall " ++ GetProp("cap", 6) ++ " "
Label loop
Calc f = f + 1
Wait[nocontinue] 16
Jump @loop
