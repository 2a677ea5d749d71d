# A button's state motions across a game save and load: the hover and clicked
# sources name motion files when the game is saved; afterwards they are
# changed to plain pictures, and the load brings the motions back (read again
# through the sources), so hovering and clicking after the load play them.
SetProp ""; property: 8; value: 1056816
Button PR_NAME: "btn"; PR_PARENT: ""; PR_LEFT: 20; PR_TOP: 60; PR_SOURCE: "n.drl"; PR_HOVERSOURCE: "hov.zmt"; PR_CLICKEDSOURCE: "clk.zmt"; PR_ONPLAYEND: "after.zsb:end"
GameSave 1; resumePage: after.zsb; caption: "motions"
Wait 50
SetProp "btn"; property: 83; value: "h.drl"
SetProp "btn"; property: 133; value: "c.drl"
WhileInit log = log ++ "changed " ++ GetProp("btn", 83) ++ "; "
GameLoad 1
Wait 1000
