#!/usr/bin/env python3
"""Runs Doxygen over the public headers and fails on any gap in their reference.

Usage: check-api-docs.py DOXYGEN DOXYFILE OUTPUT_DIR

Fails when Doxygen warns (an undocumented function, type or macro, a parameter or return value
without text, bad markup) or when its XML shows a public member or enum value with no description:
Doxygen does not warn about undocumented enum values, so those are looked up in the XML. Exits 77
(skipped) when Doxygen is not installed.
"""
import pathlib
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

SKIPPED = 77
CHECKED_KINDS = {"function", "define", "typedef", "enum", "variable"}


def described(element):
    text = ""
    for tag in ("briefdescription", "detaileddescription"):
        part = element.find(tag)
        if part is not None:
            text += "".join(part.itertext())
    return bool(text.strip())


def undocumented(xml_dir):
    """Public members, enum values and classes of the header pages that have no description."""
    gaps = []
    index = ET.parse(xml_dir / "index.xml").getroot()
    for compound in index.findall("compound"):
        if compound.get("kind") not in ("file", "class", "struct"):
            continue
        root = ET.parse(xml_dir / f"{compound.get('refid')}.xml").getroot()
        definition = root.find("compounddef")
        name = definition.findtext("compoundname")
        if not described(definition):
            gaps.append(f"{compound.get('kind')} {name}")
        for member in definition.iter("memberdef"):
            if member.get("prot", "public") != "public" or member.get("kind") not in CHECKED_KINDS:
                continue
            where = f"{name}: {member.get('kind')} {member.findtext('name')}"
            if not described(member):
                gaps.append(where)
            for value in member.findall("enumvalue"):
                if not described(value):
                    gaps.append(f"{name}: enum value {value.findtext('name')}")
    return gaps


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    doxygen, doxyfile, output = argv[0], pathlib.Path(argv[1]), pathlib.Path(argv[2])
    if not shutil.which(doxygen):
        print(f"SKIPPED: {doxygen} is not installed (package doxygen)")
        return SKIPPED
    if output.exists():
        shutil.rmtree(output)
    output.mkdir(parents=True)
    run = subprocess.run([doxygen, str(doxyfile)], capture_output=True, text=True)
    if run.returncode != 0:
        print(f"doxygen failed (status {run.returncode}):\n{run.stderr}")
        return 1
    log = output / "warnings.log"
    warnings = log.read_text(encoding="utf-8").strip() if log.exists() else ""
    gaps = undocumented(output / "xml")
    if warnings:
        print("Doxygen warns about the public headers:\n" + warnings)
    if gaps:
        print("Public declarations without documentation:\n  " + "\n  ".join(gaps))
    if warnings or gaps:
        return 1
    print("every public function, type, macro and enum value is documented")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
