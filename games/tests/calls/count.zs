# count.zsb: notes how many arguments arrived and the last of them.
WhileInit counts = counts ++ IntToStr(@ParamCount) ++ ":" ++ @ParamStr[@ParamCount - 1] ++ " "
