# The drawing code of every picture of the game (see ../make_pictures.py).
