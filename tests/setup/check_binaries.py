#!/usr/bin/python3
"""Checks the shipped flavour's Veilkeeper.exe and Onecopy.dll as files, without
running them: where only x86_64 runs under Wine, this is what checks the i686
build. Prints one line per check and exits 1 when any fails.

Usage: check_binaries.py EXE DLL VERSION RES_DIR
  VERSION  the project version (1.0.0.1); RES_DIR  res/ of the sources
"""
import re
import sys
from pathlib import Path

import pefile

MACHINE_I386 = 0x14C
PE32 = 0x10B
SUBSYSTEM_GUI = 2
CHINESE_PRC = 0x0804
UNICODE_CODEPAGE = 1200
RT = pefile.RESOURCE_TYPE

# What Windows itself provides: anything else (the MinGW runtime's
# libstdc++, libgcc or libwinpthread above all) would have to travel with
# the program.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "advapi32.dll", "shell32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll", "version.dll", "uxtheme.dll",
}


def read_ids(res_dir):
    """The identifiers of res/resource.h, by name."""
    text = (res_dir / "resource.h").read_text(encoding="utf-8")
    found = re.findall(r"#define\s+(ID\w+)\s+(0x[0-9A-Fa-f]+|\d+)\b", text)
    return {name: int(value, 0) for name, value in found}


def read_strings(res_dir):
    """The string table of res/veilkeeper.rc, by identifier name."""
    text = (res_dir / "veilkeeper.rc").read_text(encoding="utf-8")
    table = re.search(r"^STRINGTABLE\s*\nBEGIN\n(.*?)^END", text, re.S | re.M)
    return dict(re.findall(r'^\s*(IDS_\w+)\s+"(.*)"\s*$', table.group(1), re.M)) if table else {}


def resources(pe):
    """{(type, id): [(language, bytes)]} of every resource in the file."""
    found = {}
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        for entry in kind.directory.entries:
            for language in entry.directory.entries:
                data = language.data.struct
                found.setdefault((kind.id, entry.id), []).append(
                    (language.id, pe.get_data(data.OffsetToData, data.Size)))
    return found


def pe32_i386(pe, _):
    faults = []
    machine = pe.FILE_HEADER.Machine
    if machine != MACHINE_I386:
        faults.append(f"machine is {pefile.MACHINE_TYPE.get(machine, hex(machine))}, not i386")
    if pe.OPTIONAL_HEADER.Magic != PE32:
        faults.append(f"optional header magic {pe.OPTIONAL_HEADER.Magic:#x}, not PE32")
    return faults


def gui_subsystem(pe, _):
    subsystem = pe.OPTIONAL_HEADER.Subsystem
    return [] if subsystem == SUBSYSTEM_GUI else [f"subsystem {pefile.SUBSYSTEM_TYPE.get(subsystem, subsystem)}"]


def a_dll(pe, _):
    return [] if pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_DLL"] else ["not a DLL"]


def system_imports_only(pe, _):
    imports = getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) + getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])
    names = sorted({entry.dll.decode() for entry in imports})
    if not names:
        return ["no imports read"]
    return [f"imports {name}" for name in names if name.lower() not in SYSTEM_DLLS]


def exports_get_count(pe, _):
    # Veilkeeper asks for "GetCount" by that name: a decorated export
    # (GetCount@0, _GetCount@0) is a library it cannot use.
    directory = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    exported = [symbol.name.decode() for symbol in directory.symbols if symbol.name] if directory else []
    return [] if "GetCount" in exported else [f"does not export GetCount (exports: {exported})"]


def version_block(pe, source):
    expected = tuple(int(part) for part in source.version.split("."))
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        return ["no version block"]
    fixed = pe.VS_FIXEDFILEINFO[0]
    faults = []
    for what, ms, ls in (("file", fixed.FileVersionMS, fixed.FileVersionLS),
                         ("product", fixed.ProductVersionMS, fixed.ProductVersionLS)):
        found = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        if found != expected:
            faults.append(f"{what} version {found}, expected {expected}")
    tables = {}
    translations = []
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            tables[table.LangID.decode()] = {k.decode(): v.decode("utf-8") for k, v in table.entries.items()}
        for var in getattr(info, "Var", []):
            translations += var.entry.get(b"Translation", "").split()
    if translations != [f"{CHINESE_PRC:#06x}", f"{UNICODE_CODEPAGE:#06x}"]:
        faults.append(f"translation {translations}, expected Chinese (PRC) in Unicode")
    strings = tables.get(f"{CHINESE_PRC:04x}{UNICODE_CODEPAGE:04x}", {})
    for key in ("FileVersion", "ProductVersion"):
        if strings.get(key) != source.version:
            faults.append(f"{key} text {strings.get(key)!r}, expected {source.version!r}")
    return faults


def program_resources(pe, source):
    found = resources(pe)
    ids = source.ids
    faults = []
    wanted = [(RT["RT_DIALOG"], ids[name], name)
              for name in ("IDD_ABOUTBOX", "IDD_MAIN_DIALOG", "IDD_HOTKEY_DIALOG")]
    wanted += [(RT["RT_GROUP_ICON"], ids["IDR_MAINFRAME"], "IDR_MAINFRAME"),
               (RT["RT_GROUP_CURSOR"], ids["IDC_FINDER_CURSOR"], "IDC_FINDER_CURSOR"),
               (RT["RT_MENU"], ids["IDR_COMMAND_MENU"], "IDR_COMMAND_MENU"),
               (RT["RT_MANIFEST"], 1, "manifest")]
    for kind, number, name in wanted:
        if (kind, number) not in found:
            faults.append(f"no {name} ({RT.get(kind)} {number})")
    for (kind, number), languages in found.items():
        if [language for language, _ in languages] != [CHINESE_PRC] and kind != RT["RT_VERSION"]:
            faults.append(f"{RT.get(kind)} {number} in languages {[hex(language) for language, _ in languages]}")

    # A group names its images by id: each must be there.
    for group, member in ((RT["RT_GROUP_ICON"], RT["RT_ICON"]), (RT["RT_GROUP_CURSOR"], RT["RT_CURSOR"])):
        for (kind, number), languages in found.items():
            if kind != group:
                continue
            data = languages[0][1]
            count = int.from_bytes(data[4:6], "little")
            for index in range(count):
                image = int.from_bytes(data[6 + 14 * index + 12:6 + 14 * index + 14], "little")
                if (member, image) not in found:
                    faults.append(f"{RT.get(group)} {number} names {RT.get(member)} {image}, which is missing")

    # The strings as the resource script has them: a lost code page turns the
    # Chinese texts into something else.
    for name, text in source.strings.items():
        block = found.get((RT["RT_STRING"], (ids[name] >> 4) + 1))
        if not block:
            faults.append(f"no string table block for {name}")
            continue
        data = block[0][1]
        offset = 0
        for _ in range(ids[name] & 15):
            offset += 2 + 2 * int.from_bytes(data[offset:offset + 2], "little")
        length = int.from_bytes(data[offset:offset + 2], "little")
        stored = data[offset + 2:offset + 2 + 2 * length].decode("utf-16-le")
        if stored != text:
            faults.append(f"string {name} is {stored!r}, expected {text!r}")
    if not source.strings:
        faults.append("no strings found in the resource script")

    manifest = found.get((RT["RT_MANIFEST"], 1))
    if manifest and manifest[0][1] != (source.res_dir / "veilkeeper.manifest").read_bytes():
        faults.append("the manifest differs from res/veilkeeper.manifest")
    return faults


# Which file, what it must be, and the check.
CHECKS = [
    ("exe", "PE32 for i386", pe32_i386),
    ("exe", "GUI subsystem", gui_subsystem),
    ("exe", "imports system DLLs only", system_imports_only),
    ("exe", "version block", version_block),
    ("exe", "resources", program_resources),
    ("dll", "PE32 for i386", pe32_i386),
    ("dll", "a DLL", a_dll),
    ("dll", "imports system DLLs only", system_imports_only),
    ("dll", "exports the undecorated GetCount", exports_get_count),
]


class Source:
    def __init__(self, version, res_dir):
        self.version = version
        self.res_dir = Path(res_dir)
        self.ids = read_ids(self.res_dir)
        self.strings = read_strings(self.res_dir)


def main(argv):
    if len(argv) != 5:
        sys.exit(__doc__)
    files = {"exe": Path(argv[1]), "dll": Path(argv[2])}
    source = Source(argv[3], argv[4])
    images = {}
    failed = 0
    for key, path in files.items():
        try:
            images[key] = pefile.PE(str(path))
        except (OSError, pefile.PEFormatError) as error:
            print(f"FAIL  {path}: cannot be read as a PE file: {error}")
            failed += 1
    for key, what, check in CHECKS:
        if key not in images:
            continue
        faults = check(images[key], source)
        because = f": {'; '.join(faults)}" if faults else ""
        print(f"{'FAIL' if faults else 'ok':4}  {files[key].name}: {what}{because}")
        failed += bool(faults)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
