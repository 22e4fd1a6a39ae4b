#!/usr/bin/env python3
"""The real program's processor time per frame as its record fills, seen from outside.

Two copies of the program run, each under its own Xvfb and on its own pseudo-terminal. Copy A stays
near the start of its record; copy B is fed as fast as it reads up to each fill. Then both get one
frame per read, 100 a second, in alternating windows while the processor time of each process (all
threads) is read from /proc, so that both see the same load on the machine. Prints, per fill, the
lowest and the median time per frame of each copy and B's against A's.

Usage: flat-check.py PROGRAM SIMULATOR [--log]   (--log opens the charge log in both; needs xdotool)
"""
import glob
import os
import subprocess
import sys
import tempfile
import time
import tty

FRAME = 32
FILLS = [int(x) for x in os.environ.get('FILLS', '250000,500000,1000000,1990000').split(',')]
WINDOWS = int(os.environ.get('WINDOWS', '10'))
PER_WINDOW = int(os.environ.get('PER_WINDOW', '300'))


def make_frames(simulator, folder):
    # A slow charge over the whole store whose values stay inside the live view's bars.
    samples = 2_000_000
    curve = os.path.join(folder, 'curve.txt')
    with open(curve, 'w') as out:
        for k in range(1, samples + 1):
            out.write(f'{k},{12000 + k * 1500 // samples + k % 7},{1500 - k % 3},{k * 2900 // samples}\r\n')
    frames = os.path.join(folder, 'frames.bin')
    open(frames, 'w').close()
    subprocess.run([simulator, '--replay', curve, '--device', frames, '--speed', '1e9'], check=True,
                   stderr=subprocess.DEVNULL)
    with open(frames, 'rb') as f:
        return f.read()


class Copy:
    def __init__(self, name, program, folder):
        self.name = name
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0', '1280x800x24',
                                      '-nolisten', 'tcp'], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        self.display = ':' + os.read(read, 16).decode().strip()
        os.close(read)
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        data = os.path.join(folder, name)
        env = dict(os.environ, DISPLAY=self.display, LADOMAT_COM1=os.ttyname(self.slave), XDG_DATA_HOME=data)
        env.pop('QT_QPA_PLATFORM', None)
        self.program = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.sent = 0

    def xdotool(self, *args):
        subprocess.run(['xdotool', *args], env=dict(os.environ, DISPLAY=self.display), check=True)

    def cpu_ns(self):
        total = 0
        for task in glob.glob(f'/proc/{self.program.pid}/task/*/schedstat'):
            try:
                with open(task) as f:
                    total += int(f.read().split()[0])
            except OSError:
                pass  # a thread that ended meanwhile
        return total

    def send(self, frames, count):
        os.write(self.master, frames[self.sent * FRAME:(self.sent + count) * FRAME])
        self.sent += count

    def window(self, frames):
        # Milliseconds of processor time per frame, one frame per read.
        before, start = self.cpu_ns(), time.monotonic()
        for k in range(PER_WINDOW):
            self.send(frames, 1)
            time.sleep(max(0.0, start + (k + 1) / 100 - time.monotonic()))
        time.sleep(0.05)
        return (self.cpu_ns() - before) / 1e6 / PER_WINDOW

    def close(self):
        for process in (self.program, self.xvfb):
            process.terminate()
            process.wait()


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    program, simulator, log = sys.argv[1], sys.argv[2], '--log' in sys.argv[3:]
    with tempfile.TemporaryDirectory() as folder:
        frames = make_frames(simulator, folder)
        copies = [Copy('A', program, folder), Copy('B', program, folder)]
        a, b = copies
        try:
            time.sleep(4)
            if log:
                for copy in copies:  # the "Fenster" menu, then its "Protokoll" item
                    copy.xdotool('mousemove', '148', '8', 'click', '1')
                    time.sleep(1)
                    copy.xdotool('mousemove', '180', '74', 'click', '1')
                    time.sleep(1)
            a.send(frames, 1005)  # five ready frames, then the record
            print(f'charge log {"shown" if log else "hidden"}; ms of processor time per frame, '
                  f'lowest and median of {WINDOWS} windows of {PER_WINDOW} frames', flush=True)
            for fill in FILLS:
                last = time.monotonic()
                while b.sent < fill + 5:
                    b.send(frames, min(256, fill + 5 - b.sent))
                    if time.monotonic() - last >= 1:  # A's link stays alive meanwhile
                        a.send(frames, 1)
                        last = time.monotonic()
                time.sleep(2)
                times = {a: [], b: []}
                for _ in range(WINDOWS):
                    for copy in copies:
                        times[copy].append(copy.window(frames))
                low = {c: min(t) for c, t in times.items()}
                mid = {c: sorted(t)[WINDOWS // 2] for c, t in times.items()}
                print(f'A at {a.sent - 5:>7} samples: {low[a]:.3f} (median {mid[a]:.3f}) | '
                      f'B at {b.sent - 5:>7}: {low[b]:.3f} (median {mid[b]:.3f}) | '
                      f'B/A {low[b] / low[a]:.2f}x (median {mid[b] / mid[a]:.2f}x)', flush=True)
        finally:
            for copy in copies:
                copy.close()


main()
