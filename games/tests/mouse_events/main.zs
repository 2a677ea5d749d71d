# Mouse, wheel, key and focus events: senders, coordinates, capture, mouse-transparent
# and hidden or paused boxes, one pending move per sender while its handler runs.
BoxNew PR_NAME: "a"; PR_PARENT: ""; PR_LEFT: 20; PR_TOP: 20; PR_WIDTH: 100; PR_HEIGHT: 80; PR_COLOR: 255; PR_ONLBTNDOWN: "ev.zsb:down"; PR_ONLBTNUP: "ev.zsb:up"; PR_ONMOUSEMOVE: "ev.zsb:move"; PR_ONMOUSEIN: "ev.zsb:in"; PR_ONMOUSEOUT: "ev.zsb:out"; PR_ONRBTNDOWN: "ev.zsb:rdown"; PR_ONRBTNUP: "ev.zsb:rup"; PR_ONWHEELDOWN: "ev.zsb:wd"; PR_ONWHEELUP: "ev.zsb:wu"
BoxNew PR_NAME: "b"; PR_PARENT: "a"; PR_LEFT: 10; PR_TOP: 10; PR_WIDTH: 30; PR_HEIGHT: 30; PR_COLOR: 65280; PR_IGNOREMOUSE: 3; PR_ONLBTNDOWN: "ev.zsb:down"; PR_ONMOUSEMOVE: "ev.zsb:move"; PR_ONMOUSEIN: "ev.zsb:in"; PR_ONMOUSEOUT: "ev.zsb:out"; PR_ONRBTNDOWN: "ev.zsb:rdown"; PR_ONRBTNUP: "ev.zsb:rup"; PR_ONWHEELDOWN: "ev.zsb:wd"
BoxNew PR_NAME: "c"; PR_PARENT: ""; PR_LEFT: 200; PR_TOP: 20; PR_WIDTH: 50; PR_HEIGHT: 50; PR_COLOR: 255; PR_VISIBLE: FALSE; PR_ONLBTNDOWN: "ev.zsb:down"; PR_ONMOUSEIN: "ev.zsb:in"
BoxNew PR_NAME: "d"; PR_PARENT: ""; PR_LEFT: 100; PR_TOP: 150; PR_WIDTH: 50; PR_HEIGHT: 50; PR_COLOR: 255; PR_PAUSED: TRUE; PR_ONLBTNDOWN: "ev.zsb:down"; PR_ONLBTNUP: "ev.zsb:up"; PR_ONMOUSEIN: "ev.zsb:in"
BoxNew PR_NAME: "k"; PR_PARENT: ""; PR_LEFT: 260; PR_TOP: 150; PR_WIDTH: 50; PR_HEIGHT: 50; PR_COLOR: 255; PR_HANDLEKEY: 1; PR_ONKEYDOWN: "ev.zsb:kd"; PR_ONKEYUP: "ev.zsb:ku"; PR_ONKEYREPEAT: "ev.zsb:kr"; PR_ONFOCUSIN: "ev.zsb:fin"; PR_ONFOCUSOUT: "ev.zsb:fout"
BoxNew PR_NAME: "glass"; PR_PARENT: ""; PR_LEFT: 100; PR_TOP: 150; PR_WIDTH: 20; PR_HEIGHT: 20; PR_COLOR: 65535; PR_IGNOREMOUSE: 1; PR_PRIORITY: 9; PR_ONLBTNDOWN: "ev.zsb:down"; PR_ONMOUSEIN: "ev.zsb:in"
BoxNew PR_NAME: "w"; PR_PARENT: ""; PR_LEFT: 200; PR_TOP: 100; PR_WIDTH: 40; PR_HEIGHT: 40; PR_COLOR: 255; PR_ONMOUSEMOVE: "ev.zsb:slow"
Label loop
Calc f = f + 1
Jump[nocontinue] @loop
