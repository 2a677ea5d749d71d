# Choosing pictures: a map image whose regions light under the mouse (a rectangle and a
# polygon), and a preview menu whose thumbnails light under the mouse and are walked by the
# arrow keys; the choices reach @SelStr/@SelIndex and the handlers. A right click scraps
# the preview menu after its film has ended.
SetProp ""; property: 8; value: 1056816
MapImgNew PR_NAME: "map"; PR_PARENT: ""; PR_LEFT: 20; PR_TOP: 20; PR_ALPHA: 255; PR_SOURCE: "base.drl"; PR_HOVERSOURCE: "lit.drl"; PR_MAPSOURCE: "halves.map"; PR_AUTOSCRAP: TRUE; PR_ONMAPIN: "ev.zsb:in"; PR_ONMAPOUT: "ev.zsb:out"; PR_ONSELECT: "ev.zsb:sel"
PrevMenuNew PR_NAME: "pm"; PR_PARENT: ""; PR_LEFT: 20; PR_TOP: 120; PR_SOURCE: "thumbs.zmt"; PR_HANDLEKEY: 1; PR_RCLICKSCRAP: TRUE; PR_ONMAPIN: "ev.zsb:in"; PR_ONMAPOUT: "ev.zsb:out"; PR_ONSELECT: "ev.zsb:sel"; PR_ONPLAYEND: "ev.zsb:end"
Calc items = GetProp("pm", 45) ++ "," ++ GetEnabled("pm", "two") ++ "," ++ GetEnabled("pm", "three")
Label loop
Calc f = f + 1
Calc here = Exists("map") ++ "," ++ Exists("pm") ++ "," ++ @SelStr ++ "/" ++ @SelIndex
Jump[nocontinue] @loop
