# Sounds heard in the audio dump: tone.wav is a constant 8192, so what the
# mix holds at each time follows from volume, pan and fades alone.
# Names that find nothing: MovieStop finishes at once though asked to wait,
# MediaPlay does nothing. A fade on a sound whose file is missing stops
# nothing: the silent sound stays.
MovieStop "nothing"; fadeTime: 500; wait: TRUE
MediaPlay "nothing"
Sound PR_NAME: "ghost"; PR_SOURCE: "missing.wav"
MovieStop "ghost"; fadeTime: 500; wait: TRUE
Calc log = "ghost:" ++ GetProp("ghost", 0) ++ " "
# Half a second of nothing: exact silence.
Wait 500
# The tone looping at full volume: 8192 on both sides.
Sound PR_NAME: "fx"; PR_SOURCE: "tone.wav"; PR_VOLUME: 1000; PR_REPEAT: TRUE
Calc log = log ++ "len:" ++ GetProp("fx", 45) ++ " playing:" ++ GetProp("fx", 138)
Wait 1500
# Panned full right: the left side is silent.
SetProp "fx"; property: 30; value: 10000
Wait 1500
# Centred at volume 500, which is -25 dB.
SetProp "fx"; property: 30; value: 0
SetProp "fx"; property: 28; value: 500
Wait 1500
# A one-second fade-out; the command waits until the sound has gone.
MovieStop "fx"; fadeTime: 1000; wait: TRUE
Calc log = log ++ " faded:" ++ GetProp("fx", 0)
Wait 1500
# A second sound fading in over a second, then stopped at once.
Sound PR_NAME: "fx2"; PR_SOURCE: "tone.wav"; PR_REPEAT: TRUE; PR_DELAY: 1000
Wait 2500
MovieStop "fx2"; fadeTime: 0
Wait 1500
# A MIDI note through the synthesiser, stopped after two seconds.
Sound PR_NAME: "mus"; PR_SOURCE: "note.mid"
Wait 2000
MovieStop "mus"
Wait 1500
# A one-shot tone of 100 ms ends, its handler counts the end, and
# MediaPlay plays it again from the start; a WAV or Ogg item reports its end
# only once, so the handler runs once.
Sound PR_NAME: "once"; PR_SOURCE: "tone.wav"; PR_VOLUME: 1000; PR_ONPLAYEND: "ended.zsb"
Wait 1000
MediaPlay "once"
Wait 1000
Calc log = log ++ " ends:" ++ ended
Wait 1000
# One second of an Ogg Vorbis sine that ends by itself.
Sound PR_NAME: "sine"; PR_SOURCE: "sine.ogg"; PR_VOLUME: 1000
Calc log = log ++ " sine:" ++ GetProp("sine", 45)
Wait 2500
Exit
