# A visual-novel scene: a message window over the title's background, three
# pages revealed character by character (a click or the auto timer turns the
# page), a link that jumps back to read the scene again, and the backlog of
# what was shown. The lamp in the window's corner turns green when a page
# starts that was read before (the second time through).
ImgNew PR_NAME: "nbg"; PR_PARENT: Chr(1); PR_SOURCE: "bg.drl"
BoxNew PR_NAME: "window"; PR_PARENT: "nbg"; PR_LEFT: 20; PR_TOP: 318; PR_WIDTH: 600; PR_HEIGHT: 146; PR_COLOR: 3158064; PR_ALPHA: 200; PR_BORDERWIDTH: 2; PR_BORDERCOLOR: 12632256
BoxNew PR_NAME: "readLamp"; PR_PARENT: "nbg"; PR_LEFT: 592; PR_TOP: 328; PR_WIDTH: 16; PR_HEIGHT: 16; PR_COLOR: 8421504
MesNew PR_NAME: "story"; PR_PARENT: "nbg"; PR_LEFT: 40; PR_TOP: 332; PR_WIDTH: 540; PR_HEIGHT: 120; PR_PRIORITY: 1; PR_FONTHEIGHT: 24; PR_LINESPACE: 6; PR_FONTCOLOR: 16777215; PR_FONTLINKCOLOR: 8454143; PR_FONTHOVERCOLOR: 65535; PR_ONPLAYSTART: "novel.zsb:started"; PR_ONLBTNDOWN: "novel.zsb:turn"; PR_ONLINK: "novel.zsb:link"
Timer PR_NAME: "auto"; PR_DELAY: 2500; PR_ONNOTIFY: "novel.zsb:turn"
Flip 1; duration: 500; clearBack: TRUE
Calc status = "novel"
Label scene
Calc choice = ""
TextIns "夜の<RUBY VALUE=\"そら\">空</RUBY>に、小さな宝石がひとつ光っていた。<CLEAR>それは誰かが落としたものなのか、それとも最初からそこにあったのか。<CLEAR>答えはまだ分からない。<BR><A HREF=\"again\">もう一度読む</A>　<A HREF=\"log\">履歴を見る</A>"; box: "story"; readTracking: TRUE; wait: TRUE
Calc readings = readings + 1
Jump @scene; condition: choice == "again"
# The backlog: every page shown so far, stacked in the window.
CallHist "story"; first: 0; count: 3; flag: TRUE
Calc status = "backlog " ++ IntToStr(@HistoryCount)
Wait 3000
TextClr "story"
Exit

Label started
If @ParamStr[0] == "1"
  SetProp "readLamp"; property: 8; value: 65280
Else
  SetProp "readLamp"; property: 8; value: 8421504
Exit

# A click or the timer: the next page, or after the last one the text is
# cleared (which lets the waiting TextIns go on). Without a choice the
# scene is read once more, then the backlog shows.
Label turn
Exit GetProp("story", 45) == 0
If GetProp("story", 44) < GetProp("story", 45) - 1
  SetProp "story"; property: 44; value: GetProp("story", 44) + 1
Else
  If readings == 0
    Calc choice = "again"
  Else
    Calc choice = "log"
  TextClr "story"
Exit

Label link
Calc choice = @ParamStr[1]
TextClr "story"
Exit
