#!/usr/bin/python3
"""Device search against BlueZ on a private D-Bus daemon (python3-dbusmock's bluez5 template).

Usage: bluez_mock_test.py ZT_DEVICES

The bus is passed to zt-devices in ZT_DBUS_ADDRESS; the RFCOMM bindings are a folder laid out like
/sys/class/tty, passed in ZT_RFCOMM_SYSFS. Every process started here is stopped and reaped before the
script ends, and the whole run has one deadline.
"""

import os
import select
import subprocess
import sys
import tempfile
import time

from gi.repository import Gio, GLib

DEADLINE_SECONDS = 60
SEARCH_LIMIT_SECONDS = 5  # the search's own D-Bus deadline is 1 s

SCANNER = '00:11:22:33:44:55'
UNPAIRED_SCANNER = '00:11:22:33:44:66'
HEADSET = '00:11:22:33:44:77'
UNBOUND_SCANNER = '00:11:22:33:44:88'

BUS_CONFIG = '''<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
'''


class Failure(Exception):
    pass


class Deadline:
    def __init__(self, seconds):
        self.end = time.monotonic() + seconds

    def left(self):
        if time.monotonic() >= self.end:
            raise Failure('deadline passed')
        return self.end - time.monotonic()


class Processes(list):
    """Started processes; on leaving, each is terminated (killed if need be) and reaped."""

    def start(self, argv, **options):
        self.append(subprocess.Popen(argv, **options))
        return self[-1]

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        for process in reversed(self):
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
            if process.stdout:
                process.stdout.close()


def read_address(daemon, deadline):
    """The address line that dbus-daemon prints once it listens."""
    received = b''
    while not received.endswith(b'\n'):
        ready, _, _ = select.select([daemon.stdout], [], [], deadline.left())
        if not ready:
            raise Failure('dbus-daemon printed no address')
        chunk = os.read(daemon.stdout.fileno(), 256)
        if not chunk:
            raise Failure('dbus-daemon ended: exit status %s' % daemon.wait())
        received += chunk
    return received.decode().strip()


def wait_for_name(connection, name, mock, deadline):
    """Runs a main loop until name has an owner; fails on the deadline or when the mock ends."""
    loop = GLib.MainLoop()
    owner = []

    def appeared(_connection, _name, name_owner):
        owner.append(name_owner)
        loop.quit()

    def check_mock():
        if mock.poll() is not None:
            loop.quit()
            return False
        return True

    watch = Gio.bus_watch_name_on_connection(connection, name, Gio.BusNameWatcherFlags.NONE, appeared, None)
    sources = [GLib.timeout_add(int(deadline.left() * 1000), loop.quit), GLib.timeout_add(200, check_mock)]
    loop.run()
    Gio.bus_unwatch_name(watch)
    for source in sources:
        if GLib.MainContext.default().find_source_by_id(source):
            GLib.source_remove(source)
    if not owner:
        raise Failure('mock BlueZ did not take its name (exit status %s)' % mock.poll())


def call_mock(connection, method, signature, args, deadline):
    connection.call_sync('org.bluez', '/', 'org.bluez.Mock', method, GLib.Variant(signature, args), None,
                         Gio.DBusCallFlags.NONE, int(deadline.left() * 1000), None)


def search(program, environment, deadline):
    """zt-devices' output lines, and how long the search took."""
    start = time.monotonic()
    result = subprocess.run([program], env=environment, capture_output=True, text=True,
                            timeout=min(deadline.left(), 30))
    took = time.monotonic() - start
    if result.returncode != 0:
        raise Failure('zt-devices failed (%d): %s' % (result.returncode, result.stderr))
    return result.stdout.splitlines(), took


def bind_ttys(sysfs):
    """rfcommN/address as the kernel writes it (lower case) for each bound tty."""
    for number, address in ((3, SCANNER), (4, UNPAIRED_SCANNER), (5, HEADSET)):
        folder = os.path.join(sysfs, 'rfcomm%d' % number)
        os.makedirs(folder)
        with open(os.path.join(folder, 'address'), 'w') as attribute:
            attribute.write(address.lower() + '\n')


def populate_bluez(connection, deadline):
    call_mock(connection, 'AddAdapter', '(ss)', ('hci0', 'test host'), deadline)
    devices = ((SCANNER, 'ZT-550 #1', True), (UNPAIRED_SCANNER, 'ZT-550 #2', False),
               (HEADSET, 'Headset HS-20', True), (UNBOUND_SCANNER, 'ZT-550 #3', True))
    for address, name, paired in devices:
        call_mock(connection, 'AddDevice', '(sss)', ('hci0', address, name), deadline)
        if paired:
            call_mock(connection, 'PairDevice', '(ssi)', ('hci0', address, 0), deadline)


def run(program, folder, deadline):
    sysfs = os.path.join(folder, 'sys')
    bind_ttys(sysfs)
    with open(os.path.join(folder, 'bus.conf'), 'w') as config:
        config.write(BUS_CONFIG.format(socket=os.path.join(folder, 'bus_socket')))
    with Processes() as processes:
        daemon = processes.start(['dbus-daemon', '--nofork', '--nopidfile', '--print-address=1',
                                  '--config-file=' + config.name], stdout=subprocess.PIPE)
        address = read_address(daemon, deadline)
        environment = dict(os.environ, ZT_DBUS_ADDRESS=address, ZT_RFCOMM_SYSFS=sysfs,
                           ZT_REGISTRY=os.path.join(folder, 'absent.reg'))

        lines, took = search(program, environment, deadline)
        if lines or took > SEARCH_LIMIT_SECONDS:
            raise Failure('without BlueZ: expected nothing within %d s, got %r after %.1f s'
                          % (SEARCH_LIMIT_SECONDS, lines, took))

        mock = processes.start([sys.executable, '-m', 'dbusmock', '--system', '--template', 'bluez5'],
                               env=dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=address), stdout=subprocess.DEVNULL)
        connection = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
            None, None)
        try:
            wait_for_name(connection, 'org.bluez', mock, deadline)
            populate_bluez(connection, deadline)
            lines, took = search(program, environment, deadline)
        finally:
            connection.close_sync(None)
        if lines != ['3\tZT-550 #1']:
            raise Failure('with BlueZ: expected the paired, bound scanner on port 3, got %r' % lines)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    deadline = Deadline(DEADLINE_SECONDS)
    try:
        with tempfile.TemporaryDirectory(prefix='zt-bluez-') as folder:
            run(sys.argv[1], folder, deadline)
    except (Failure, GLib.Error, OSError, subprocess.SubprocessError) as error:
        print('FAILED: %s' % error, file=sys.stderr)
        print('0 passed, 1 failed')
        return 1
    print('1 passed, 0 failed')
    return 0


if __name__ == '__main__':
    sys.exit(main())
