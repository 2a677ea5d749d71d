# The counting screen's movie (made by scripts/make-media.py): a square
# circling on blue, looping in the panel's upper right corner.
Movie PR_NAME: "film"; PR_PARENT: "panel"; PR_SOURCE: "movie.mpg"; PR_LEFT: 416; PR_TOP: 16; PR_REPEAT: TRUE
