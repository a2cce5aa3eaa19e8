#!/usr/bin/env python3
"""Writes the hand-made seeds of the targets that read their input with FuzzedDataProvider.

That reader takes texts from the front of the input and numbers and flags from its back, last byte first; a seed
is therefore written as two streams and joined. Each seed is one named case: a stored button of the dialog, a
save with a track typed in, a save Windows refuses at its n-th key. Run it from anywhere; it rewrites only the
files named seed-* in fuzz/corpus/.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


class Seed:
    def __init__(self):
        self.front = bytearray()
        self.back = []  # bytes in the order they are consumed

    def integral(self, value, lo, hi, size):
        """ConsumeIntegralInRange<T>(lo, hi) giving value; size is sizeof(T)."""
        span, result, n = hi - lo, value - lo, 0
        while n < size and (span >> (8 * n)) > 0:
            n += 1
        for i in reversed(range(n)):
            self.back.append((result >> (8 * i)) & 0xFF)

    def flag(self, b):
        self.integral(1 if b else 0, 0, 255, 1)

    def text_bytes(self, raw):
        for b in raw:
            self.front += b"\\\\" if b == 0x5C else bytes([b])
        self.front += b"\\e"  # a backslash and any other byte end the text

    def text(self, s, word=None):
        """Text(in): one of the target's words, or bytes (wide: UTF-16LE)."""
        if word is not None:
            self.flag(True)
            self.integral(word, 0, 255, 8)
            return
        self.flag(False)
        wide = any(ord(c) > 0xFF for c in s)
        self.flag(wide)
        self.text_bytes(s.encode("utf-16-le") if wide else s.encode("latin-1"))

    def probability(self, p):
        self.integral(int(p * 0xFFFFFFFF), 0, 0xFFFFFFFF, 4)

    def data(self):
        return bytes(self.front) + bytes(reversed(self.back))


def write(target, name, seed):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(seed.data())


# ---- command_properties_fuzz: ambient font, stored entries, then property uses

NAMES = ["Enabled", "Caption", "FirstRun", "Font", "FontColour", "Visible"]
INT_SMALL, INT_ANY, TEXT, FONT = range(4)
OPS = {"read_enabled": 0, "set_enabled": 1, "read_visible": 2, "set_visible": 3, "set_colour": 4, "set_caption": 5,
       "resize": 6}


def button(entries, ops=(), ambient_default=True):
    s = Seed()
    font(s, None if ambient_default else "Arial")
    s.integral(len(entries), 0, 10, 4)
    for name, kind, value in entries:
        s.probability(0.0)
        s.integral(NAMES.index(name), 0, 5, 8)
        s.integral(kind, 0, 3, 4)
        if kind == INT_SMALL:
            s.integral(value, -2, 256, 8)
        elif kind == INT_ANY:
            s.integral(value, -(1 << 63), (1 << 63) - 1, 8)
        elif kind == TEXT:
            s.text(value)
        else:
            font(s, value)
    for op, arg in ops:
        s.integral(OPS[op], 0, 6, 4)
        if op == "set_enabled":
            s.flag(arg)
        elif op == "set_visible":
            s.integral(arg, 0, 255, 1)
        elif op == "set_colour":
            s.integral(arg, 0, 0xFFFFFFFF, 4)
        elif op == "set_caption":
            s.text(arg)
    return s


def font(s, face):
    """A font with the given face, 12 pt-ish, bold, character set 0."""
    if face is None:
        s.flag(True)  # the dialog's own font
        return
    s.flag(False)
    s.text(face)
    s.flag(True)
    s.integral(int(0.5 * 0xFFFFFFFFFFFFFFFF), 0, 0xFFFFFFFFFFFFFFFF, 8)
    s.integral(700, -(1 << 31), (1 << 31) - 1, 4)
    s.integral(0, -(1 << 31), (1 << 31) - 1, 4)
    for b in (False, False, False):
        s.flag(b)


DIALOG_FONT = None
write("command_properties_fuzz", "new_button", button([]))
write("command_properties_fuzz", "dialog_set", button([("Caption", TEXT, "設定"), ("Font", FONT, DIALOG_FONT)]))
write("command_properties_fuzz", "dialog_cancel", button([("Caption", TEXT, "ｷｬﾝｾﾙ"), ("Font", FONT, DIALOG_FONT)]))
write("command_properties_fuzz", "dialog_file", button([("Caption", TEXT, "..."), ("Font", FONT, "Arial")]))
write("command_properties_fuzz", "disabled", button([("Enabled", INT_SMALL, 0)], [("read_enabled", None)]))
write("command_properties_fuzz", "enabled_as_text",
      button([("Enabled", TEXT, "False"), ("Enabled", TEXT, "True")], [("set_enabled", False), ("read_enabled", None)]))
write("command_properties_fuzz", "enabled_not_a_boolean", button([("Enabled", TEXT, "yes")]))
write("command_properties_fuzz", "first_run_0_blackens_the_caption",
      button([("FirstRun", INT_SMALL, 0), ("FontColour", INT_SMALL, 255)], [("set_colour", 0xFF), ("read_enabled", None)]))
write("command_properties_fuzz", "first_run_out_of_byte", button([("FirstRun", INT_SMALL, 256)]))
write("command_properties_fuzz", "system_colour",
      button([("FontColour", INT_ANY, 0x80000012)], [("set_colour", 0x80000005)]))
write("command_properties_fuzz", "colour_too_big", button([("FontColour", TEXT, "1e400")]))
write("command_properties_fuzz", "transparent",
      button([("Visible", INT_SMALL, 0)], [("read_visible", None), ("set_visible", 7), ("read_visible", None)]))
write("command_properties_fuzz", "visible_2_ignored", button([("Visible", INT_SMALL, 2)]))
write("command_properties_fuzz", "caption_is_the_saving_default",
      button([("Caption", TEXT, "Command")], [("set_caption", "Command"), ("resize", None)]))
write("command_properties_fuzz", "caption_from_a_number_and_a_font",
      button([("Caption", INT_ANY, -12345), ("Font", TEXT, "ＭＳ ゴシック")], ambient_default=False))


# ---- settings_save_fuzz: refusal, speed, choice, track, file, then the repeat box's text

def save(repeat_text, speed=10, kind=0, file="", exists=False, refuse_from=0, earlier=False, track=0):
    s = Seed()
    s.integral(refuse_from, 0, 5, 4)
    s.integral(speed, -32768, 32767, 2)
    if 0 <= kind <= 2:
        s.flag(True)
        s.integral(kind, 0, 2, 2)
    else:
        s.flag(False)
        s.integral(kind, -32768, 32767, 2)
    s.integral(track, -32768, 32767, 2)
    s.text(file)
    s.flag(exists)
    s.flag(earlier)
    s.text(repeat_text)
    return s


write("settings_save_fuzz", "untouched_defaults", save(""))
write("settings_save_fuzz", "cd_track_7", save("7", kind=1))
write("settings_save_fuzz", "track_3_5_rounds_to_4", save("3.5", kind=1))
write("settings_save_fuzz", "track_2_5_rounds_to_2", save("2.5", kind=1))
write("settings_save_fuzz", "track_abc_is_0", save("abc", kind=1, track=5))
write("settings_save_fuzz", "track_99999_refused", save("99999", kind=1, earlier=True))
write("settings_save_fuzz", "track_blanks_around", save(" 30 ", kind=1))
write("settings_save_fuzz", "track_negative", save("-1", kind=1))
write("settings_save_fuzz", "music_file", save("", kind=2, file="C:\\Music\\song.mp3", exists=True, speed=100))
write("settings_save_fuzz", "music_file_gone", save("", kind=2, file="C:\\Music\\gone.mp3", speed=1))
write("settings_save_fuzz", "music_choice_without_file", save("", kind=2))
write("settings_save_fuzz", "path_with_blanks", save("", kind=2, file=" C:\\My Music\\a b.wav ", exists=True))
write("settings_save_fuzz", "hand_edited_kind_and_speed", save("12", kind=7, speed=-250, earlier=True))
for n in range(1, 5):
    write("settings_save_fuzz", "refused_at_key_%d" % n, save("3", kind=1, refuse_from=n))
