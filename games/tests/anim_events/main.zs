# An animation that stops on its last frame and queues its play-end event every frame,
# an idle handler (one event per frame until it is cleared), and a captured right
# press that ends when the left button goes down (either press clears both held flags).
ImgNew PR_NAME: "an"; PR_PARENT: ""; PR_SOURCE: "anim.drl"; PR_LEFT: 10; PR_TOP: 10; PR_ONPLAYEND: "ev.zsb:end"
BoxNew PR_NAME: "r"; PR_PARENT: ""; PR_LEFT: 100; PR_TOP: 100; PR_WIDTH: 50; PR_HEIGHT: 50; PR_COLOR: 255; PR_ONRBTNDOWN: "ev.zsb:rd"; PR_ONRBTNUP: "ev.zsb:ru"; PR_ONIDLE: "ev.zsb:idle"
Label loop
Calc f = f + 1
Jump[nocontinue] @loop; condition: f < 12
Calc log = log ++ " cnt" ++ GetProp("an", 45)
SetProp "r"; property: 113; value: ""
Label loop2
Calc f = f + 1
Jump[nocontinue] @loop2
