#!/usr/bin/env python3
"""Random C files against the platform's compiler: is the C reader ever wrong?

    scripts/csource-differential.py --morvex build/app/morvex [--abi x86_64-linux]
        [--count N] [--seed S] [--minutes M] [--quick] [--out DIR]

Each file defines one to three arrays with what the reader is meant to read:
typedef chains, enums, object- and function-like macros with # and ##,
variadic ones, #if/#ifdef/#elif/#else trees, designators, nested braces and
brace elision, strings, casts, sizeof, float and double, structs with
padding, arrays of several dimensions, -D and -U options. The compiler
(one run per batch) tells each array's bytes; morvex reads it with
--array, --abi, -D and -U, as far as this morvex takes them (probed once:
without --array the first array the compiler keeps is the one compared).

Counts: same bytes; refused by morvex (by class of message); refused by both;
and WRONG: morvex exited 0 with other bytes, or exited 0 where the compiler
refused the array's own declaration; a crash or a run over 20 s is WRONG too.
The reader reads one array and what it uses, not the whole file: a file the
compiler refuses for another declaration (the generator puts a few in) is
counted apart, as refused elsewhere, when morvex reads the array. Each wrong case is printed
with its file and both outputs; the exit status is 1 when there is one.
--quick: seed 1, 300 files, 20 seconds at most, for ./test.sh.
"""
import argparse
import random
import re
import sys
import tempfile
import time
from collections import Counter
from pathlib import Path

sys.dont_write_bytecode = True   # no __pycache__ left in the tree
sys.path.insert(0, str(Path(__file__).resolve().parent))
import csource_oracle as oracle  # noqa: E402

# Element types by kind; 'int' ones take integer values, 'float' ones any.
INT_TYPES = ['char', 'signed char', 'unsigned char', 'short', 'unsigned short', 'short int', 'int', 'unsigned',
             'unsigned int', 'long', 'unsigned long', 'long int', 'long long', 'unsigned long long', 'int8_t',
             'uint8_t', 'int16_t', 'uint16_t', 'int32_t', 'uint32_t', 'int64_t', 'uint64_t', 'size_t', 'wchar_t',
             'char16_t', 'char32_t', 'bool', '_Bool', 'u8', 'u16', 'u32', 'UINT16', 'const unsigned char',
             'static const uint16_t', 'const volatile int']
FLOAT_TYPES = ['float', 'double', 'const float', 'static const double']
BATCH = 40


class CondBuilder:
    """#if conditions over names with known values; the compiler's truth
    computed beside the text (names it does not know are 0)."""

    def __init__(self, rng, known):
        self.r = rng
        self.known = known   # name -> int, the macros defined at this point

    def atom(self):
        r = self.r
        names = list(self.known) + ['UNSET_%d' % r.randrange(3)]
        name = r.choice(names)
        value = self.known.get(name, 0)
        pick = r.randrange(7)
        if pick == 0:
            return ('defined(%s)' % name, int(name in self.known))
        if pick == 1:
            return ('!defined %s' % name, int(name not in self.known))
        if pick == 2:
            k = r.randrange(0, 20)
            return ('%s > %d' % (name, k), int(value > k))
        if pick == 3:
            k = r.randrange(0, 20)
            return ('%s + %d == %d' % (name, k, value + k + r.choice([0, 0, 1])), None)
        if pick == 4:
            return ("'A' == %d" % r.choice([65, 66]), None)
        if pick == 5:
            return ('(%s & 1)' % name, value & 1)
        return (str(r.choice([0, 1])), None)

    def build(self, depth=0):
        r = self.r
        text, value = self.atom()
        if value is None:
            value = eval_simple(text, self.known)
        if depth < 1 and r.random() < 0.4:
            other, other_value = self.build(depth + 1)
            if r.random() < 0.5:
                return ('%s && %s' % (text, other), int(bool(value) and bool(other_value)))
            return ('(%s) || (%s)' % (text, other), int(bool(value) or bool(other_value)))
        return text, int(bool(value))


def eval_simple(text, known):
    """The value of the few comparison shapes CondBuilder writes."""
    expr = text.replace("'A'", '65')
    for name in sorted(known, key=len, reverse=True):
        expr = expr.replace(name, str(known[name]))
    expr = ''.join('0' if word.startswith('UNSET_') else word for word in expr.split(' '))
    return int(bool(eval(expr)))  # only digits, + == and a name's value reach here


class FileBuilder:
    """One random C file: its text, its arrays (name, kept by the compiler)
    and the -D and -U options it is compiled with."""

    def __init__(self, rng, allow_options):
        self.r = rng
        self.lines = []
        self.macros = {}      # object-like macros with known integer values
        self.enums = {}       # enum constants with known values
        self.types = []       # (spelling, 'int' | 'float' | 'struct', fields)
        self.arrays = []      # (name, kept)
        self.options = []     # (name, value or None for -U)
        self.fmacros = set()
        self.allow_options = allow_options

    # -- definitions ---------------------------------------------------------

    def command_options(self):
        r = self.r
        if not self.allow_options or r.random() < 0.6:
            return
        for k in range(r.randrange(1, 3)):
            name = 'OPT_%d' % k
            if r.random() < 0.2:
                self.options.append((name, None))
                continue
            value = r.randrange(0, 9)
            self.options.append((name, str(value)))
            self.macros[name] = value

    def object_macros(self):
        r = self.r
        for k in range(r.randrange(0, 4)):
            name = 'K%d' % k
            if self.macros and r.random() < 0.4:
                base = r.choice(list(self.macros))
                add = r.randrange(1, 9)
                self.lines.append('#define %s (%s + %d)' % (name, base, add))
                self.macros[name] = self.macros[base] + add
            else:
                value = r.randrange(0, 40)
                self.lines.append('#define %s %s' % (name, r.choice([str(value), hex(value), '%du' % value])))
                self.macros[name] = value
        if self.macros and r.random() < 0.2:
            name = r.choice([n for n in self.macros if not n.startswith('OPT_')] or ['K9'])
            value = r.randrange(1, 30)
            self.lines += ['#undef %s' % name, '#define %s %d' % (name, value)]
            self.macros[name] = value

    def function_macros(self):
        r = self.r
        pool = {
            'ADD': '#define ADD(x, y) ((x) + (y))',
            'SQ': '#define SQ(x) ((x) * (x))',
            'SHL': '#define SHL(x, n) ((x) << (n))',
            'PAIR': '#define PAIR(x) (x), (x) + 1',
            'CAT': '#define CAT(a, b) a##b',
            'STR': '#define STR(x) #x',
            'XSTR': '#define XSTR(x) STR(x)',
            'LIST': '#define LIST(...) __VA_ARGS__',
            'FIRST': '#define FIRST(a, ...) (a)',
            'NEG': '#define NEG(x) (-(x))',
        }
        for name, line in pool.items():
            if r.random() < 0.45:
                self.fmacros.add(name)
        if 'XSTR' in self.fmacros:
            self.fmacros.add('STR')
        self.lines += [pool[name] for name in pool if name in self.fmacros]

    def conditional_macro(self):
        r = self.r
        if r.random() > 0.35:
            return
        cond, truth = CondBuilder(r, self.macros).build()
        a, b = r.randrange(1, 20), r.randrange(1, 20)
        directive = r.choice(['#if %s' % cond, '#ifdef %s' % r.choice(list(self.macros) or ['UNSET_0'])])
        if directive.startswith('#ifdef'):
            truth = int(directive.split()[1] in self.macros)
        self.lines += [directive, '#define MODE %d' % a, '#else', '#define MODE %d' % b, '#endif']
        self.macros['MODE'] = a if truth else b

    def enum_and_typedefs(self):
        r = self.r
        if r.random() < 0.5:
            names, value, parts = [], 0, []
            for k in range(r.randrange(1, 5)):
                name = 'E%d' % k
                if r.random() < 0.4:
                    value = r.randrange(0, 300)
                    parts.append('%s = %d' % (name, value))
                else:
                    parts.append(name)
                self.enums[name] = value
                names.append(name)
                value += 1
            if r.random() < 0.5:
                self.lines.append('typedef enum { %s } t_enum;' % ', '.join(parts))
                self.types.append(('t_enum', 'int', None))
            else:
                self.lines.append('enum colour { %s };' % ', '.join(parts))
                self.types.append(('enum colour', 'int', None))
        previous = r.choice(INT_TYPES + FLOAT_TYPES[:2])
        kind = 'float' if previous in FLOAT_TYPES else 'int'
        for k in range(r.randrange(0, 4)):
            name = 't_%d' % k
            qualifier = 'const ' if r.random() < 0.2 else ''
            self.lines.append('typedef %s%s %s;' % (qualifier, previous.replace('static ', ''), name))
            self.types.append((name, kind, None))
            previous = name

    def struct_type(self):
        r = self.r
        if r.random() > 0.35:
            return
        fields = []
        for k in range(r.randrange(1, 5)):
            spelling = r.choice(['char', 'unsigned char', 'short', 'int', 'uint32_t', 'long', 'long long', 'double',
                                 'float', 'bool', 'uint16_t', 'int8_t'] + [t for t, kind, _ in self.types
                                                                          if kind != 'struct'])
            fields.append(('f%d' % k, spelling, 'float' if spelling in ('double', 'float') else 'int'))
        body = ' '.join('%s %s;' % (spelling, name) for name, spelling, _ in fields)
        if r.random() < 0.5:
            self.lines.append('struct rec { %s };' % body)
            self.types.append(('struct rec', 'struct', fields))
        else:
            self.lines.append('typedef struct { %s } t_rec;' % body)
            self.types.append(('t_rec', 'struct', fields))

    # -- values --------------------------------------------------------------

    def literal(self):
        r = self.r
        pick = r.randrange(10)
        value = r.choice([0, 1, 7, 42, 127, 128, 255, 256, 1000, 32767, 32768, 65535, r.randrange(0, 100)])
        if pick == 0:
            return hex(value) + r.choice(['', 'u', 'U', 'l', 'UL', 'll', 'ULL'])
        if pick == 1:
            return oct(value).replace('0o', '0') if value else '0'
        if pick == 2:
            return r.choice(["'a'", "'\\n'", "'\\x41'", "'\\101'", "'\\0'", "'\\''", "L'b'", "u'c'", "U'd'"])
        if pick == 3:
            return r.choice(['0xFFFFFFFF', '4294967296', '0x80000000', '2147483648', '-2147483648',
                             '0x7FFFFFFFFFFFFFFF', '18446744073709551615u', '-1', '-128', '0b1011'])
        return str(value) + r.choice(['', '', '', 'u', 'L'])

    def int_expr(self, depth=0):
        r = self.r
        pick = r.randrange(14 if depth < 2 else 5)
        if pick <= 1:
            return self.literal()
        if pick == 2 and (self.macros or self.enums):
            return r.choice(list(self.macros) + list(self.enums))
        if pick == 3:
            return 'sizeof(%s)' % r.choice(['int', 'long', 'short', 'double', 'size_t', 'wchar_t', 'long long']
                                           + [t for t, _, _ in self.types])
        if pick == 4:
            return '(%s)%s' % (r.choice(['uint8_t', 'signed char', 'short', 'unsigned', 'int8_t', 'long',
                                         'unsigned char', 'bool'] + [t for t, k, _ in self.types if k == 'int']),
                               self.int_expr(depth + 1))
        if pick == 5:
            return '%s(%s)' % (r.choice(['-', '~', '!', '+']), self.int_expr(depth + 1))
        if pick in (6, 7):
            op = r.choice(['+', '-', '*', '&', '|', '^', '==', '<', '>=', '&&', '||', '!='])
            return '(%s %s %s)' % (self.small_expr(depth + 1), op, self.small_expr(depth + 1))
        if pick == 8:
            return '(%s %s %d)' % (self.small_expr(depth + 1), r.choice(['/', '%']), r.randrange(1, 9))
        if pick == 9:
            return '(%s %s %d)' % (self.small_expr(depth + 1), r.choice(['<<', '>>']), r.randrange(0, 8))
        if pick == 10:
            return '(%s ? %s : %s)' % (self.small_expr(depth + 1), self.int_expr(depth + 1),
                                       self.int_expr(depth + 1))
        return self.macro_call(depth)

    def small_expr(self, depth):
        """Operands kept small and positive, so that no operation overflows."""
        r = self.r
        if depth < 2 and r.random() < 0.3:
            return self.int_expr(depth)
        small = [str(r.randrange(0, 100)), "'x'"] + list(self.macros) + list(self.enums)
        return r.choice(small)

    def macro_call(self, depth):
        r = self.r
        calls = []
        if 'ADD' in self.fmacros:
            calls.append('ADD(%s, %s)' % (self.small_expr(depth + 1), self.small_expr(depth + 1)))
        if 'SQ' in self.fmacros:
            calls.append('SQ(%d)' % r.randrange(0, 200))
        if 'SHL' in self.fmacros:
            calls.append('SHL(%d, %d)' % (r.randrange(0, 50), r.randrange(0, 10)))
        if 'CAT' in self.fmacros:
            calls.append(r.choice(['CAT(0x, 1F)', 'CAT(12, 34)', 'CAT(1, u)', 'CAT(0, 7)']
                                  + ['CAT(K, %s)' % n[1:] for n in self.macros if n.startswith('K')]))
        if 'FIRST' in self.fmacros:
            calls.append('FIRST(%s, 9, 8)' % self.small_expr(depth + 1))
        if 'NEG' in self.fmacros:
            calls.append('NEG(%s)' % self.small_expr(depth + 1))
        return r.choice(calls) if calls else self.literal()

    def float_expr(self, depth=0):
        r = self.r
        pick = r.randrange(8 if depth < 2 else 3)
        if pick <= 1:
            return r.choice(['1.5', '.25', '2.', '1e3', '1.5e-2f', '0x1.8p1', '3.14159265358979', '-0.0', '1e-40',
                             '3.4028235e38f', '0.1f', '100', '1.0/3', '2.5L'])
        if pick == 2:
            return self.small_expr(depth + 1)
        if pick == 3:
            return '(%s)%s' % (r.choice(['float', 'double', 'int']), self.float_expr(depth + 1))
        if pick == 4:
            return '(%s / %s)' % (self.float_expr(depth + 1), r.choice(['3', '7.0', '0.5f', '10']))
        return '(%s %s %s)' % (self.float_expr(depth + 1), r.choice(['+', '-', '*']), self.float_expr(depth + 1))

    def value(self, kind):
        if kind == 'float':
            return self.float_expr()
        if self.r.random() < 0.05:
            return r_positive_float(self.r)
        return self.int_expr()

    # -- initialisers --------------------------------------------------------

    def struct_init(self, fields):
        r = self.r
        if r.random() < 0.25:
            chosen = r.sample(fields, r.randrange(1, len(fields) + 1))
            return '{%s}' % ', '.join('.%s = %s' % (name, self.value(kind)) for name, _, kind in chosen)
        count = r.randrange(0 if r.random() < 0.1 else 1, len(fields) + 1)
        return '{%s}' % ', '.join(self.value(kind) for _, _, kind in fields[:count])

    def element(self, elem):
        spelling, kind, fields = elem
        return self.struct_init(fields) if kind == 'struct' else self.value(kind)

    def leaf_values(self, elem, count):
        """count values, flat; a struct's fields elided into the list at times."""
        r = self.r
        if elem[1] == 'struct' and r.random() < 0.3:
            return [self.value(kind) for _ in range(count) for _, _, kind in elem[2]][:count * len(elem[2])]
        values = []
        while len(values) < count:
            if 'PAIR' in self.fmacros and elem[1] == 'int' and r.random() < 0.1 and len(values) + 2 <= count:
                values.append('PAIR(%s)' % self.small_expr(1))
                values.append(None)   # PAIR stands for two
            elif 'LIST' in self.fmacros and elem[1] == 'int' and r.random() < 0.1 and len(values) + 2 <= count:
                values.append('LIST(%s, %s)' % (self.int_expr(1), self.int_expr(1)))
                values.append(None)
            else:
                values.append(self.element(elem))
        return [v for v in values if v is not None]

    def init_list(self, dims, elem):
        """An initialiser for an array of dims (dims[0] None: sized by it)."""
        r = self.r
        rows = dims[0] if dims[0] is not None else r.randrange(1, 5)
        if len(dims) == 1:
            count = rows if dims[0] is None else r.randrange(0 if r.random() < 0.1 else 1, rows + 1)
            items = self.leaf_values(elem, count)
            if dims[0] is not None and r.random() < 0.25 and rows > 1:
                index = r.randrange(rows)
                items.insert(r.randrange(len(items) + 1), '[%s] = %s' % (self.index_text(index), self.element(elem)))
            return '{%s%s}' % (', '.join(items), ',' if items and r.random() < 0.3 else '')
        if r.random() < 0.3:
            inner = 1
            for d in dims[1:]:
                inner *= d
            total = rows * inner if dims[0] is None else r.randrange(1, rows * inner + 1)
            if elem[1] == 'struct':
                # Braces here would open a row, not a struct: fields only.
                return '{%s}' % ', '.join(self.value(kind) for _ in range(total) for _, _, kind in elem[2])
            return '{%s}' % ', '.join(self.leaf_values(elem, total))
        count = rows if dims[0] is None else r.randrange(1, rows + 1)
        parts = [self.init_list(dims[1:], elem) for _ in range(count)]
        if dims[0] is not None and r.random() < 0.25:
            parts.append('[%s] = %s' % (self.index_text(rows - 1), self.init_list(dims[1:], elem)))
        return '{%s}' % ', '.join(parts)

    def index_text(self, index):
        """An index written as a literal, or by a macro or enum of that value."""
        r = self.r
        same = [name for name, value in list(self.macros.items()) + list(self.enums.items()) if value == index]
        if same and r.random() < 0.5:
            return r.choice(same)
        if r.random() < 0.2:
            return '%d + 0' % index if r.random() < 0.5 else 'sizeof(char) * %d' % index
        return str(index)

    def dims(self):
        r = self.r
        count = r.choice([1, 1, 1, 2, 2, 3])
        dims = [r.randrange(1, 5) for _ in range(count)]
        if r.random() < 0.5:
            dims[0] = None
        return dims

    def dim_text(self, size):
        r = self.r
        if size is None:
            return '[]'
        same = [name for name, value in self.macros.items() if value == size]
        if same and r.random() < 0.5:
            return '[%s]' % r.choice(same)
        return '[%s]' % (str(size) if r.random() < 0.8 else '%d * sizeof(char)' % size)


    # -- strings -------------------------------------------------------------

    def string_literal(self, prefix):
        r = self.r
        pieces = ['ab', 'Hello', ' ', '\\x41', '\\101', '\\n', '\\"', '\\\\', '\\0', '\u00e9', '\\u00e9', '\\xff',
                  '\\t', '\\U0001F600', '?', "'"]
        parts = [''.join(r.choice(pieces) for _ in range(r.randrange(0, 4))) for _ in range(r.randrange(1, 3))]
        first = '%s"%s"' % (prefix, parts[0])
        return ' '.join([first] + ['"%s"' % part for part in parts[1:]])

    def string_init(self, prefix, rows):
        r = self.r
        if rows is None and 'STR' in self.fmacros and not prefix and r.random() < 0.3:
            if 'XSTR' in self.fmacros and self.macros and r.random() < 0.5:
                return 'XSTR(%s)' % r.choice(list(self.macros))
            return 'STR(%s)' % r.choice(['hello world', 'a  b', '"q"', "x'y", '1 + 2'])
        text = self.string_literal(prefix)
        return '{%s}' % text if r.random() < 0.15 else text

    def string_array(self, name):
        r = self.r
        spelling = r.choice(['char', 'unsigned char', 'signed char', 'const char', 'uint8_t', 'wchar_t', 'char16_t',
                             'char32_t', 'static const char'])
        prefix = {'wchar_t': 'L', 'char16_t': 'u', 'char32_t': 'U'}.get(spelling, r.choice(['', '', '', 'u8']))
        size = r.choice([None, None, 1, 3, 4, 6, 9])
        if r.random() < 0.3:
            rows = r.randrange(1, 4)
            items = [self.string_init(prefix, size) for _ in range(rows)]
            outer = '[]' if r.random() < 0.5 else '[%d]' % (rows + r.randrange(0, 2))
            return '%s %s%s[%d] = {%s};' % (spelling, name, outer, size or 8, ', '.join(items))
        return '%s %s%s = %s;' % (spelling, name, self.dim_text(size), self.string_init(prefix, None))

    # -- declarations --------------------------------------------------------

    def element_type(self):
        r = self.r
        own = [t for t in self.types]
        if own and r.random() < 0.5:
            return r.choice(own)
        if r.random() < 0.2:
            return (r.choice(FLOAT_TYPES), 'float', None)
        return (r.choice(INT_TYPES), 'int', None)

    def declaration(self, name):
        r = self.r
        if r.random() < 0.15:
            return [self.string_array(name)]
        elem = self.element_type()
        dims = self.dims()
        if r.random() < 0.2 and len(dims) == 1 and elem[1] != 'struct':
            return self.conditional_elements(name, elem)
        attribute = r.choice(['', '', '', ' __attribute__((aligned(4)))', ' __attribute__((unused))'])
        return ['%s %s%s%s = %s;' % (elem[0], name, ''.join(self.dim_text(d) for d in dims), attribute,
                                     self.init_list(dims, elem))]

    def conditional_elements(self, name, elem):
        """An unsized array whose elements sit partly under #if, #ifdef and #else."""
        r = self.r
        lines = ['%s %s[] = {' % (elem[0], name), '    %s,' % self.value(elem[1])]
        for _ in range(r.randrange(1, 3)):
            lines += self.condition_lines() + ['    %s,' % self.value(elem[1]), '#else',
                                               '    %s, %s,' % (self.value(elem[1]), self.value(elem[1])), '#endif']
        lines += ['    %s' % self.value(elem[1]), '};']
        return lines

    def condition_lines(self):
        """One opening directive; its truth is the compiler's business here."""
        r = self.r
        names = list(self.macros) + ['UNSET_1']
        pick = r.randrange(3)
        if pick == 0:
            return ['#ifdef %s' % r.choice(names)]
        if pick == 1:
            return ['#ifndef %s' % r.choice(names)]
        return ['#if %s' % CondBuilder(r, self.macros).build()[0]]

    def alternatives(self, name, depth=0):
        """name defined under an #if/#elif/#else tree; (lines, whether the
        compiler keeps a definition)."""
        r = self.r
        lines, kept, taken = [], False, False
        for k in range(r.randrange(1, 4)):
            cond, truth = CondBuilder(r, self.macros).build()
            if k == 0 and r.random() < 0.3:
                macro = r.choice(list(self.macros) + ['UNSET_2'])
                cond, truth = None, int(macro in self.macros)
                lines.append('#ifdef %s' % macro)
            else:
                lines.append(('#if %s' if k == 0 else '#elif %s') % cond)
            inner, inner_kept = self.branch(name, depth)
            lines += inner
            kept = kept or (truth and not taken and inner_kept)
            taken = taken or bool(truth)
        if r.random() < 0.6:
            lines.append('#else')
            inner, inner_kept = self.branch(name, depth)
            lines += inner
            kept = kept or (not taken and inner_kept)
        lines.append('#endif')
        return lines, kept

    def branch(self, name, depth):
        if depth < 1 and self.r.random() < 0.25:
            return self.alternatives(name, depth + 1)
        return self.declaration(name), True

    def noise(self):
        r = self.r
        return r.choice(['int n = 5;', 'static const int kz = 3;', 'extern const unsigned char ext[];',
                         'struct p { int x; };', 'static int f(void) { return 1; }', 'void g(void);',
                         '/* not an array: x[] = {1, 2}; */', '// char c[] = {9};', 'int *q = 0;'])

    def error(self):
        """An initialiser the compiler refuses or takes only as an extension."""
        return self.r.choice(['static const int kz2 = 4;\nint bad[] = {kz2};', 'int bad[] = {undefined_name};',
                              'char bad[2] = {1, 2, 3};', 'int bad[] = {1 / 0};', 'int bad[] = {1 << 40};',
                              'int bad[-1];', 'int bad[] = {(int)"s"};', 'int bad[] = {1, 2'])

    def build(self):
        """The file's text and its arrays in order, each with whether it is kept."""
        r = self.r
        self.command_options()
        self.object_macros()
        self.function_macros()
        self.conditional_macro()
        self.enum_and_typedefs()
        self.struct_type()
        if r.random() < 0.3:
            self.lines.append(self.noise())
        for k in range(r.choice([1, 1, 2, 3])):
            name = 'a' if k == 0 else 'arr%d' % k
            if r.random() < 0.25:
                lines, kept = self.alternatives(name)
            else:
                lines, kept = self.declaration(name), True
            self.lines += lines
            self.arrays.append((name, kept))
        if r.random() < 0.04:
            self.lines.insert(r.randrange(len(self.lines) + 1), self.error())
            self.arrays.append(('bad', True))
        return '\n'.join(self.lines) + '\n'


def r_positive_float(rng):
    return rng.choice(['1.5', '2.9', '0.5', '99.99', '1e1f'])


def make_case(rng, features):
    """(text, array to compare, -D/-U options, whether morvex is told the array)."""
    builder = FileBuilder(rng, features['define'])
    text = builder.build()
    kept = [name for name, is_kept in builder.arrays if is_kept]
    if features['array']:
        target = rng.choice(kept) if kept else builder.arrays[0][0]
    else:
        target = kept[0] if kept else builder.arrays[0][0]
    return text, target, builder.options


def morvex_args(abi, features, case, path):
    _, target, options = case
    args = ['--abi', abi] if features['abi'] else []
    if features['array']:
        args += ['--array', target]
    for name, value in options:
        args += ['-U', name] if value is None else ['-D', '%s=%s' % (name, value)]
    return args + ['c', str(path)]


def error_in_target(case, error):
    """Whether the compiler's error line lies in the chosen array's declaration
    (from its name to the line that ends it). An error without a line (the
    file's end swallowed by braces left open) is the generator's unclosed
    'bad' array's when the file holds one, else it counts."""
    text, target, _ = case
    found = re.match(r'(\d+):', error)
    if not found:
        return 'int bad[] = {1, 2\n' not in text
    line = int(found.group(1))
    lines = text.split('\n')
    starts = [k for k, source in enumerate(lines, 1) if re.search(r'\b%s\s*\[' % re.escape(target), source)]
    for start in starts:
        end = next((k for k in range(start, len(lines) + 1) if lines[k - 1].rstrip().endswith(';')), len(lines))
        if start <= line <= end:
            return True
    return not starts


class Tally:
    def __init__(self, out):
        self.counts = Counter()
        self.refusals = Counter()
        self.wrong_kinds = Counter()
        self.wrong = []
        self.out = out

    def add(self, case, args, compiled, error, expected, outcome):
        code, data, message = outcome
        if code == 'timeout' or code not in (0, 1):
            self.record_wrong(case, args, 'crash or time-out (%s)' % code, expected, data, message)
        elif code == 0 and not compiled and not error_in_target(case, error):
            self.counts['compiler refused elsewhere, morvex read the array'] += 1
        elif code == 0 and not compiled:
            self.record_wrong(case, args, 'the compiler refused: ' + error, expected, data, message)
        elif compiled and expected is None:
            self.counts['no compiler bytes (generator fault)'] += 1
        elif code == 0 and data != expected:
            self.record_wrong(case, args, 'other bytes', expected, data, message)
        elif code == 0:
            self.counts['same bytes'] += 1
        elif compiled:
            self.counts['refused by morvex'] += 1
            self.refusals[oracle.refusal_class(message)] += 1
        else:
            self.counts['compiler refused and morvex refused'] += 1

    def record_wrong(self, case, args, why, expected, data, message):
        self.counts['WRONG'] += 1
        self.wrong_kinds[why.split(':')[0].split(' (')[0]] += 1
        path = self.out / ('wrong-%d.c' % len(self.wrong))
        self.out.mkdir(parents=True, exist_ok=True)
        path.write_text(case[0], encoding='utf-8', errors='surrogateescape')
        args = args[:-1] + [str(path)]   # the kept copy: the batch's folder goes
        self.wrong.append((path, args, why, expected, data, message, case[0]))


def run_batch(morvex, abi, features, rng, size, tally, work, deadline):
    cases = [make_case(rng, features) for _ in range(size)]
    results = oracle.compile_sources(abi, work, [(text, target, options) for text, target, options in cases])
    done = 0
    for k, (case, (compiled, error, expected)) in enumerate(zip(cases, results)):
        if time.monotonic() > deadline:
            break
        path = work / ('s%d.c' % k)
        args = morvex_args(abi, features, case, path)
        tally.add(case, args, compiled, error, expected, oracle.run_morvex(morvex, args, work))
        done += 1
    return done


def report(tally, total, seed, elapsed):
    print('%d files, seed %d, %.0f s' % (total, seed, elapsed))
    for name in ['same bytes', 'refused by morvex', 'compiler refused and morvex refused',
                 'compiler refused elsewhere, morvex read the array', 'WRONG', 'no compiler bytes (generator fault)']:
        print('  %-40s %d' % (name, tally.counts[name]))
    for kind, count in tally.wrong_kinds.most_common():
        print('    WRONG, %-34s %d' % (kind, count))
    if tally.refusals:
        print('refusals by class:')
        for text, count in tally.refusals.most_common(30):
            print('  %6d  %s' % (count, text))
    for path, args, why, expected, data, message, text in tally.wrong[:20]:
        print('\nWRONG (%s): %s\n  morvex %s' % (why, path, ' '.join(args)))
        print('  compiler: %s' % (oracle.hex_bytes(expected) if expected is not None else '(refused)'))
        print('  morvex:   %s %s' % (oracle.hex_bytes(data), message))
        print('  ' + text.rstrip().replace('\n', '\n  '))
    if len(tally.wrong) > 20:
        print('\n... and %d more wrong cases under %s' % (len(tally.wrong) - 20, tally.out))


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--morvex', required=True)
    parser.add_argument('--abi', default='x86_64-linux', choices=sorted(oracle.PLATFORMS))
    parser.add_argument('--count', type=int)
    parser.add_argument('--seed', type=int)
    parser.add_argument('--minutes', type=float)
    parser.add_argument('--quick', action='store_true', help='seed 1, 300 files, 20 seconds at most')
    parser.add_argument('--out', help='where wrong cases are kept (default: a folder under /tmp)')
    args = parser.parse_args()
    if args.quick:
        args.seed = 1 if args.seed is None else args.seed
        args.count = 300 if args.count is None else args.count
        args.minutes = 1 / 3 if args.minutes is None else args.minutes
    if args.seed is None:
        args.seed = random.SystemRandom().randrange(1 << 31)
    if args.count is None:
        args.count = 10 ** 9 if args.minutes else 500
    return args


def main():
    args = parse_args()
    missing = oracle.missing_tools(args.abi)
    if missing:
        print('skipped: no %s for %s' % (', '.join(missing), args.abi))
        return 0
    morvex = str(Path(args.morvex).resolve())
    out = Path(args.out or tempfile.mkdtemp(prefix='csource-differential-%d-' % args.seed))
    start = time.monotonic()
    deadline = start + (args.minutes * 60 if args.minutes else float('inf'))
    with tempfile.TemporaryDirectory(prefix='csource-differential-') as work:
        features = oracle.probe_features(morvex, Path(work) / 'probe')
        if args.abi != 'x86_64-linux' and not features['abi']:
            print('this morvex takes no --abi: only x86_64-linux can be checked')
            return 2
        taken = ', '.join('--' + name if name != 'define' else '-D' for name in features if features[name])
        print('morvex takes: %s' % (taken or 'none of --abi, --array, -D: the first array is compared'))
        rng, tally, total = random.Random(args.seed), Tally(out), 0
        while total < args.count and time.monotonic() < deadline:
            batch = Path(work) / ('batch%d' % (total // BATCH))
            total += run_batch(morvex, args.abi, features, rng, min(BATCH, args.count - total), tally, batch,
                               deadline)
    report(tally, total, args.seed, time.monotonic() - start)
    return 1 if tally.wrong else 0


if __name__ == '__main__':
    sys.exit(main())
