# The opening film, played before the title screen: the cinema shows
# opening.zcm (built from opening.zcm.film) and removes itself at its end.
Cinema PR_NAME: "opening"; PR_PARENT: ""; PR_SOURCE: "opening.zcm"; PR_AUTOSCRAP: TRUE
Wait[nocontinue] 2050
