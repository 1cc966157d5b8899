#!/usr/bin/env python3
"""Fails when a program's --help names an option that its manual page does not mention.

Usage: check-options.py [--subcommands] PAGE PROGRAM [ARGUMENT...]

Runs PROGRAM ARGUMENT... --help and collects every long option (--name) in its output. With
--subcommands, the help's "commands:" section lists subcommands, and "PROGRAM COMMAND --help" of
each is read too. Every option found must appear in PAGE (the page's scdoc source) as a whole word.
"""
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])--[A-Za-z][A-Za-z0-9-]*")


def help_text(command):
    result = subprocess.run(command + ["--help"], capture_output=True, text=True, timeout=30)
    if result.returncode != 0 or not result.stdout.strip():
        sys.exit(f"{' '.join(command)} --help failed (status {result.returncode}):\n{result.stderr}")
    return result.stdout


def subcommands(text):
    """The names listed under a line "commands:", two spaces in, up to the next blank line."""
    names, inside = [], False
    for line in text.splitlines():
        if line.strip().lower() == "commands:":
            inside = True
        elif inside and not line.strip():
            break
        elif inside:
            match = re.match(r"  ([a-z][a-z0-9-]*)\s", line)
            if match:
                names.append(match.group(1))
    return names


def main(argv):
    nested = argv[:1] == ["--subcommands"]
    if nested:
        argv = argv[1:]
    if len(argv) < 2:
        sys.exit(__doc__)
    page, program = argv[0], argv[1:]
    with open(page, encoding="utf-8") as f:
        source = f.read()

    texts = {"--help": help_text(program)}
    if nested:
        commands = subcommands(texts["--help"])
        if not commands:
            sys.exit("no 'commands:' section in the --help output")
        for command in commands:
            texts[f"{command} --help"] = help_text(program + [command])

    missing = []
    for where, text in texts.items():
        for option in sorted(set(OPTION.findall(text))):
            if not re.search(r"(?<![\w-])" + re.escape(option) + r"(?![\w-])", source):
                missing.append(f"  {option} (named by '{where}')")
    if missing:
        print(f"{page} lacks options that the program's help names:")
        print("\n".join(missing))
        return 1
    count = sum(len(set(OPTION.findall(t))) for t in texts.values())
    print(f"{page}: all {count} options of {len(texts)} help texts are in the page")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
