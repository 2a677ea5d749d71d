# Choices: a menu chosen by the mouse, one chosen by the keys, a radio group of buttons
# and a button with a clicked picture; the choices reach @SelStr/@SelIndex and the handlers.
SetProp ""; property: 8; value: 1056816
Menu PR_NAME: "m1"; PR_PARENT: ""; PR_LEFT: 20; PR_TOP: 20; PR_TEXT: "Yes" ++ Chr(13) ++ Chr(10) ++ "No"; PR_ROWCOUNT: 2; PR_COLOR: 255; PR_HOVERCOLOR: 65280; PR_FONTHEIGHT: 16; PR_MARGINX: 4; PR_MARGINY: 4; PR_AUTOSCRAP: TRUE; PR_ONSELECT: "ev.zsb:sel"; PR_ONCLOSED: "ev.zsb:closed"; PR_ONOPENED: "ev.zsb:opened"
Button PR_NAME: "b1"; PR_PARENT: ""; PR_LEFT: 200; PR_TOP: 20; PR_SOURCE: "n.drl"; PR_HOVERSOURCE: "h.drl"; PR_PRESSEDSOURCE: "p.drl"; PR_GROUPINDEX: 1; PR_ONNOTIFY: "ev.zsb:notify"
Button PR_NAME: "b2"; PR_PARENT: ""; PR_LEFT: 220; PR_TOP: 20; PR_SOURCE: "n.drl"; PR_HOVERSOURCE: "h.drl"; PR_PRESSEDSOURCE: "p.drl"; PR_GROUPINDEX: 1; PR_ONNOTIFY: "ev.zsb:notify"
Button PR_NAME: "c"; PR_PARENT: ""; PR_LEFT: 260; PR_TOP: 20; PR_SOURCE: "n.drl"; PR_HOVERSOURCE: "h.drl"; PR_PRESSEDSOURCE: "p.drl"; PR_CLICKEDSOURCE: "c.drl"; PR_ONNOTIFY: "ev.zsb:notify"; PR_ONPLAYEND: "ev.zsb:end"
Label loop
Calc f = f + 1
Jump[nocontinue] @loop; condition: done == 0
# The second menu takes the keyboard focus (HandleKey) and is chosen with Down, Down, Enter.
Menu PR_NAME: "m2"; PR_PARENT: ""; PR_LEFT: 20; PR_TOP: 120; PR_TEXT: "A" ++ Chr(13) ++ Chr(10) ++ "B" ++ Chr(13) ++ Chr(10) ++ "C"; PR_ROWCOUNT: 3; PR_COLOR: 16711680; PR_HOVERCOLOR: 65535; PR_HANDLEKEY: 1; PR_FONTHEIGHT: 16; PR_ONSELECT: "ev.zsb:sel"
Label loop2
Calc f = f + 1
Jump[nocontinue] @loop2
