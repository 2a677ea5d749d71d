# The demo's sound: a looping tune (a MIDI file played by the synthesiser)
# that starts with the title screen, and a click for the title's buttons.
# music.mid and click.wav are made by scripts/make-media.py.
Sound PR_NAME: "music"; PR_SOURCE: "music.mid"; PR_REPEAT: TRUE; PR_VOLUME: 900; PR_DELAY: 1500
Exit
# A button was clicked: a short blip that deletes itself when it is over.
Label click
Sound PR_SOURCE: "click.wav"; PR_VOLUME: 1000; PR_AUTOSCRAP: TRUE
