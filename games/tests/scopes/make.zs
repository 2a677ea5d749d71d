VarNew kept; type: int; value: 7; scope: global
VarNew gone; type: real; value: 2.5; scope: local
Calc seen = seen ++ "inside:" ++ IntToStr(VarExists("kept")) ++ IntToStr(VarExists("gone")) ++ IntToStr(VarExists("mine")) ++ " "
