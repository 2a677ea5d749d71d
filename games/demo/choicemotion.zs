# The choice moves (motion files in the film text form, docs/film-source.md):
# its title slides into the panel from the right and slows down, and the road
# buttons bob while the mouse is over them.
Caption PR_NAME: "choiceTitle"; PR_PARENT: "choicePanel"; PR_SOURCE: "choice_title.zmt"
SetProp "goRiver"; property: 83; value: "plate_bob.zmt"
SetProp "goHill"; property: 83; value: "plate_bob.zmt"
Exit
