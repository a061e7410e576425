"""What the C reader's checking scripts share: each platform's compiler and
binutils, the compiler's bytes of many sources in two processes, one run
of morvex, and a refusal's class.

Imported by csource-differential.py and csource-realcode.py; standard
library only.
"""
import os
import re
import shutil
import subprocess
from pathlib import Path

# The compiler the reader stands in for on each platform, and its binutils.
PLATFORMS = {
    'x86_64-linux': {'cc': 'cc', 'objcopy': 'objcopy', 'nm': 'nm'},
    'x86_64-windows': {'cc': 'x86_64-w64-mingw32-gcc', 'objcopy': 'x86_64-w64-mingw32-objcopy',
                       'nm': 'x86_64-w64-mingw32-nm'},
    'arm-eabi': {'cc': 'arm-none-eabi-gcc', 'objcopy': 'arm-none-eabi-objcopy', 'nm': 'arm-none-eabi-nm'},
}

# One section per object, and zeros kept out of .bss so that every
# initialised object's bytes are in its object file.
FLAGS = ['-c', '-std=gnu17', '-w', '-fdata-sections', '-fno-common', '-fno-zero-initialized-in-bss',
         '-fno-diagnostics-show-caret']

# The type names the reader assumes without a definition, as the usual
# headers give them; char16_t and char32_t by the compiler's own types,
# since the bare-metal library has no <uchar.h>.
PRELUDE = """#include <stddef.h>
#include <stdint.h>
#include <stdbool.h>
typedef __CHAR16_TYPE__ char16_t;
typedef __CHAR32_TYPE__ char32_t;
typedef uint8_t u8; typedef uint16_t u16; typedef uint32_t u32; typedef uint64_t u64;
typedef int8_t s8; typedef int16_t s16; typedef int32_t s32; typedef int64_t s64;
typedef uint8_t UINT8; typedef uint16_t UINT16; typedef uint32_t UINT32;
"""

# Every section an object's bytes may sit in: ELF's and COFF's names.
SECTION_PREFIXES = ['.data.', '.rodata.', '.data.rel.ro.', '.data.rel.ro.local.', '.data$', '.rdata$']

# An object holding the size of the wanted one: COFF pads a section to
# its alignment, so a section's length is not its object's.
SIZE_SYMBOL = 'morvex_oracle_size'

IDENTIFIER = re.compile(r'^[A-Za-z_][A-Za-z_0-9]*$')


def missing_tools(abi):
    """The platform's tools that are not on PATH."""
    return [tool for tool in (PLATFORMS[abi]['cc'], PLATFORMS[abi]['objcopy']) if shutil.which(tool) is None]


def section_options(symbol):
    return ' '.join("--only-section='%s%s'" % (prefix, symbol) for prefix in SECTION_PREFIXES)


def wrapper(k, symbol, macros):
    """The file the compiler sees: the -D and -U options as directives, the
    prelude, the source by #include (its errors keep their lines) and the size."""
    lines = []
    for name, value in macros:
        lines.append('#undef %s' % name if value is None else '#define %s %s' % (name, value))
    lines.append(PRELUDE + '#include "s%d.c"' % k)
    lines.append(';\nstatic const unsigned long long %s __attribute__((used)) = sizeof(%s);\n' % (SIZE_SYMBOL, symbol))
    return '\n'.join(lines)


def first_errors(errors, count):
    """Each source's first error line without its file name; the compiler
    reads the files in order, so a header's error belongs to the last one named."""
    first = [''] * count
    current = None
    for line in errors.splitlines():
        named = re.match(r'^(?:In file included from |\s+from )?[sw](\d+)\.c:', line)
        if named:
            current = int(named.group(1))
        if current is None or current >= count or first[current] or ' error:' not in line:
            continue
        # An error of the wrapper (no such symbol) says so; the source's keeps its line.
        first[current] = re.sub(r'^w\d+\.c:\d+:\d+:', 'the wanted symbol:', re.sub(r'^s\d+\.c:', '', line))
    return first


def compile_sources(abi, folder, sources):
    """sources: (text, symbol, macros) with macros as (name, value or None
    for -U). One compiler run for all, one shell run for the extraction.
    Returns per source (compiled, first error, bytes or None)."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    tools = PLATFORMS[abi]
    for k, (text, symbol, macros) in enumerate(sources):
        assert IDENTIFIER.match(symbol), symbol
        (folder / ('s%d.c' % k)).write_text(text, encoding='utf-8', errors='surrogateescape')
        (folder / ('w%d.c' % k)).write_text(wrapper(k, symbol, macros))
    names = ['w%d.c' % k for k in range(len(sources))]
    run = subprocess.run([tools['cc']] + FLAGS + names, cwd=folder, capture_output=True,
                         env=dict(os.environ, LC_ALL='C'), timeout=600)
    script = ''
    for k, (_, symbol, _) in enumerate(sources):
        script += ('[ -f w{k}.o ] && {oc} -O binary {sym} w{k}.o b{k} && {oc} -O binary {size} w{k}.o n{k}\n'
                   .format(k=k, oc=tools['objcopy'], sym=section_options(symbol), size=section_options(SIZE_SYMBOL)))
    (folder / 'extract.sh').write_text(script + 'exit 0\n')
    subprocess.run(['sh', 'extract.sh'], cwd=folder, check=True, timeout=600)
    errors = first_errors(run.stderr.decode('utf-8', 'replace'), len(sources))
    return [result_of(folder, k, errors[k]) for k in range(len(sources))]


def result_of(folder, k, error):
    if not (folder / ('w%d.o' % k)).exists():
        return False, error or 'no object', None
    size_file, bytes_file = folder / ('n%d' % k), folder / ('b%d' % k)
    if not size_file.exists() or not bytes_file.exists():
        return True, '', None
    size = int.from_bytes(size_file.read_bytes()[:8], 'little')
    data = bytes_file.read_bytes()
    return True, '', data[:size] if len(data) >= size else None


def run_morvex(morvex, args, folder, timeout=20):
    """(exit code, or 'timeout'; the bytes written; standard error)."""
    out = Path(folder) / 'morvex-out.bin'
    if out.exists():
        out.unlink()
    try:
        run = subprocess.run([morvex] + args + [str(out)], capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return 'timeout', b'', ''
    data = out.read_bytes() if out.exists() else b''
    return run.returncode, data, run.stderr.decode('utf-8', 'replace').strip()


def refusal_class(message):
    """A refusal without its file, line, names and numbers, so that alike
    refusals count together."""
    text = message.splitlines()[0] if message else '(no message)'
    text = re.sub(r"^morvex: cannot read '[^']*': ", '', text)
    text = re.sub(r'^line \d+: ', '', text)
    # A quoted piece may hold quotes itself ('x' + 1): it ends at the last
    # quote before the verb that follows it.
    text = re.sub(r"^'.*'(?= (is|are|casts|goes|holds|inside|names|has|does|needs)\b)", "'…'", text)
    text = re.sub(r"'[^']*'", "'…'", text)
    text = re.sub(r'"[^"]*"', '"…"', text)
    text = re.sub(r'\\([xuU0-7])\w*', r'\\\1…', text)
    text = re.sub(r'\b(0[xX][0-9a-fA-F]+|\d+)\b', 'N', text)
    return text[:100]


def probe_features(morvex, folder):
    """Which of the newer options this morvex takes: --abi, --array, -D."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    (folder / 'probe1.c').write_text('unsigned char a[] = {1};\nunsigned char b[] = {2};\n')
    (folder / 'probe2.c').write_text('unsigned char a[] = {X};\n')
    checks = {'abi': (['--abi', 'x86_64-linux', 'c', 'probe1.c'], b'\x01'),
              'array': (['--array', 'b', 'c', 'probe1.c'], b'\x02'),
              'define': (['-D', 'X=3', 'c', 'probe2.c'], b'\x03')}
    features = {}
    for name, (args, expected) in checks.items():
        args[-1] = str(folder / args[-1])
        code, data, _ = run_morvex(morvex, args, folder)
        features[name] = code == 0 and data == expected
    return features


def hex_bytes(data, limit=256):
    shown = data[:limit].hex(' ')
    return shown + (' … (%d bytes)' % len(data) if len(data) > limit else '')
