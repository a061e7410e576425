#!/usr/bin/env python3
"""The C reader on real arrays: public C projects' file-scope tables against gcc.

    scripts/csource-realcode.py --morvex build/app/morvex [--abi x86_64-linux]
        [-D NAME[=VALUE]]... [--max-files N] [--show-wrong N] PROJECT_FOLDER...
    scripts/csource-realcode.py --unpack GIT_DIR COMMIT DEST

For each .c or .h file of a project that holds an array initialiser, the
file is compiled (alone, with every folder of the project that holds
headers as -I, the -D options given and those the project's own table
below names); a file that does not compile is left out and counted. Its
object's data symbols whose initialiser the file itself holds are the
arrays: each one's bytes come from its section, and morvex reads it with
--array NAME (without --array, as morvex before it took one: the file's
first array only, and the count says so). An array the compiler stores
addresses in (a section with relocations) has no bytes to compare: morvex
must refuse it.

Prints per project and in all: the arrays read exactly, refused (by class
of message), and WRONG (exit 0 with other bytes, or exit 0 on addresses);
exit status 1 when any is WRONG. Nothing of the projects is copied.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
from collections import Counter
from pathlib import Path

sys.dont_write_bytecode = True   # no __pycache__ left in the tree
sys.path.insert(0, str(Path(__file__).resolve().parent))
import csource_oracle as oracle  # noqa: E402

# What a project's files need to compile outside its own build, by the
# project folder's name: compiler options (its -D ones go to morvex too),
# and headers its build would generate (or another language's), stood in
# for by the least that lets its files compile.
PROJECTS = {
    'libtomcrypt': {'flags': ['-DLTC_SOURCE', '-DUSE_LTM', '-DLTM_DESC', '-DLTC_NO_PROTOTYPES']},
    'lvgl': {'flags': ['-DLV_CONF_SKIP']},
    'micropython': {'flags': ['-DMICROPY_ROM_TEXT_COMPRESSION=0', '-DNO_QSTR']},
    'CMSIS-DSP': {'flags': ['-D__GNUC_PYTHON__', '-DARM_ALL_FFT_TABLES', '-DARM_ALL_FAST_TABLES']},
    'libsodium': {'flags': ['-DCONFIGURED=1'],
                  'stubs': {'sodium/version.h': '#define SODIUM_VERSION_STRING "1.0"\n'
                            '#define SODIUM_LIBRARY_VERSION_MAJOR 10\n#define SODIUM_LIBRARY_VERSION_MINOR 3\n'}},
    'miniz': {'stubs': {'miniz_export.h': '#define MINIZ_EXPORT\n'}},
    'Adafruit-GFX-Library': {'stubs': {'Adafruit_GFX.h': '#include <stdint.h>\n#include "gfxfont.h"\n'},
                             'flags': ['-DPROGMEM=']},
    'u8g2': {'flags': ['-include', 'stdint.h', '-DU8G2_FONT_SECTION(name)=', '-DU8X8_FONT_SECTION(name)=', '-DU8X8_PROGMEM=']},
}

# A folder from which one of these is found stands in for the system's
# headers (a port to another compiler): it is left out of the -I list.
SYSTEM_HEADERS = {
    'assert.h', 'ctype.h', 'errno.h', 'float.h', 'inttypes.h', 'limits.h', 'math.h', 'stdarg.h', 'stdbool.h',
    'stddef.h', 'stdint.h', 'stdio.h', 'stdlib.h', 'string.h', 'time.h', 'unistd.h', 'fcntl.h', 'io.h',
    'windows.h', 'sys/time.h', 'sys/types.h', 'sys/stat.h', 'malloc.h', 'signal.h', 'setjmp.h', 'wchar.h',
}

CANDIDATE = re.compile(rb'\]\s*(?:[A-Za-z_][\w\s()",.]*)?=\s*[{"LuU]')
BATCH = 25


def unpack(git_dir, commit, dest):
    """A project's .c and .h files at commit, from a bare git directory, into
    dest; blobs a shallow or partial copy lacks are skipped and counted."""
    tree = subprocess.run(['git', '--git-dir', git_dir, 'ls-tree', '-r', '-z', commit], capture_output=True,
                          check=True).stdout.decode('utf-8', 'surrogateescape')
    entries = []
    for entry in filter(None, tree.split('\0')):
        meta, path = entry.split('\t', 1)
        mode, kind, sha = meta.split()
        if kind == 'blob' and mode != '120000' and path.endswith(('.c', '.h')):
            entries.append((sha, path))
    batch = subprocess.Popen(['git', '--git-dir', git_dir, 'cat-file', '--batch'], stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE)
    missing = 0
    for sha, path in entries:
        batch.stdin.write(sha.encode() + b'\n')
        batch.stdin.flush()
        header = batch.stdout.readline().split()
        if header[1] == b'missing':
            missing += 1
            continue
        data = batch.stdout.read(int(header[2]) + 1)[:-1]
        target = Path(dest) / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
    batch.stdin.close()
    batch.wait()
    print('%s: %d .c and .h files at %s, %d missing from the copy' % (dest, len(entries), commit, missing))


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--unpack', nargs=3, metavar=('GIT_DIR', 'COMMIT', 'DEST'),
                        help="only write a project's .c and .h files at COMMIT into DEST")
    parser.add_argument('--morvex')
    parser.add_argument('--abi', default='x86_64-linux', choices=sorted(oracle.PLATFORMS))
    parser.add_argument('-D', dest='defines', action='append', default=[], metavar='NAME[=VALUE]')
    parser.add_argument('--max-files', type=int, default=0, help='files per project at most (0: all)')
    parser.add_argument('--show-wrong', type=int, default=10, help='wrong arrays printed per project')
    parser.add_argument('projects', nargs='*')
    args = parser.parse_args()
    if not args.unpack and (not args.morvex or not args.projects):
        parser.error('--morvex and a project folder are needed')
    return args


def project_files(root):
    """The project's .c and .h files holding an array initialiser, and its header folders."""
    candidates, header_folders, shadowing = [], set(), set()
    for folder, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if not d.startswith('.'))
        for name in sorted(files):
            if not name.endswith(('.c', '.h')):
                continue
            path = Path(folder) / name
            if name.endswith('.h'):
                # Its folder and every one above it: "lwip/opt.h" is found from include/.
                for above in [Path(folder)] + list(Path(folder).parents):
                    if above == Path(root).parent:
                        break
                    header_folders.add(str(above))
                    if path.relative_to(above).as_posix() in SYSTEM_HEADERS:
                        shadowing.add(str(above))
            if CANDIDATE.search(path.read_bytes()):
                candidates.append(path)
    return candidates, sorted(header_folders - shadowing, key=lambda f: (f.count(os.sep), f))


def defined_here(text, name):
    """Where the file itself gives name's array an initialiser, or None."""
    pattern = (rb'\b%s\s*\[[^;{}=]*\](?:\s*\[[^;{}=]*\])*[^;{}=]*=\s*(?:\{|(?:u8|[LuU])?")'
               % re.escape(name.encode()))
    found = re.search(pattern, text)
    return found.start() if found else None


def first_is_file_scope(text, at):
    """Whether the file's first array initialiser, as morvex without --array
    finds it, is the first one the compiler keeps (at: where its name is)."""
    first = CANDIDATE.search(text)
    return first is not None and at < first.start() and b';' not in text[at:first.start()]


def listing_script(abi, count):
    """One shell run: each object's symbols with sizes, and its relocation sections."""
    nm = oracle.PLATFORMS[abi]['nm']
    readelf = 'readelf' if abi != 'arm-eabi' else 'arm-none-eabi-readelf'
    return ''.join('[ -f w{k}.o ] && {nm} -S --defined-only w{k}.o >m{k} && {re} -rW w{k}.o >r{k}\n'
                   .format(k=k, nm=nm, re=readelf) for k in range(count)) + 'exit 0\n'


def arrays_of(folder, k, text):
    """(name, size, holds addresses, offset in the file) of each data array the file initialises."""
    listing = folder / ('m%d' % k)
    if not listing.exists():
        return []
    relocated = set(re.findall(r"Relocation section '\.rela?(\.\S+)'", (folder / ('r%d' % k)).read_text()))
    arrays = []
    for line in listing.read_text().splitlines():
        parts = line.split()
        if len(parts) != 4 or parts[2] not in 'dDrR' or '.' in parts[3] or parts[3] == oracle.SIZE_SYMBOL:
            continue
        at = defined_here(text, parts[3])
        if at is None:
            continue
        sections = {prefix + parts[3] for prefix in oracle.SECTION_PREFIXES}
        arrays.append((parts[3], int(parts[1], 16), bool(sections & relocated), at))
    return sorted(arrays, key=lambda array: array[3])


def compile_batch(abi, folder, paths, flags):
    """One compiler run over wrappers that include each file; per file, whether it compiled."""
    folder.mkdir(parents=True, exist_ok=True)
    for k, path in enumerate(paths):
        (folder / ('w%d.c' % k)).write_text('#include "%s"\n' % path)
    names = ['w%d.c' % k for k in range(len(paths))]
    run = subprocess.run([oracle.PLATFORMS[abi]['cc']] + oracle.FLAGS + flags + names, cwd=folder,
                         capture_output=True, env=dict(os.environ, LC_ALL='C'), timeout=1800)
    (folder / 'list.sh').write_text(listing_script(abi, len(paths)))
    subprocess.run(['sh', 'list.sh'], cwd=folder, check=True, timeout=600)
    errors = oracle.first_errors(run.stderr.decode('utf-8', 'replace'), len(paths))
    return [((folder / ('w%d.o' % k)).exists(), errors[k]) for k in range(len(paths))]


def error_class(error):
    """A compiler error without its place and names: why files are left out."""
    text = re.sub(r'^.*?(fatal error|error): ', '', error)
    text = re.sub(r"'[^']*'|\"[^\"]*\"", "'…'", text)
    return re.sub(r'^(\S+\.h): No such file', r"\1: No such file", text)[:80]


def extract(abi, folder, wanted):
    """wanted: (k, name); one shell run of objcopy; the bytes per (k, name)."""
    objcopy = oracle.PLATFORMS[abi]['objcopy']
    script = ''.join('{oc} -O binary {sections} w{k}.o x{k}_{name}\n'.format(
        oc=objcopy, sections=oracle.section_options(name), k=k, name=name) for k, name in wanted)
    (folder / 'extract.sh').write_text(script + 'exit 0\n')
    subprocess.run(['sh', 'extract.sh'], cwd=folder, check=True, timeout=1800)
    found = {}
    for k, name in wanted:
        path = folder / ('x%d_%s' % (k, name))
        found[(k, name)] = path.read_bytes() if path.exists() else None
    return found


class CProject:
    """One project's figures."""

    def __init__(self, name):
        self.name = name
        self.counts = Counter()
        self.refusals = Counter()
        self.left_out = Counter()
        self.wrong = []

    def compare(self, path, name, expected, addresses, outcome, args, others):
        code, data, message = outcome
        self.counts['arrays compared'] += 1
        if code == 0 and data != expected and data in others:
            self.counts['read another of the file\'s arrays'] += 1
        elif code == 'timeout' or code not in (0, 1):
            self.add_wrong(path, name, 'crash or time-out (%s)' % code, expected, data, message, args)
        elif code == 0 and addresses:
            self.add_wrong(path, name, 'read an array of addresses', expected, data, message, args)
        elif code == 0 and data != expected:
            self.add_wrong(path, name, 'other bytes', expected, data, message, args)
        elif code == 0:
            self.counts['read exactly'] += 1
        else:
            self.counts['refused' + (' (holds addresses)' if addresses else '')] += 1
            self.refusals[oracle.refusal_class(message)] += 1

    def add_wrong(self, path, name, why, expected, data, message, args):
        self.counts['WRONG'] += 1
        self.wrong.append((path, name, why, expected, data, message, args))


def morvex_args(args, features, abi_defines, name, path):
    options = ['--abi', args.abi] if features['abi'] else []
    if features['array']:
        options += ['--array', name]
    if features['define']:
        for define in abi_defines:
            options += ['-D', define]
    return options + ['c', str(path)]


def check_batch(args, features, project, paths, flags, defines, folder):
    compiled = compile_batch(args.abi, folder, paths, flags)
    wanted, chosen = [], []
    for k, (path, (ok, error)) in enumerate(zip(paths, compiled)):
        if not ok:
            project.counts['files left out (do not compile)'] += 1
            project.left_out[error_class(error)] += 1
            continue
        project.counts['files compiled'] += 1
        arrays = arrays_of(folder, k, path.read_bytes())
        project.counts['arrays found'] += len(arrays)
        wanted += [(k, name) for name, _, _, _ in arrays]
        chosen += [(path, k, arrays)] if arrays else []
    found = extract(args.abi, folder, wanted)
    for path, k, arrays in chosen:
        stored = {name: found[(k, name)][:size] for name, size, _, _ in arrays
                  if found[(k, name)] is not None and len(found[(k, name)]) >= size}
        if not features['array'] and not first_is_file_scope(path.read_bytes(), arrays[0][3]):
            project.counts['first array not at file scope (not compared)'] += 1
            continue
        for name, size, addresses, _ in arrays if features['array'] else arrays[:1]:
            if name not in stored:
                project.counts['no bytes in the object'] += 1
                continue
            options = morvex_args(args, features, defines, name, path)
            outcome = oracle.run_morvex(args.morvex, options, folder)
            # Without --array morvex reads the first array as it sees the
            # file; another of the file's arrays, byte for byte, is no fault.
            others = [] if features['array'] else [other for other in stored if other != name]
            project.compare(path, name, stored[name], addresses, outcome, options, [stored[o] for o in others])


def check_project(args, features, root, work):
    project = CProject(root.name)
    candidates, header_folders = project_files(root)
    if args.max_files:
        candidates = candidates[:args.max_files]
    project.counts['files with array initialisers'] = len(candidates)
    setup = PROJECTS.get(root.name, {})
    stubs = Path(work) / ('stubs-' + root.name)
    for name, text in setup.get('stubs', {}).items():
        (stubs / name).parent.mkdir(parents=True, exist_ok=True)
        (stubs / name).write_text(text)
    extra = setup.get('flags', []) + ['-D' + define for define in args.defines]
    defines = [flag[2:] for flag in extra if flag.startswith('-D')]
    flags = ['-I' + folder for folder in [str(stubs)] + header_folders] + extra
    for start in range(0, len(candidates), BATCH):
        with tempfile.TemporaryDirectory(dir=work) as folder:
            check_batch(args, features, project, candidates[start:start + BATCH], flags, defines, Path(folder))
    return project


def share(counts):
    compared = counts['arrays compared'] - counts['refused (holds addresses)']
    return 100.0 * counts['read exactly'] / compared if compared else 0.0


def print_project(project, show):
    c = project.counts
    print('%s: %d files with array initialisers, %d compiled, %d left out; %d arrays, %d compared: '
          '%d read exactly (%.1f %% of those without addresses), %d refused, %d refused holding addresses, '
          '%d WRONG' % (project.name, c['files with array initialisers'], c['files compiled'],
                        c['files left out (do not compile)'], c['arrays found'], c['arrays compared'],
                        c['read exactly'], share(c), c['refused'], c['refused (holds addresses)'], c['WRONG']))
    if c['first array not at file scope (not compared)']:
        print('  without --array: %d files whose first array is not one at file scope the compiler keeps, '
              'not compared' % c['first array not at file scope (not compared)'])
    if c["read another of the file's arrays"]:
        print("  without --array morvex read another of the file's arrays, byte for byte, %d times"
              % c["read another of the file's arrays"])
    if project.left_out:
        print('  left out: ' + '; '.join('%d %s' % (n, text) for text, n in project.left_out.most_common(4)))
    for path, name, why, expected, data, message, options in project.wrong[:show]:
        print('  WRONG (%s): %s %s\n    morvex %s' % (why, path, name, ' '.join(options)))
        print('    compiler: %s' % oracle.hex_bytes(expected, 48))
        print('    morvex:   %s %s' % (oracle.hex_bytes(data, 48), message))


def main():
    args = parse_args()
    if args.unpack:
        unpack(*args.unpack)
        return 0
    missing = oracle.missing_tools(args.abi)
    if missing:
        print('skipped: no %s for %s' % (', '.join(missing), args.abi))
        return 0
    args.morvex = str(Path(args.morvex).resolve())
    totals, refusals, wrong = Counter(), Counter(), 0
    with tempfile.TemporaryDirectory(prefix='csource-realcode-') as work:
        features = oracle.probe_features(args.morvex, Path(work) / 'probe')
        if not features['array']:
            print('this morvex takes no --array: each file\'s first array only')
        for root in args.projects:
            project = check_project(args, features, Path(root).resolve(), work)
            print_project(project, args.show_wrong)
            sys.stdout.flush()
            totals.update(project.counts)
            refusals.update(project.refusals)
            wrong += len(project.wrong)
    print('\nIn all: %d arrays compared, %d read exactly (%.1f %% of those without addresses), %d refused, '
          '%d refused holding addresses, %d WRONG' % (totals['arrays compared'], totals['read exactly'],
                                                     share(totals), totals['refused'],
                                                     totals['refused (holds addresses)'], totals['WRONG']))
    print('Files: %d with array initialisers, %d compiled, %d left out (do not compile)'
          % (totals['files with array initialisers'], totals['files compiled'],
             totals['files left out (do not compile)']))
    print('Refusals by class:')
    for text, count in refusals.most_common(30):
        print('  %6d  %s' % (count, text))
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
