# Calls: recursion with arguments and results, the argument list of each call
# level, arguments that yield nothing left out, a Break that ends a called page.
Call fact.zsb; arguments: 5; result: fact
Call count.zsb; arguments: 1, junk = 2, "three"
Call count.zsb
Call stop.zsb
WhileInit counts = counts ++ "|end"
Exit
