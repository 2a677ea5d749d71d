# stop.zsb: a Break outside any loop ends the page (returns to the caller).
WhileInit counts = counts ++ "stop"
Break
WhileInit counts = counts ++ "never"
