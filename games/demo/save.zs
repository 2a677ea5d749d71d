# Saving and loading from a key menu: S saves the game into slot 1, L loads
# slot 1 again (the game goes on where that save was made), Q or three
# seconds go on. The demo saves once by itself on its first visit, so that
# save.dat always holds a save and its caption shows in the variable dump.
VarNew savedCaption; type: text
VarNew saveCount; type: int
VarNew menuFrames; type: int
VarNew menuSaves; type: int
If Not(demoSaved)
  Calc demoSaved = TRUE
  GameSave slot: 1; caption: "demo after counting"
Calc savedCaption = GetSaveCaption(1)
Calc saveCount = ListSaveCaption()
Calc menuFrames = 0
Label menu
Wait[nocontinue] 16
Calc menuFrames = menuFrames + 1
If @KeyClick[83]
  Calc menuSaves = menuSaves + 1
  GameSave slot: 1; caption: "demo, saved by key " ++ IntToStr(menuSaves)
Elseif @KeyClick[76]
  GameLoad slot: 1
Jump @menu; condition: Not(@KeyClick[81]) & (menuFrames < 180)
