#!/usr/bin/python3
"""The zt-devices program: help, argument errors, listing scanners from a hive, checking a hive.

Usage: zt_devices_cli_test.py ZT_DEVICES FIXTURE_DIR
"""

import os
import subprocess
import sys
import tempfile


def main():
    program, fixtures = sys.argv[1:3]
    failures = []

    with tempfile.TemporaryDirectory(prefix='zt-cli-') as folder:
        # No bound tty and no bus: only the hive counts.
        environment = dict(os.environ, ZT_RFCOMM_SYSFS=folder, ZT_DBUS_ADDRESS='unix:path=/nonexistent/zt')

        def run(*args):
            return subprocess.run([program, *args], env=environment, capture_output=True, text=True, timeout=30)

        def expect(what, condition, result):
            if not condition:
                failures.append('%s: exit %d, stdout %r, stderr %r' % (what, result.returncode, result.stdout,
                                                                       result.stderr))

        result = run('--help')
        expect('--help', result.returncode == 0 and result.stdout.startswith('Usage: zt-devices'), result)
        for bad in (['--frobnicate'], ['--registry']):
            result = run(*bad)
            expect(' '.join(bad), result.returncode == 2 and 'Usage' in result.stderr, result)

        scanners = os.path.join(fixtures, 'platform_scanners.reg')
        result = run('--registry', scanners)
        expect('listing', result.returncode == 0 and
               result.stdout == '7\tZT-550 00006\n12\tZT-550 00005\n8\tZT-550 00001\n', result)

        result = run('--check', '--registry', scanners)
        expect('check of a sound hive', result.returncode == 0 and result.stdout == '', result)

        malformed = os.path.join(fixtures, 'malformed.reg')
        result = run('--registry', malformed, '--check')
        reported = [line.split(':')[1] for line in result.stdout.splitlines()]
        expect('check of a malformed hive', result.returncode == 1 and reported == ['3', '8'] and
               result.stdout.startswith(malformed + ':3: '), result)
        result = run('--registry', malformed)
        expect('listing past malformed lines', result.stdout == '6\tZT-550 00002\n', result)

        # Names come from other devices: control characters must not reach the terminal.
        hostile = os.path.join(folder, 'hostile.reg')
        with open(hostile, 'wb') as hive:
            hive.write(b'REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\WIDCOMM\\BTConfig\\AutoConnect\\2]\n'
                       b'"BDName"=hex:5a,54,2d,35,35,30,1b,5b,32,4a,07,00\n')
        result = run('--registry', hostile)
        expect('control characters', result.stdout == '2\tZT-550?[2J?\n', result)

    for failure in failures:
        print('FAILED: ' + failure, file=sys.stderr)
    print('%d passed, %d failed' % (0 if failures else 1, 1 if failures else 0))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
