#!/usr/bin/env python3
"""The manifest inside the built Orbimotion.scr (its RT_MANIFEST resource) against the documented manifest schema:
every element under its documented parent, none twice, the process declared system dpi aware.

Usage: check_manifest.py path/to/Orbimotion.scr      exit status 0 = all passed
"""

import os
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_resources  # noqa: E402

V1 = "urn:schemas-microsoft-com:asm.v1"
V3 = "urn:schemas-microsoft-com:asm.v3"
COMPAT = "urn:schemas-microsoft-com:compatibility.v1"
WS2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
WS2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"


def q(ns, name):
    return "{%s}%s" % (ns, name)


# Element -> the parents the schema allows it under (the root has none).
PARENTS = {
    q(V1, "assembly"): set(),
    q(V1, "assemblyIdentity"): {q(V1, "assembly"), q(V1, "dependentAssembly")},
    q(V1, "description"): {q(V1, "assembly")},
    q(V1, "dependency"): {q(V1, "assembly")},
    q(V1, "dependentAssembly"): {q(V1, "dependency")},
    q(V1, "file"): {q(V1, "assembly")},
    q(V3, "trustInfo"): {q(V1, "assembly")},
    q(V3, "security"): {q(V3, "trustInfo")},
    q(V3, "requestedPrivileges"): {q(V3, "security")},
    q(V3, "requestedExecutionLevel"): {q(V3, "requestedPrivileges")},
    q(COMPAT, "compatibility"): {q(V1, "assembly")},
    q(COMPAT, "application"): {q(COMPAT, "compatibility")},
    q(COMPAT, "supportedOS"): {q(COMPAT, "application")},
    q(V3, "application"): {q(V1, "assembly")},
    q(V3, "windowsSettings"): {q(V3, "application")},
    q(WS2005, "dpiAware"): {q(V3, "windowsSettings")},
    q(WS2016, "dpiAwareness"): {q(V3, "windowsSettings")},
}
# The one element that may stand beside itself, once per system it names.
REPEATABLE = {q(COMPAT, "supportedOS"), q(V1, "dependency"), q(V1, "file")}
SYSTEMS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10 and 11",
}


PREFIXES = {V1: "", V3: "v3:", COMPAT: "compat:", WS2005: "ws2005:", WS2016: "ws2016:"}


def short(tag):
    ns, _, name = tag[1:].partition("}")
    return PREFIXES.get(ns, "{%s}" % ns) + name


def faults(xml_bytes):
    root = ET.fromstring(xml_bytes)
    found = []
    if root.tag != q(V1, "assembly") or root.get("manifestVersion") != "1.0":
        found.append("root is %s, not assembly with manifestVersion 1.0" % short(root.tag))

    def walk(node, path):
        seen = set()
        for child in node:
            where = "%s/%s" % (path, short(child.tag))
            allowed = PARENTS.get(child.tag)
            if allowed is None:
                found.append("%s: not an element of the schema" % where)
            elif node.tag not in allowed:
                found.append("%s: belongs under %s" % (where, " or ".join(sorted(short(a) for a in allowed))))
            key = child.tag if child.tag not in REPEATABLE else (child.tag, tuple(sorted(child.items())))
            if key in seen:
                found.append("%s: appears twice" % where)
            seen.add(key)
            walk(child, where)

    walk(root, short(root.tag))
    for os_entry in root.iter(q(COMPAT, "supportedOS")):
        if os_entry.get("Id", "").lower() not in SYSTEMS:
            found.append("supportedOS %s names no Windows version" % os_entry.get("Id"))
    for app in root.findall(q(COMPAT, "compatibility") + "/" + q(COMPAT, "application")):
        others = [short(c.tag) for c in app if c.tag != q(COMPAT, "supportedOS")]
        if others:
            found.append("compatibility holds more than supportedOS: %s" % others)
    aware = root.findall("/".join([q(V3, "application"), q(V3, "windowsSettings"), q(WS2005, "dpiAware")]))
    if [a.text.strip().lower() for a in aware] != ["true"]:
        found.append("no single dpiAware true (system awareness) under application/windowsSettings")
    return found


def main(argv):
    with open(argv[1], "rb") as f:
        data = f.read()
    manifest = pe_resources.first(data, pe_resources.RT_MANIFEST)
    if manifest is None:
        print("FAIL %s holds no manifest resource" % argv[1])
        return 1
    found = faults(manifest)
    for fault in found:
        print("FAIL " + fault)
    print("manifest of %s: %d fault(s)" % (os.path.basename(argv[1]), len(found)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
