#!/usr/bin/env python3
"""Checks the image of UPDATE.exe: PE32/i386 (or PE32+/x86-64) GUI program,
stripped, importing system DLLs only, with dialogs 100 and 101, the version
block and the manifest, all in Japanese.
Usage: check_image.py UPDATE.exe i686|x86_64"""
import struct
import sys

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "ole32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll", "gdi32.dll"}
failures = []

BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_RADIOBUTTON = 0, 1, 4
WS_CHILD, WS_VISIBLE, WS_TABSTOP, WS_GROUP, WS_VSCROLL, WS_BORDER = 0x40000000, 0x10000000, 0x10000, 0x20000, 0x200000, 0x800000
ES_MULTILINE, SS_LEFT = 4, 0
CV = WS_CHILD | WS_VISIBLE
# id, class, text, style, rectangle: the wizard's controls in tab order.
CONTROLS = {
    100: [(1, "Button", "次へ", CV | BS_DEFPUSHBUTTON | WS_TABSTOP, (261, 72, 44, 14)),
          (2, "Button", "中止", CV | BS_PUSHBUTTON | WS_TABSTOP, (313, 72, 44, 14)),
          (4, "Button", "戻る", CV | BS_PUSHBUTTON | WS_TABSTOP, (217, 72, 44, 14)),
          (1001, "Static", "Info", CV | SS_LEFT | WS_GROUP, (16, 16, 331, 29))],
    101: [(1, "Button", "次へ", CV | BS_DEFPUSHBUTTON | WS_TABSTOP, (258, 202, 44, 14)),
          (2, "Button", "中止", CV | BS_PUSHBUTTON | WS_TABSTOP, (311, 202, 44, 14)),
          (4, "Button", "戻る", CV | BS_PUSHBUTTON | WS_TABSTOP, (214, 202, 44, 14)),
          (1001, "Static", "Info", CV | SS_LEFT | WS_GROUP, (16, 9, 331, 65)),
          (1000, "Edit", "", CV | ES_MULTILINE | WS_VSCROLL | WS_BORDER, (6, 81, 351, 92)),
          (1002, "Button", "同意する", CV | BS_RADIOBUTTON, (10, 177, 225, 10)),
          (1003, "Button", "同意しない", CV | BS_RADIOBUTTON, (10, 189, 225, 10))],
}
ATOMS = {0x80: "Button", 0x81: "Edit", 0x82: "Static"}


def read_sz_or_ord(body, at):
    if struct.unpack_from("<H", body, at)[0] == 0xFFFF:
        return struct.unpack_from("<H", body, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", body, end)[0] != 0:
        end += 2
    return body[at:end].decode("utf-16-le"), end + 2


def dialog_controls(body, count):
    at = 26
    _, at = read_sz_or_ord(body, at)   # menu
    _, at = read_sz_or_ord(body, at)   # class
    _, at = read_sz_or_ord(body, at)   # title
    size, weight, italic, charset = struct.unpack_from("<HHBB", body, at)
    face, at = read_sz_or_ord(body, at + 6)
    controls = []
    for _ in range(count):
        at = (at + 3) & ~3
        _, exstyle, style, x, y, cx, cy, cid = struct.unpack_from("<IIIhhhhI", body, at)
        cls, at = read_sz_or_ord(body, at + 24)
        text, at = read_sz_or_ord(body, at)
        extra = struct.unpack_from("<H", body, at)[0]
        at += 2 + extra
        controls.append((cid, ATOMS.get(cls, cls), text, style, (x, y, cx, cy)))
    return (size, weight, italic, charset, face), controls


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what)
    if not condition:
        failures.append(what)


def main(path, arch):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    check(data[pe:pe + 4] == b"PE\0\0", "PE signature")
    machine, sections, _, symtab, symbols, optsize, chars = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    if arch == "i686":
        check(machine == 0x14C and magic == 0x10B, "PE32, i386")
    else:
        check(machine == 0x8664 and magic == 0x20B, "PE32+, x86-64")
    subsystem = struct.unpack_from("<H", data, opt + 68)[0]
    check(subsystem == 2, "GUI subsystem")
    check(symtab == 0 and symbols == 0, "stripped (no symbol table)")
    dirs = opt + (96 if magic == 0x10B else 112)
    table = []
    for i in range(sections):
        s = opt + optsize + i * 40
        name = data[s:s + 8].rstrip(b"\0").decode()
        vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, s + 8)
        table.append((name, va, max(vsize, rawsize), raw))
    check(not any(n.startswith(".debug") for n, *_ in table), "no debug sections")

    def offset(rva):
        for _, va, size, raw in table:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError(hex(rva))

    # Imports.
    import_rva = struct.unpack_from("<I", data, dirs + 8)[0]
    dlls = []
    p = offset(import_rva)
    while True:
        name_rva = struct.unpack_from("<I", data, p + 12)[0]
        if name_rva == 0:
            break
        n = offset(name_rva)
        dlls.append(data[n:data.index(b"\0", n)].decode().lower())
        p += 20
    print("      imports: " + ", ".join(dlls))
    check(set(dlls) <= SYSTEM_DLLS, "imports only system DLLs")
    check("advapi32.dll" not in dlls and "shell32.dll" not in dlls,
          "registry and shell functions are bound at run time, not imported")

    # Resources: type -> id -> language -> bytes.
    res_rva = struct.unpack_from("<I", data, dirs + 16)[0]
    base = offset(res_rva)

    def entries(at):
        named, ids = struct.unpack_from("<HH", data, at + 12)
        for i in range(named + ids):
            key, value = struct.unpack_from("<II", data, at + 16 + i * 8)
            yield key, value

    resources = {}
    for rtype, v1 in entries(base):
        for rid, v2 in entries(base + (v1 & 0x7FFFFFFF)):
            for lang, v3 in entries(base + (v2 & 0x7FFFFFFF)):
                rva, size = struct.unpack_from("<II", data, base + v3)
                resources[(rtype, rid, lang)] = data[offset(rva):offset(rva) + size]

    for dialog, height in ((100, 93), (101, 222)):
        body = resources.get((5, dialog, 1041))
        check(body is not None, "dialog %d, Japanese" % dialog)
        if body:
            ver, sig, _, exstyle, style, count, x, y, cx, cy = struct.unpack_from("<HHIIIHhhhh", data[:0] + body, 0)
            check(ver == 1 and sig == 0xFFFF, "dialog %d is an extended template" % dialog)
            check((cx, cy) == (364, height), "dialog %d is 364 x %d" % (dialog, height))
            check(style == 0x90C808C0, "dialog %d style popup, visible, caption, system menu, modal frame, centred, font" % dialog)
            check(count == (4 if dialog == 100 else 7), "dialog %d has its controls" % dialog)
            check("UPDATE".encode("utf-16-le") in body, "dialog %d caption UPDATE" % dialog)
            font, controls = dialog_controls(body, count)
            check(font == (10, 0, 0, 0, "ＭＳ Ｐゴシック"), "dialog %d font ＭＳ Ｐゴシック 10 pt, weight 0, not italic, charset 0" % dialog)
            for want, got in zip(CONTROLS[dialog], controls):
                check(want[0] == got[0] and want[1].lower() == str(got[1]).lower() and want[2] == got[2] and want[3] == got[3] and want[4] == got[4],
                      "dialog %d control %d: %s %r, style %08x, %r" % (dialog, want[0], want[1], want[2], want[3], want[4])
                      + ("" if want[2:] == got[2:] and want[0] == got[0] else " (found %r)" % (got,)))
    version = resources.get((16, 1, 1041))
    check(version is not None, "version block, Japanese")
    if version:
        for text in ("Game patch program", "UPDATE.exe", "1.0.0.0", "1.0.1.0"):
            check(text.encode("utf-16-le") in version, "version block holds " + text)
        fixed = version.index(struct.pack("<I", 0xFEEF04BD))
        fv = struct.unpack_from("<IIII", version, fixed + 8)
        check(fv == (0x10000, 0, 0x10000, 0x10000), "file version 1.0.0.0, product version 1.0.1.0")
    manifests = [v for (t, i, l), v in resources.items() if t == 24]
    check(len(manifests) == 1, "one manifest")
    if manifests:
        m = manifests[0].decode("utf-8")
        check('name="TALLOW.Updater.UPDATE"' in m and 'version="1.0.0.0"' in m, "manifest identity")
        check('level="requireAdministrator"' in m, "manifest asks for administrator rights")
        check('processorArchitecture="%s"' % ("X86" if arch == "i686" else "amd64") in m, "manifest processor")
        check(m.count("<supportedOS") == 5, "manifest names Vista to 10")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
