#!/usr/bin/env python3
"""Writes the sound and movie files of the demo game and of the media test games.

Everything is synthesised here (no recordings, no files from elsewhere):
  games/demo/music.mid          a short two-track tune (melody and bass) that loops
  games/demo/click.wav          a 60 ms blip for button clicks
  games/demo/movie.mpg          four seconds of a yellow square circling on blue,
                                MPEG-1, by the ffmpeg tool
  games/tests/sound_mix/tone.wav    a constant level (8192), 44100 Hz 16-bit mono,
                                    so the mix of it has values a test can predict
  games/tests/sound_mix/note.mid    one sustained organ note of four seconds
  games/tests/sound_mix/sine.ogg    one second of a 440 Hz sine as Ogg Vorbis (by the
                                    ffmpeg tool)
  games/tests/movie_play/movie.avi  two seconds of 16 x 16 uncompressed pictures at
                                    5 frames a second (first second: left half red,
                                    right half green; second second: blue) with a
                                    constant 8-bit sound (160, that is 8192 in 16 bits)
                                    at 8000 Hz; made by the ffmpeg tool from raw data

Run from the source root: python3 scripts/make-media.py
"""
import math
import os
import struct
import subprocess
import tempfile
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def write_wav(path, samples, rate=44100):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", s) for s in samples))


def var_len(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)


def track(events):
    """events: (absolute tick, bytes) in time order; adds the end of track."""
    data = b""
    now = 0
    for tick, msg in events:
        data += var_len(tick - now) + msg
        now = tick
    data += var_len(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + data


def midi_file(tracks, division=480):
    fmt = 0 if len(tracks) == 1 else 1
    return b"MThd" + struct.pack(">IHHH", 6, fmt, len(tracks), division) + b"".join(tracks)


def tempo(us_per_quarter):
    return b"\xff\x51\x03" + us_per_quarter.to_bytes(3, "big")


def notes(channel, program, volume, melody, step):
    """melody: note numbers (0 = rest), each `step` ticks long."""
    ev = [(0, bytes([0xC0 | channel, program])), (0, bytes([0xB0 | channel, 7, volume]))]
    t = 0
    for n in melody:
        if n:
            ev.append((t, bytes([0x90 | channel, n, 96])))
            ev.append((t + step - 20, bytes([0x80 | channel, n, 0])))
        t += step
    return ev


def demo_music():
    melody = [72, 76, 79, 76, 74, 77, 81, 77, 72, 76, 79, 84, 83, 79, 74, 0]
    bass = [48, 48, 53, 53, 48, 48, 55, 55]
    lead = [(0, tempo(500000))] + notes(0, 11, 100, melody, 240)      # vibraphone, eighths
    low = notes(1, 32, 90, bass, 480)                                   # acoustic bass, quarters
    return midi_file([track(lead), track(low)])


def demo_click():
    rate, n = 44100, 44100 * 60 // 1000
    return [int(12000 * math.exp(-i / 400.0) * math.sin(2 * math.pi * 1800 * i / rate)) for i in range(n)]


def test_note():
    # One organ note (it holds its level, unlike a piano) from 0 to 4 s at 120 beats a minute.
    ev = [(0, tempo(500000)), (0, b"\xc0\x10"), (0, b"\xb0\x07\x7f"), (0, b"\x90\x45\x70"), (3840, b"\x80\x45\x00")]
    return midi_file([track(ev)])


def test_movie(path):
    red, green, blue = b"\xff\x00\x00", b"\x00\xff\x00", b"\x00\x00\xff"
    first = (red * 8 + green * 8) * 16
    second = blue * 256
    with tempfile.TemporaryDirectory() as tmp:
        video, audio = os.path.join(tmp, "v.raw"), os.path.join(tmp, "a.raw")
        with open(video, "wb") as f:
            f.write(first * 5 + second * 5)
        with open(audio, "wb") as f:
            f.write(bytes([160]) * 16000)
        subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y",
                        "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", "16x16", "-r", "5", "-i", video,
                        "-f", "u8", "-ar", "8000", "-ac", "1", "-i", audio,
                        "-c:v", "rawvideo", "-pix_fmt", "bgr24", "-c:a", "pcm_u8", "-fflags", "+bitexact",
                        "-flags:v", "+bitexact", "-flags:a", "+bitexact", path], check=True)


def main():
    demo = os.path.join(ROOT, "games", "demo")
    test = os.path.join(ROOT, "games", "tests", "sound_mix")
    os.makedirs(test, exist_ok=True)
    with open(os.path.join(demo, "music.mid"), "wb") as f:
        f.write(demo_music())
    write_wav(os.path.join(demo, "click.wav"), demo_click())
    square = ("color=c=0x203060:size=128x96:rate=25,"
              "drawbox=x='52+40*sin(t*3)':y='36+24*cos(t*2)':w=24:h=24:color=0xffcc00:t=fill")
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", square, "-t", "4",
                    "-c:v", "mpeg1video", "-q:v", "5", "-fflags", "+bitexact", "-flags:v", "+bitexact",
                    os.path.join(demo, "movie.mpg")], check=True)
    write_wav(os.path.join(test, "tone.wav"), [8192] * 4410)
    with open(os.path.join(test, "note.mid"), "wb") as f:
        f.write(test_note())
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi",
                    "-i", "sine=frequency=440:sample_rate=44100:duration=1", "-c:a", "libvorbis", "-q:a", "1",
                    "-fflags", "+bitexact", "-flags:a", "+bitexact", os.path.join(test, "sine.ogg")], check=True)
    movies = os.path.join(ROOT, "games", "tests", "movie_play")
    os.makedirs(movies, exist_ok=True)
    test_movie(os.path.join(movies, "movie.avi"))


if __name__ == "__main__":
    main()
