#!/usr/bin/python3
"""A process's CPU time, and the moment it went idle, read from outside.

    cpu_idle.py PID IDLE POLL

Prints the monotonic time of the last CPU use of PID before it stayed idle
for IDLE seconds (/proc/PID/stat, looked at every POLL seconds), and its
CPU seconds by then. time.monotonic is the system's CLOCK_MONOTONIC, the
same in every process, so the caller can compare the time with its own.
Imports nothing but the standard library: it starts fast and stays small.
"""

import os
import sys
import time

TICK = os.sysconf("SC_CLK_TCK")


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def wait_idle(pid, idle, poll):
    last = cpu_ticks(pid)
    last_change = time.monotonic()
    while True:
        time.sleep(poll)
        now_ticks = cpu_ticks(pid)
        now = time.monotonic()
        if now_ticks != last:
            last, last_change = now_ticks, now
        elif now - last_change >= idle:
            return last_change, last / TICK


if __name__ == "__main__":
    print("%r %r" % wait_idle(int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3])))
