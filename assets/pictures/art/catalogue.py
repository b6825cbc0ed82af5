# Every picture of the game by file name: how it is drawn, its depth and what it is
# for. make_pictures.py writes them all; the manifest lists the same names and sizes.
import functools

from . import effects, font, game_screen, menu, pieces, screens, ui
from .core import rgb

PIECE_KINDS = [
    ("sterlka_%s_blue.tga", "blue", "blue arrow"),
    ("sterlka_%s_red.tga", "red", "red arrow"),
    ("sterlkab_%s_blue.tga", "bomb_blue", "blue bomb arrow"),
    ("sterlka_%s_green.tga", "green", "green arrow"),
    ("sterlkab_%s_red.tga", "bomb_red", "red bomb arrow"),
    ("sterlkab_%s_green.tga", "bomb_green", "green bomb arrow"),
    ("sterlka_%s_rgb.tga", "rgb", "wild rgb arrow"),
    ("sterlka_%s_moln.tga", "moln", "lightning arrow"),
    ("sterlka_%s_no.tga", "no", "immovable no-arrow"),
]
DIRECTION_NAMES = {"u": "up", "r": "right", "d": "down", "l": "left"}


class Picture:
    """One file: a .tga (draw returns a Canvas or an RGBA array) or a .spt (frames
    returns a list of Canvases, played as the action 'Loop')."""

    def __init__(self, name, draw, purpose, bits=32, frames=None, duration=None):
        self.name = name
        self.draw = draw
        self.purpose = purpose
        self.bits = bits
        self.frames = frames
        self.duration = duration


def _button_set(stem, purpose, make):
    out = []
    for state in ui.STATES:
        out.append(Picture("%s_%s.tga" % (stem, state), functools.partial(make, state),
                           "%s (%s)" % (purpose, {"loop": "normal", "focus": "pointed at",
                                                  "down": "pressed"}[state])))
    return out


def _text(label, box=(10, 15, 118, 49), width=128, height=64, icon=None, size=15):
    return lambda state: ui.text_button(label, state, width, height, box, size, icon=icon)


def all_pictures():
    pics = []
    # Pieces and their flashes.
    for pattern, kind, what in PIECE_KINDS:
        for d in "urdl":
            pics.append(Picture(pattern % d, functools.partial(pieces.piece, kind, d),
                                "board piece: %s pointing %s" % (what, DIRECTION_NAMES[d])))
    for d in "urdl":
        pics.append(Picture("sterlka_%s.tga" % d, functools.partial(pieces.outline_arrow, d),
                            "outline flash over a cell, arrow %s, in the lower-left 50x50"
                            % DIRECTION_NAMES[d]))
    # Debris of exploding pieces (names are matched without regard to case, so the
    # capitalised names of the bomb kinds find these too).
    for colour in ("blue", "red", "green"):
        for which in (1, 2):
            pics.append(Picture("%s_strelka_particle%d.tga" % (colour, which),
                                functools.partial(pieces.debris, colour, which),
                                "debris of an exploding %s piece" % colour))
    for which in (1, 2):
        pics.append(Picture("No_strelka_particle%d.tga" % which,
                            functools.partial(pieces.debris, "no", which),
                            "debris of an exploding no-arrow"))
    pics += effects.pictures(Picture)
    pics.append(Picture("xFont.tga", font.font_picture,
                        "game font: 16x24 cells of Latin-1 and Latin Extended-A glyphs, "
                        "white, shape in alpha"))
    # Buttons.
    pics += _button_set("start", "menu: start a game", _text("Play"))
    pics += _button_set("options", "menu: options", _text("Options"))
    pics += _button_set("help", "menu: help", _text("Help"))
    pics += _button_set("hiscore", "menu: high scores", _text("Scores"))
    pics += _button_set("exit", "menu and pause: leave the game", _text("Exit"))
    pics += _button_set("ok", "dialogs: OK", _text("OK"))
    pics += _button_set("play", "pause: resume", _text("Resume"))
    pics += _button_set("exitmenu", "pause: back to the menu", _text("Main Menu"))
    pics += _button_set("prev", "help: previous page", _text("< Back"))
    pics += _button_set("next", "help: next page", _text("Next >"))
    game_box_a = (12, 7, 224, 57)
    game_box_b = (22, 7, 234, 57)
    pics += _button_set("button_pause", "game: pause",
                        _text("Pause", game_box_a, 256, 64, effects.icon_pause, 18))
    pics += _button_set("button_options", "game: options",
                        _text("Options", game_box_b, 256, 64, effects.icon_gear, 18))
    pics += _button_set("button_help", "game: help",
                        _text("Help", game_box_a, 256, 64, effects.icon_help, 18))
    pics += _button_set("button_hiscore", "game: high scores",
                        _text("High Scores", game_box_b, 256, 64, effects.icon_trophy, 18))
    for stem, direction, box, w, h, what in (
            ("up", "u", (3, 2, 29, 14), 32, 16, "menu: next level"),
            ("down", "d", (3, 2, 29, 14), 32, 16, "menu: previous level"),
            ("left", "l", (0, 0, 16, 32), 16, 32, "high scores: other table"),
            ("right", "r", (0, 0, 16, 32), 16, 32, "high scores: other table")):
        pics += _button_set(stem, what, functools.partial(
            lambda dr, bx, ww, hh, state: ui.arrow_button(dr, state, ww, hh, bx),
            direction, box, w, h))
    for stem, kind, what in (("x", "x", "top bar: close"), ("", "_", "top bar: minimise")):
        for state, suffix in (("loop", "Loop"), ("focus", "Focus"), ("down", "down")):
            pics.append(Picture("%s_%s.tga" % (stem, suffix),
                                functools.partial(ui.round_button, kind, state),
                                "%s (%s)" % (what, state)))
    pics.append(Picture("Checked1.tga", functools.partial(ui.checkbox, True, False),
                        "options: ticked check box"))
    pics.append(Picture("Checked2.tga", functools.partial(ui.checkbox, True, True),
                        "options: ticked check box, pointed at or pressed"))
    pics.append(Picture("Unchecked1.tga", functools.partial(ui.checkbox, False, False),
                        "options: empty check box"))
    pics.append(Picture("Unchecked2.tga", functools.partial(ui.checkbox, False, True),
                        "options: empty check box, pointed at or pressed"))
    pics.append(Picture("Plus1.tga", functools.partial(ui.slider_knob, False),
                        "options: slider knob"))
    pics.append(Picture("Plus2.tga", functools.partial(ui.slider_knob, True),
                        "options: slider knob, pointed at or dragged"))
    pics.append(Picture("slider.tga", ui.slider_track, "options: slider track"))
    pics += game_screen.pictures(Picture)
    pics += menu.pictures(Picture)
    pics += screens.pictures(Picture)
    pics.sort(key=lambda p: p.name.lower())
    names = [p.name.lower() for p in pics]
    if len(set(names)) != len(names):
        raise ValueError("two pictures share a name")
    return pics
