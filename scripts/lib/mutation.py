"""What both mutation runs share: the changes drawn from a source, the work
copies, the listing of harmless survivors and the report.

A change is one operator or one constant on one line, outside comments,
strings and preprocessor lines. A run prints a survivor as
`file:line: change in `the line``, and a listing of a harmless survivor is
that line followed by `: why no input can tell`. It is found again by its
file, its change and its line's text (without the blanks around it), so it
survives edits elsewhere in the file; the line number only tells apart
lines of equal text.
"""
import filecmp
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# (pattern over the masked line, replacement or None for "literal + 1").
# Relational operators count only with a space on each side: that is how
# the sources write a comparison, and it keeps template brackets, shifts and
# arrows out. Binary arithmetic needs an operand on each side (a masked
# character literal counts as one), which keeps unary minus out.
BINARY_LEFT = r'(?<=[\w\)\]] )'
BINARY_RIGHT = r'(?= [\w\(])'
OPERATORS = [
    (r'(?<= )==(?= )', '!='), (r'(?<= )!=(?= )', '=='),
    (r'(?<= )<=(?= )', '<'), (r'(?<= )>=(?= )', '>'),
    (r'(?<= )<(?= )', '<='), (r'(?<= )>(?= )', '>='),
    (r'&&', '||'), (r'\|\|', '&&'),
    (BINARY_LEFT + r'\+' + BINARY_RIGHT, '-'), (BINARY_LEFT + r'-' + BINARY_RIGHT, '+'),
    (BINARY_LEFT + r'\*' + BINARY_RIGHT, '/'), (BINARY_LEFT + r'/' + BINARY_RIGHT, '*'),
    (BINARY_LEFT + r'%' + BINARY_RIGHT, '*'),
    (r'\btrue\b', 'false'), (r'\bfalse\b', 'true'),
    (r'(?<![\w.])\d+(?![\w.])', None),
    (r'\+\+', '--'), (r'--', '++'),
    (r'!(?=[\w\(])', ''),
]


def masked_lines(text):
    """The lines with comments blanked and string and character literals
    turned into same-length runs of '_' (an operand, never an operator)."""
    out, in_block = [], False
    for line in text.split('\n'):
        chars, i = list(line), 0
        while i < len(chars):
            if in_block:
                end = line.find('*/', i)
                stop = len(chars) if end < 0 else end + 2
                chars[i:stop] = ' ' * (stop - i)
                in_block, i = end < 0, stop
            elif line.startswith('/*', i):
                in_block = True
            elif line.startswith('//', i):
                chars[i:] = ' ' * (len(chars) - i)
                break
            elif chars[i] in '"\'':
                quote, j = chars[i], i + 1
                while j < len(chars) and chars[j] != quote:
                    j += 2 if chars[j] == '\\' else 1
                j = min(j + 1, len(chars))
                chars[i:j] = '_' * (j - i)
                i = j
            else:
                i += 1
        masked = ''.join(chars)
        stripped = masked.strip()
        if stripped.startswith('#') or stripped.startswith('static_assert'):
            masked = ' ' * len(masked)
        out.append(masked)
    return out


def describe(line, code, start, end, new):
    """`before` -> `after`: the changed token with whole neighbouring words
    of the line's code (`code`: the line, its comment blanked) until the
    quoted text occurs once on it."""
    words = [(m.start(), m.end()) for m in re.finditer(r'\S+', line[:len(code.rstrip())])]
    first = next(k for k, (s, e) in enumerate(words) if e > start)
    last = next(k for k, (s, e) in enumerate(words) if e >= end)
    if words[last][1] - words[first][0] - (end - start) <= 2:
        # a bare operator or a literal with a bracket: quote its operands too
        first, last = max(first - 1, 0), min(last + 1, len(words) - 1)
    while True:
        lo, hi = words[first][0], words[last][1]
        before = line[lo:hi]
        unique = line.count(before) == 1 and before != line[start:end]
        if unique or (first == 0 and last == len(words) - 1):
            break
        first, last = max(first - 1, 0), min(last + 1, len(words) - 1)
    after = line[lo:start] + new + line[end:hi]
    return f'`{before}` -> `{after}`'


def candidates(rel, text):
    lines = text.split('\n')
    found = []
    for index, masked in enumerate(masked_lines(text)):
        for pattern, replacement in OPERATORS:
            for m in re.finditer(pattern, masked):
                new = str(int(m.group(0)) + 1) if replacement is None else replacement
                line = lines[index]
                mutated = line[:m.start()] + new + line[m.end():]
                found.append({'file': rel, 'line': index + 1, 'index': index, 'text': line,
                              'mutated': mutated, 'change': describe(line, masked, m.start(), m.end(), new)})
    return found


# Children now running, so that an interruption can end them all.
RUNNING = set()
RUNNING_LOCK = threading.Lock()


def run(cmd, cwd, timeout, env=None):
    """(exit status or 'timeout', output). The command runs in a process
    group of its own, ended whole on a timeout or by stop_all: a program
    under Wine leaves its wine processes behind otherwise. A command that
    ends by itself keeps what it started (a tree's Xvfb and wineserver,
    which the next command reuses)."""
    child = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             start_new_session=True)
    with RUNNING_LOCK:
        RUNNING.add(child)
    try:
        out, _ = child.communicate(timeout=timeout)
        return child.returncode, out.decode(errors='replace')
    except subprocess.TimeoutExpired:
        kill_group(child)
        child.wait()
        return 'timeout', ''
    finally:
        with RUNNING_LOCK:
            RUNNING.discard(child)


def built(status):
    """What a build's exit status (run's) makes of a mutant: 'built',
    'uncompiled', or 'build timeout', which the report counts as not killed."""
    return 'built' if status == 0 else 'build timeout' if status == 'timeout' else 'uncompiled'


def kill_group(child):
    try:
        os.killpg(child.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


def stop_all():
    """Ends every running command (a first Ctrl-C): the workers then put
    their mutated line back and stop."""
    with RUNNING_LOCK:
        children = list(RUNNING)
    for child in children:
        kill_group(child)


def sync_copy(copy, tops):
    """Make copy/ hold the checkout's files under `tops`, writing only files
    that differ so that the build there stays incremental. A written file
    takes the time of the copy, not the checkout's: a mutant's object left
    behind by an interrupted run is then older than the restored source,
    and gets rebuilt."""
    wanted = set()
    for top in tops:
        source = os.path.join(ROOT, top)
        paths = [top] if os.path.isfile(source) else [
            os.path.relpath(os.path.join(d, f), ROOT) for d, _, fs in os.walk(source) for f in fs]
        for rel in paths:
            wanted.add(rel)
            target = os.path.join(copy, rel)
            if not os.path.exists(target) or not filecmp.cmp(os.path.join(ROOT, rel), target, False):
                os.makedirs(os.path.dirname(target), exist_ok=True)
                shutil.copyfile(os.path.join(ROOT, rel), target)
                shutil.copymode(os.path.join(ROOT, rel), target)
    for top in tops:
        for d, _, fs in os.walk(os.path.join(copy, top)):
            for f in fs:
                if os.path.relpath(os.path.join(d, f), copy) not in wanted:
                    os.remove(os.path.join(d, f))


def draw(mutants, sample, seed):
    """All the mutants, or `sample` of them drawn with `seed`, spread over
    the files in turn so that each file gets its share (a file with fewer
    changes than its share gives them all). A sample keeps the order in
    which it was drawn, one file after the other, so that a run stopped
    early has tried every file about as often."""
    if not sample or sample >= len(mutants):
        return mutants
    chance = random.Random(seed)
    by_file = {}
    for m in mutants:
        by_file.setdefault(m['file'], []).append(m)
    pools = [chance.sample(ms, len(ms)) for _, ms in sorted(by_file.items())]
    drawn = []
    while len(drawn) < sample:
        for pool in pools:
            if pool and len(drawn) < sample:
                drawn.append(pool.pop())
    return drawn


# A survivor as a run prints it, optionally followed by the reason it is
# harmless: `file:line: `before` -> `after` in `the line`: why`.
LISTING = re.compile(r'^(\S+?):(\d+): (`.*?` -> `.*?`) in `(.*?)`(?:: (.+))?$')


def printed(m):
    return f"{m['file']}:{m['line']}: {m['change']} in `{m['text'].strip()}`"


def key(m):
    """What a listing and a mutant share: the file, the change and the
    line's text."""
    return (m['file'], m['change'], m['text'].strip())


def parse_listing(line, where, reason):
    """The entry of one `file:line: change in `the line`[: why]` line; exits
    with `where` named when the line does not read so (or lacks the reason
    when one is needed)."""
    m = LISTING.match(line)
    if not m or (reason and not m.group(5)):
        sys.exit(f'{where}: not `file:line: change in `the line`' + (': why`' if reason else '`') + f': {line}')
    return {'file': m.group(1), 'line': int(m.group(2)), 'change': m.group(3), 'text': m.group(4),
            'raw': line, 'used': None}


def read_lines(path, reason):
    """The entries of a list file: its lines other than blank ones and
    comments (#), each parsed by parse_listing."""
    entries = []
    if not os.path.exists(path):
        return entries
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.startswith('#'):
                continue
            entry = parse_listing(line, f'{path}:{number}', reason)
            entry['at'] = number
            entries.append(entry)
    return entries


def read_list(path):
    return read_lines(path, reason=True)


def match_listed(mutants, entries):
    """Pairs each mutant tried with a listing of the same file, change and
    line text, the closest pairs by line number first, so that where lines
    of equal text offer the same change each listing goes to its own line.
    A survivor's pair explains it; any other pair is stale."""
    pairs = sorted((abs(e['line'] - s['line']), i, j) for i, s in enumerate(mutants)
                   for j, e in enumerate(entries) if key(e) == key(s))
    for _, i, j in pairs:
        s, e = mutants[i], entries[j]
        if e['used'] is None and 'listed' not in s:
            e['used'] = s
            s['listed'] = e


def renumber(path, entries):
    with open(path, encoding='utf-8') as f:
        lines = f.read().split('\n')
    for e in entries:
        if e.get('new_line', e['line']) != e['line']:
            lines[e['at'] - 1] = re.sub(r'^(\S+?):\d+:', lambda m: f"{m.group(1)}:{e['new_line']}:",
                                        lines[e['at'] - 1], count=1)
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines))


# Results that leave a change out of the score: it did not compile.
UNCOUNTED = ('uncompiled',)


def report(files, mutants, everything, list_path, renumbering):
    """Prints the score per file and in total, the survivors no listing
    explains, the listings that explain nothing any more, and the changes
    the run could not decide; returns the exit status (1 when any of these
    exists). `everything` holds every change the files offer, so that a
    listing whose change is gone counts as stale even when the sample did
    not draw it. A build that timed out counts as not killed."""
    entries = read_list(list_path)
    match_listed(mutants, entries)
    survivors = [m for m in mutants if m['result'] == 'survived']
    total = {'killed': 0, 'counted': 0}
    print()
    for rel in files:
        mine = [m for m in mutants if m['file'] == rel]
        if not mine:
            continue
        killed = sum(m['result'] == 'killed' for m in mine)
        counted = sum(m['result'] not in UNCOUNTED for m in mine)
        listed = sum(1 for m in survivors if m['file'] == rel and m.get('listed'))
        same = sum(m['result'] == 'same code' for m in mine)
        undecided = sum(m['result'] in ('build timeout', 'inconclusive') for m in mine)
        total['killed'] += killed
        total['counted'] += counted
        score = 100.0 * killed / counted if counted else 100.0
        print(f'{rel}: {killed}/{counted} killed = {score:.1f}%'
              f' ({len(mine) - counted} did not compile, {same} same code, {listed} listed as equivalent'
              + (f', {undecided} undecided' if undecided else '') + ')')
    score = 100.0 * total['killed'] / total['counted'] if total['counted'] else 100.0
    print(f"TOTAL {total['killed']}/{total['counted']} killed = {score:.1f}%")
    # The share that matters: of the changes that alter the built code, and
    # of those less the ones listed as harmless (what no input tells apart).
    altering = total['counted'] - sum(m['result'] == 'same code' for m in mutants if m['file'] in files)
    harmless = sum(1 for m in survivors if m.get('listed'))

    def share(n, d):
        return f'{n}/{d} = {100.0 * n / d:.1f}%' if d else 'none'
    print(f"  of the changes that alter the code: {share(total['killed'], altering)} killed; "
          f"leaving out the {harmless} listed as harmless: {share(total['killed'], altering - harmless)}")

    unexplained = [m for m in survivors if not m.get('listed')]
    if unexplained:
        print(f'\n{len(unexplained)} survivors not listed as equivalent:')
        for m in unexplained:
            print(printed(m))
    undecided = [m for m in mutants if m['result'] in ('build timeout', 'inconclusive')]
    if undecided:
        print(f'\n{len(undecided)} changes not decided (counted as not killed): a build that timed out, or a test '
              'that failed without a failed case and failed on the unchanged code too:')
        for m in undecided:
            print(f"{printed(m)}: {m['result']}")
    # A listing is stale when the run tried the change of its own line and
    # that change did not survive, or when its file no longer offers it.
    offered = {key(m) for m in everything}
    stale = [e for e in entries if e['file'] in files
             and ((e['used'] is not None and e['used']['result'] != 'survived') or key(e) not in offered)]
    if stale:
        print(f'\n{len(stale)} listed as equivalent but no longer a survivor (killed, or the code changed):')
        for e in stale:
            print(f"{os.path.relpath(list_path, ROOT)}:{e['at']}: {e['raw']}")
    for m in survivors:
        if m.get('listed'):
            m['listed']['new_line'] = m['line']
    moved = [e for e in entries if e.get('new_line', e['line']) != e['line']]
    if moved and renumbering:
        renumber(list_path, entries)
        print(f'\n{len(moved)} line numbers of the equivalent list brought up to date')
    elif moved:
        print(f'\n{len(moved)} listings have moved lines (scripts/mutants --renumber updates them)')
    return 1 if unexplained or stale or undecided else 0


class WorkCopy:
    """A copy of the project where one source at a time holds a mutant."""

    def __init__(self, copy):
        self.copy = copy
        self.build = os.path.join(copy, 'build')
        self.current = None  # (path, original text) of the file now mutated

    def write_mutant(self, mutant):
        path = os.path.join(self.copy, mutant['file'])
        if not self.current or self.current[0] != path:
            self.restore()
            with open(path, encoding='utf-8', newline='') as f:
                self.current = (path, f.read())
        lines = self.current[1].split('\n')
        lines[mutant['index']] = mutant['mutated']
        with open(path, 'w', encoding='utf-8', newline='') as f:
            f.write('\n'.join(lines))

    def restore(self):
        """Puts the mutated file back, newer than the mutant's object, so
        that the next build remakes it."""
        if self.current:
            path, text = self.current
            with open(path, 'w', encoding='utf-8', newline='') as f:
                f.write(text)
            self.current = None
