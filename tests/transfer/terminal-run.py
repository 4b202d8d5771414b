#!/usr/bin/python3
# Runs a program on a terminal of its own and answers each prompt, once it has appeared, with the next argument
# after "--". Prints everything the terminal showed, and ends with the program's exit status.
#   terminal-run.py PROGRAM ARGUMENT... -- ANSWER...
import os
import pty
import sys

split = sys.argv.index("--")
command, answers = sys.argv[1:split], sys.argv[split + 1:]
pid, terminal = pty.fork()
if pid == 0:
    os.execv(command[0], command)
shown = b""
answered = 0
while True:
    try:
        chunk = os.read(terminal, 4096)
    except OSError:
        break
    if not chunk:
        break
    shown += chunk
    if answers and shown[answered:].endswith(b": "):
        os.write(terminal, answers.pop(0).encode() + b"\n")
        answered = len(shown)
sys.stdout.buffer.write(shown)
_, status = os.waitpid(pid, 0)
sys.exit(os.waitstatus_to_exitcode(status))
