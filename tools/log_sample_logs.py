#!/usr/bin/env python3
"""Writes the generated sample logs of samples/logs/ that show the forms
common exports take (no real aircraft's): a short flight of engine start,
run-up, take-off, climb and cruise, in each form. Deterministic: run it, then
tools/log_samples.sh for their scenarios and goldens."""
import math
import os

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "samples", "logs")


def flight(seconds, step):
    """(t, rpm, map inHg, oil C, cht C) every `step` seconds."""
    rows = []
    for t in range(0, seconds + 1, step):
        f = t / seconds
        if f < 0.1:
            rpm, mp = 1000 + 20 * math.sin(t), 13.0
        elif f < 0.2:
            rpm, mp = 1800, 18.5
        elif f < 0.35:
            rpm, mp = 2650, 28.4
        else:
            rpm, mp = 2400 + 10 * math.sin(t / 7), 24.0 + 0.2 * math.sin(t / 11)
        oil = 40 + 45 * (1 - math.exp(-3 * f))
        cht = 90 + 90 * (1 - math.exp(-4 * f))
        rows.append((t, rpm, mp, oil, cht))
    return rows


def f_of(c):
    return c * 9 / 5 + 32


def write(name, text, encoding="utf-8"):
    data = text.encode(encoding)
    if encoding == "utf-16-le":
        data = b"\xff\xfe" + data
    if encoding == "utf-16-be":
        data = b"\xfe\xff" + data
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(data)


def main():
    rows = flight(150, 1)
    # Semicolons with decimal commas and a units row.
    lines = ["Time;RPM;MAP;Oil Temp", "s;rpm;inHg;C"]
    for t, rpm, mp, oil, _ in rows:
        lines.append(f"{t};{rpm:.0f};{mp:.1f};{oil:.1f}".replace(".", ","))
    write("semicolons.csv", "\r\n".join(lines) + "\r\n")

    # Tabs, seconds in time_s, oil in oil_c.
    lines = ["time_s\trpm\tmap_inhg\toil_c"]
    for t, rpm, mp, oil, _ in rows:
        lines.append(f"{t}\t{rpm:.0f}\t{mp:.2f}\t{oil:.1f}")
    write("tabs.csv", "\n".join(lines) + "\n")

    # UTF-16 both byte orders: a twin's RPM L and RPM R, OIL in F.
    lines = ["Session Time,RPM L,RPM R,MAP,OIL", "sec,rpm,rpm,\"Hg,F"]
    for t, rpm, mp, oil, _ in rows:
        lines.append(f"{t},{rpm:.0f},{rpm - 15:.0f},{mp:.1f},{f_of(oil):.0f}")
    write("utf16_le.csv", "\r\n".join(lines) + "\r\n", "utf-16-le")
    write("utf16_be.csv", "\r\n".join(lines) + "\r\n", "utf-16-be")

    # A logger writing a row every 6 seconds: twenty minutes of ramps.
    lines = ["time,rpm,map,oil_temp", "s,rpm,inHg,C"]
    for t, rpm, mp, oil, _ in flight(1200, 6):
        lines.append(f"{t},{rpm:.0f},{mp:.1f},{oil:.1f}")
    write("six_second.csv", "\n".join(lines) + "\n")

    # The last row cut short by the power going off.
    lines = ["time,rpm,map_inhg,oil_temp_f,egt"]
    for t, rpm, mp, oil, _ in rows:
        lines.append(f"{t},{rpm:.0f},{mp:.1f},{f_of(oil):.1f},{1200 + rpm / 10:.0f}")
    write("cut_last_row.csv", "\n".join(lines) + f"\n151,0,29.5,15")

    # An engine monitor's names with E1 prefixes, CHTs and EGTs beside the oil.
    lines = ["Date,Time,E1 RPM,E1 MAP,E1 OilT,E1 OilP,E1 CHT1,E1 CHT2,E1 EGT1,E1 EGT2",
             ",,rpm,inHg,F,psi,F,F,F,F"]
    for t, rpm, mp, oil, cht in rows:
        clock = f"14:{20 + t // 60:02d}:{t % 60:02d}"
        lines.append(f"2026/07/02,{clock},{rpm:.0f},{mp:.1f},{f_of(oil):.0f},{60 + rpm / 100:.0f},"
                     f"{f_of(cht):.0f},{f_of(cht) - 6:.0f},{1250 + rpm / 20:.0f},"
                     f"{1240 + rpm / 20:.0f}")
    write("engine_monitor.csv", "\n".join(lines) + "\n")

    # Oil temperatures in F, a tenth at a time through 150 to 200 F.
    lines = ["time,rpm,map_inhg,oil_temp_f"]
    for k in range(501):
        lines.append(f"{k},{2300 + k % 3 * 10},{23.5 + k % 2 / 10:.1f},{150 + k / 10:.1f}")
    write("oil_f.csv", "\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
