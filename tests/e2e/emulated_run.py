"""Starting a program under test, through the emulator (Wine) when the build has one.

Shared by the end-to-end drivers. A machine whose kernel cannot execute 32-bit programs cannot
run a 32-bit build's programs at all; the emulator then exits with NOT_RUN, which the drivers pass
on and ctest counts as a skipped test.
"""

import subprocess
import sys

NOT_RUN = 77


def run(command, emulator="", **options):
    """Runs command (through emulator, if given) with its output captured, as subprocess.run
    with the options given. When the emulator cannot start the program on this machine, prints
    why and exits with NOT_RUN."""
    done = subprocess.run(([emulator] if emulator else []) + command, capture_output=True,
                          **options)
    if emulator and done.returncode == NOT_RUN:
        errors = done.stderr if isinstance(done.stderr, str) else done.stderr.decode("utf-8",
                                                                                    "replace")
        print(errors.strip() or "not run on this machine")
        sys.exit(NOT_RUN)
    return done
