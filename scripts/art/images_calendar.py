"""Images of the ride-data calendar panel, drawn with make_images' shared helpers.

make_images.py calls make(m) with itself as m.
"""


def make(m):
    # folder button of the calendar panel: normal / pressed
    m.icon(m.T, "playback_calendar_folder", "folder", m.SILVER, 33, pad=3)
    m.icon(m.T, "playback_calendar_folder_selected", "folder", m.ORANGE2, 33, pad=3)
