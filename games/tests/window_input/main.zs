# Records the input that reaches the game, one pass per frame: the position of
# the last left click (in game pixels) and the virtual-key code of the last key
# that went down. The game ends itself a few frames after it has seen both, so
# the variable dump is written without waiting for the frame limit.
Label frame
WhileInit frames = frames + 1
If @LClick
  WhileInit clicks = clicks + 1
  WhileInit clickX = @MouseX
  WhileInit clickY = @MouseY
WhileInit k = 0
While k < 256
  If @KeyClick[k]
    WhileInit keys = keys + 1
    WhileInit lastKey = k
WhileLoop k = k + 1
If clicks > 0
  If keys > 0
    WhileInit done = done + 1
Jump[nocontinue] @frame; condition: done < 5
Terminate
