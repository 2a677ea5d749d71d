# Variable scopes: a global made in a called page outlives the call, a local
# one ends with it; a local of the caller is not the callee's.
VarNew mine; type: int; value: 1; scope: local
Call make.zsb
Calc seen = seen ++ "after:" ++ IntToStr(VarExists("kept")) ++ IntToStr(VarExists("gone")) ++ IntToStr(VarExists("mine"))
VarNew tmp; type: text; value: "x"
VarDel tmp
Calc seen = seen ++ " deleted:" ++ IntToStr(VarExists("tmp"))
Exit
