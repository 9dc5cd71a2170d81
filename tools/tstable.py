#!/usr/bin/env python3
"""Adds or replaces entries of one context in the three translation sources.

    tools/tstable.py CONTEXT KEY EN ZH_CN ZH_HK

An empty text ("") means "no entry" in that table: the key then shows unchanged.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

TS_DIR = Path(__file__).resolve().parent.parent / "src" / "resources" / "ts"
LANGS = {"en_US": 3, "zh_CN": 4, "zh_HK": 5}


def load(lang):
    path = TS_DIR / f"translate_{lang}.ts"
    if path.exists():
        return path, ET.parse(path)
    root = ET.Element("TS", version="2.1", language=lang)
    return path, ET.ElementTree(root)


def set_entry(tree, context, key, text):
    root = tree.getroot()
    ctx = next((c for c in root.findall("context") if c.findtext("name") == context), None)
    if ctx is None:
        if not text:
            return
        ctx = ET.SubElement(root, "context")
        ET.SubElement(ctx, "name").text = context
    msg = next((m for m in ctx.findall("message") if m.findtext("source") == key), None)
    if not text:
        if msg is not None:
            ctx.remove(msg)
        return
    if msg is None:
        msg = ET.SubElement(ctx, "message")
        ET.SubElement(msg, "source").text = key
        ET.SubElement(msg, "translation")
    msg.find("translation").text = text


def main(argv):
    if len(argv) != 6:
        sys.exit(__doc__)
    context, key = argv[1], argv[2]
    for lang, index in LANGS.items():
        path, tree = load(lang)
        set_entry(tree, context, key, argv[index])
        ET.indent(tree, space="    ")
        with open(path, "wb") as out:
            out.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
            tree.write(out, encoding="utf-8", xml_declaration=False)
            out.write(b"\n")


if __name__ == "__main__":
    main(sys.argv)
