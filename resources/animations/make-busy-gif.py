#!/usr/bin/env python3
"""Draws the busy notice's animation: 12 frames of 32 x 32 pixels, 100 ms each, looping.

Twelve dots on a circle; the leading dot is the darkest and the eleven behind it fade towards
the white background. Needs ImageMagick's convert. Run from this folder: ./make-busy-gif.py
"""
import math
import subprocess

SIZE, FRAMES, RADIUS, DOT = 32, 12, 11.0, 2.6
LEAD = (16, 132, 208)


def shade(step):
    # step 0 is the leading dot; later dots mix further towards white
    t = step / FRAMES
    return tuple(round(c + (255 - c) * t) for c in LEAD)


args = ["convert", "-delay", "10", "-loop", "0", "-dispose", "background"]
for frame in range(FRAMES):
    draw = []
    for dot in range(FRAMES):
        angle = 2 * math.pi * dot / FRAMES - math.pi / 2
        x = SIZE / 2 + RADIUS * math.cos(angle) - 0.5
        y = SIZE / 2 + RADIUS * math.sin(angle) - 0.5
        r, g, b = shade((frame - dot) % FRAMES)
        draw += ["-fill", f"rgb({r},{g},{b})", "-draw", f"circle {x:.2f},{y:.2f} {x + DOT:.2f},{y:.2f}"]
    args += ["(", "-size", f"{SIZE}x{SIZE}", "xc:white"] + draw + [")"]
args += ["-layers", "Optimize", "busy.gif"]
subprocess.run(args, check=True)
