# The title screen's lettering: a caption under the logo, drawn with the
# system's Gothic face, and a score counter written with the seven-segment
# glyph sheet (an image caption) that counts the frames the title has shown.
Caption PR_NAME: "welcome"; PR_PARENT: "bg"; PR_TEXT: "ようこそ、ゲームの世界へ"; PR_FONTNAME: "ＭＳ Ｐゴシック"; PR_FONTHEIGHT: 24; PR_FONTCOLOR: 16777215; PR_ANTIALIAS: TRUE; PR_LEFT: 320; PR_TOP: 140
SetProp "welcome"; property: 13; value: GetProp("welcome", 5) / 2
CGCaption PR_NAME: "score"; PR_PARENT: "bg"; PR_SOURCE: "digits.drl"; PR_MAPTEXT: "0123456789"; PR_GLYPHWIDTH: 16; PR_GLYPHHEIGHT: 24; PR_TEXT: "0"; PR_LEFT: 540; PR_TOP: 24
Exit
