Calc ended = ended + 1
