"""Where the panel's boxes and buttons are on the 1280x720 screen (points well
inside each, whatever the font measures)."""

BASE_BOX = (951, 490)
ELBOW_BOX = (978, 346)
SHOULDER_BOX = (978, 406)
GRIPPER_BOX = (978, 273)
NOWHERE = (600, 300)

POLE = (150, 50)
ZERO = (427, 50)
SEND = (717, 50)

NAME_BOX = (1166, 50)
PLAY = (977, 50)
LOAD = (1090, 116)
SAVE = (1197, 116)
REMOVE = (1090, 160)
ADD = (1212, 160)

# The waypoint list's rows, bottom (newest) first.
LIST_X = 1063
LIST_ROWS_Y = [402, 378, 354, 330, 306, 282, 258, 234, 210]

BLACK = (0, 0, 0)
GRAY = (130, 130, 130)
LIGHT_GRAY = (200, 200, 200)
GREEN = (0, 228, 48)
WHITE = (255, 255, 255)
OFF_WHITE = (245, 245, 245)
DARK_GRAY = (80, 80, 80)


def rows_shown(shot):
    """For each row of the waypoint list, bottom first: whether any text is
    drawn in it."""
    return [any(shot.at(px, py) == BLACK for py in range(y, y + 24)
                for px in range(LIST_X, LIST_X + 180)) for y in LIST_ROWS_Y]
