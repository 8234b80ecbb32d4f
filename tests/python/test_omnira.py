"""The Python module `omnira` against lcdshot: the same frames, the state as
data, scripts and their results, saving and restoring, two instruments."""
import os
import struct
import subprocess
import zlib

import pytest

import omnira

LCDSHOT = os.environ["OMNIRA_LCDSHOT"]
WORK = os.environ.get("OMNIRA_WORK", "pytest-work")
CRUISE = "rpm 5000 rpm\nmap 30.0 inHg\ntemp 50 C\non\n"


def indexed_png(path):
    """The palette indices of an 8-bit indexed PNG, decoded here by hand so
    that the comparison does not rest on the host's own reader."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, idat, width, height = 8, b"", 0, 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert (depth, colour) == (8, 3)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw, rows, previous = zlib.decompress(idat), [], bytes(width)
    for y in range(height):
        kind, line = raw[y * (width + 1)], bytearray(raw[y * (width + 1) + 1:(y + 1) * (width + 1)])
        for x in range(width):
            a = line[x - 1] if x else 0
            b, c = previous[x], previous[x - 1] if x else 0
            p = a + b - c
            predictor = [0, a, b, (a + b) // 2,
                         a if abs(p - a) <= min(abs(p - b), abs(p - c)) else b if abs(p - b) <= abs(p - c) else c][kind]
            line[x] = (line[x] + predictor) & 0xFF
        rows.append(bytes(line))
        previous = line
    return b"".join(rows)


def lcdshot_frame(script, name):
    """The last frame of `script` as lcdshot writes it."""
    os.makedirs(WORK, exist_ok=True)
    path = os.path.join(WORK, name + ".txt")
    with open(path, "w") as f:
        f.write(script + "golden %s\n" % name)
    subprocess.run([LCDSHOT, path, "-o", WORK], check=True, capture_output=True)
    return indexed_png(os.path.join(WORK, name + ".png"))


@pytest.fixture
def cruise():
    inst = omnira.Instrument()
    inst.rpm(5000)
    inst.map(30.0)
    inst.temp(50)
    inst.power_on()
    inst.hold(2)
    return inst


def test_frames_equal_lcdshots(cruise):
    assert cruise.frame() == lcdshot_frame(CRUISE + "hold 2\n", "cruise")
    cruise.key("PLUS")
    cruise.hold(0.5)
    cruise.key("PLUS")
    cruise.advance(3, passes=2)
    cruise.passes(4)
    script = CRUISE + "hold 2\nkey PLUS\nhold 0.5\nkey PLUS\n" + "tick\npass 2\n" * 3 + "pass 4\n"
    assert cruise.frame() == lcdshot_frame(script, "max_values")
    # The session's recording replays to the same frame.
    assert cruise.frame() == lcdshot_frame(cruise.recording(), "recorded")


def test_rgb_frame_and_buffer_view(cruise):
    palette = omnira.palette()
    indices, rgb = cruise.frame(), cruise.frame_rgb()
    assert len(indices) == omnira.WIDTH * omnira.HEIGHT and len(rgb) == 3 * len(indices)
    for i in (0, 5000, 19199):
        assert rgb[3 * i:3 * i + 3] == palette[indices[i]].to_bytes(3, "big")
    view = memoryview(cruise.lcd)
    assert view.shape == (120, 160) and view.readonly
    assert view.tobytes() == indices


def test_numpy_view_without_copy(cruise):
    np = pytest.importorskip("numpy")
    lcd = np.asarray(cruise.lcd)
    assert lcd.shape == (120, 160) and lcd.dtype == np.uint8 and not lcd.flags.writeable
    before = lcd.copy()
    cruise.key("PLUS")
    cruise.hold(0.5)
    # The same array shows the new frame: it is a view of the frame buffer.
    assert not np.array_equal(lcd, before)
    assert lcd.tobytes() == cruise.frame()


def test_state_as_data(cruise):
    state = cruise.state()
    assert state["version"] == 1 and state["on"] is True
    assert (state["screen"], state["page"], state["lamp"]) == ("run", "main", "dark")
    assert state["readings"]["rpm"] == {"value": 5000, "unit": "rpm", "text": "5000"}
    assert state["readings"]["map"] == {"value": 30.0, "unit": "inHg", "text": "30.0"}
    assert state["settings"]["map_high_alarm"] == "41.3 inHg"
    assert state["time"] == 2.0
    cruise.slider("temp", 4096)  # no sensor: the screen reads ---
    cruise.map("45.0")           # over the high alarm
    cruise.hold(1)
    state = cruise.state()
    assert state["readings"]["temp"] is None
    assert state["alarms"]["map"] == {"side": "high", "acknowledged": False}
    assert state["lamp"] == "bright"
    cruise.key("F1")
    cruise.hold(0.5)
    assert cruise.state()["alarms"]["map"]["acknowledged"] is True


def test_script_results():
    inst = omnira.Instrument()
    result = inst.play(CRUISE + "hold 1\nexpect rpm 5000\ngolden end\nshot big\n")
    assert result.passed and result.outcome == "passed" and result.messages == []
    assert [p.name for p in result.pictures] == ["end", "big"]
    assert result.pictures[0].frame == lcdshot_frame(CRUISE + "hold 1\n", "played")
    assert result.ticks == 10
    failed = inst.play(CRUISE + "hold 1\nexpect rpm 4000 +-10\nexpect lamp bright\n",
                       keep_going=True)
    assert not failed and failed.outcome == "failed"
    assert failed.messages == ["6: at 0:01.0: rpm is 5000 rpm, expected rpm 4000 +-10",
                               "7: at 0:01.0: the lamp is dark"]
    broken = inst.play("on\nfrobnicate\n")
    assert broken.outcome == "not run" and broken.messages[0].startswith("2: unknown command")
    # Played on the side: the instrument is as it was, off at program start.
    assert not inst.on and inst.screen == omnira.Instrument().screen


def test_save_and_restore(cruise):
    saved = cruise.save()
    frame, state = cruise.frame(), cruise.state()
    cruise.key("PUSH")
    cruise.rpm(2400)
    cruise.hold(3)
    assert cruise.frame() != frame
    cruise.restore(saved)
    assert cruise.frame() == frame
    restored = cruise.state()
    assert restored["readings"] == state["readings"] and restored["screen"] == state["screen"]
    cruise.hold(1)  # and it runs on from there as it would have
    assert cruise.state()["readings"]["rpm"]["value"] == 5000


def test_two_instruments_keep_their_own_records(cruise):
    other = omnira.Instrument()
    assert not other.on and other.lamp == "bright"
    other.power_on()
    other.hold(1)
    assert cruise.state()["readings"]["rpm"]["value"] == 5000
    assert other.state()["readings"]["rpm"]["value"] == 0


def test_profile_in_force_at_power_on():
    source = os.environ["OMNIRA_SOURCE"]
    inst = omnira.Instrument(profile=os.path.join(source, "profiles", "turbocharged_c.txt"))
    assert inst.profile_title == "Turbocharged six-cylinder, oil in C"
    assert inst.state()["settings"]["map_high_alarm"] != "39.0 inHg"  # not before power-on
    inst.power_on()
    inst.hold(0.5)
    settings = inst.state()["settings"]
    assert (settings["map_high_alarm"], settings["map_low_alarm_on"]) == ("39.0 inHg", "OFF")
    bad = os.path.join(WORK, "bad_profile.txt")
    with open(bad, "w") as f:
        f.write("set nothing 3\n")
    with pytest.raises(ValueError, match="no profile this reads"):
        omnira.Instrument(profile=bad)
    with pytest.raises(ValueError, match="cannot open"):
        omnira.Instrument(profile=os.path.join(WORK, "missing.txt"))


@pytest.mark.parametrize("call, message", [
    (lambda i: i.key("ENTER"), "no key is named ENTER"),
    (lambda i: i.slider("oil", 3), "no slider is named oil"),
    (lambda i: i.rpm(200000), "rpm"),
    (lambda i: i.passes(1), "the instrument is off"),
    (lambda i: i.advance(-1), "never negative"),
])
def test_refusals(call, message):
    with pytest.raises(ValueError, match=message):
        call(omnira.Instrument())
