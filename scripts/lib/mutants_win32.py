"""The Win32 layer's mutation run: each change rebuilds the real plug-in in a
cross-built copy of the project, and the Win32 tests (tests/win32, the DLL
under Wine) decide.

Speed comes from three things:
- Line coverage, measured once per state of the sources (src and the build
  files) and of the test cases (each entry's --gtest_list_tests) in a build
  with --coverage at -O0 (build/mutants32/cover), tells which test cases
  execute each line; --remeasure measures again whatever the state.
  A mutant runs only the tests that execute its line, fastest first, and
  stops at the first failure; a test that never executes the line cannot
  tell the change. A line without code of its own (a constant, a
  declaration) runs every test that executes any line of its file.
- Only the object, the DLL and the test programs linking the objects are
  rebuilt (for a header, whatever includes it). A mutant whose DLL comes out
  byte for byte the same is harmless.

A kill is a failed test case. A test that ends otherwise (a crash, a
timeout, trouble starting Wine) runs once more on the unchanged code: only
when that passes is the change counted killed. After every kill the tree's
Wine prefixes get back the registry they had after the baseline, so that a
mutant's leftovers (a key without rights, say) cannot fail the next one.
- Each work copy builds and runs in a tree of its own, with its own Wine
  prefixes and display, so copies run at once.
"""
import glob
import hashlib
import json
import os
import re
import shutil
import time

from mutation import ROOT, WorkCopy, built, run, sync_copy

WORK = os.path.join(ROOT, 'build', 'mutants32')
# What a cross build and its tests read: the guide's examples check the
# documents with the presets of tests/docs, and the tests run through
# scripts/wine-run. The unit tests and fuzzers are the portable run's.
TOPS = ('CMakeLists.txt', 'cmake', 'src', 'tests/win32', 'tests/docs', 'tools', 'scripts', 'README.md', 'docs')
TOOLCHAIN = 'cmake/mingw-i686.cmake'
GCOV = 'i686-w64-mingw32-gcov-posix'
# Say nothing of the plug-in's behaviour: one rebuilds it from another copy,
# the other reads its import table (which a changed operator or constant
# cannot alter, and which the coverage build's own imports would fail).
SKIPPED_TESTS = {'reproducible_plugin', 'plugin_imports'}


def test_env(extra):
    """The environment of a test: the caller's, without a display (each tree
    starts an Xvfb of its own, so that no copy paints over another's
    windows) and without the prefix choices the ctest entries make. The
    accessibility test's heap check walks 20 times instead of 250, and the
    soak makes 60 calls instead of 300: a change that leaks 200 bytes a walk,
    or anything a call, still fails them, in a fraction of the time."""
    env = {k: v for k, v in os.environ.items() if k not in ('DISPLAY', 'WINE_DPI', 'WINE_DIALOG_FONT')}
    env['XELM_ACCESSIBILITY_WALKS'] = '20'
    env['XELM_SOAK_CALLS'] = '60'
    for assignment in extra:
        name, _, value = assignment.partition('=')
        env[name] = value
    return env


def list_tests(build):
    """The tree's ctest entries as {name, command, env, target}: `target`
    names the test program to rebuild, or None for a script."""
    status, out = run(['ctest', '--show-only=json-v1'], build, 120)
    if status != 0:
        raise SystemExit(out + '\nctest cannot list the Win32 tests')
    tests = []
    for t in json.loads(out)['tests']:
        if t['name'] in SKIPPED_TESTS or 'command' not in t:
            continue
        env = []
        for p in t.get('properties', []):
            if p['name'] == 'ENVIRONMENT':
                env += p['value']
        program = t['command'][-1]
        gtest = program.endswith('.exe')
        tests.append({'name': t['name'], 'command': t['command'] + (['--gtest_fail_fast', '--gtest_brief=1'] if gtest else []),
                      'env': env, 'target': os.path.basename(program)[:-4] if gtest else None})
    return tests


def configure(copy, build, coverage):
    cache = os.path.join(build, 'CMakeCache.txt')
    if os.path.exists(os.path.join(build, 'build.ninja')) and (
            not coverage or 'XELM_COVERAGE:BOOL=ON' in open(cache, encoding='utf-8', errors='replace').read()):
        return
    # XELM_COVERAGE keeps the build's per-file optimisation off the -O0.
    flags = ['-DCMAKE_BUILD_TYPE=Debug', '-DCMAKE_CXX_FLAGS_DEBUG=-O0 --coverage', '-DXELM_COVERAGE:BOOL=ON',
             '-DCMAKE_SHARED_LINKER_FLAGS=--coverage', '-DCMAKE_EXE_LINKER_FLAGS=--coverage'] if coverage else []
    status, out = run(['cmake', '-G', 'Ninja', '-S', copy, '-B', build,
                       '-DCMAKE_TOOLCHAIN_FILE=' + os.path.join(copy, TOOLCHAIN)] + flags, copy, 600)
    if status != 0:
        raise SystemExit(out + '\ncannot configure ' + build)


def object_of(build, rel):
    return os.path.join(build, 'CMakeFiles', 'xelm_objects.dir', rel + '.obj')


def dll_of(build):
    return os.path.join(build, 'bin', 'XELMCalendar.fmx')


# What decides which lines there are and what code they build to.
BUILT = ('CMakeLists.txt', 'cmake', 'src')


def sources_digest(tops, extra=''):
    """A digest of the files under `tops` (the mutation run's own scripts
    left out) and of `extra`, naming a state of the sources."""
    digest = hashlib.sha256(extra.encode())
    for top in tops:
        source = os.path.join(ROOT, top)
        paths = [source] if os.path.isfile(source) else sorted(
            os.path.join(d, f) for d, _, fs in os.walk(source) for f in fs
            if 'mutant' not in f and 'mutation' not in f and '__pycache__' not in d)
        for path in paths:
            digest.update(path.encode())
            with open(path, 'rb') as f:
                digest.update(f.read())
    return digest.hexdigest()


def gtest_cases(test, build):
    """The full names of the cases of a GoogleTest program's entry."""
    status, out = run(test['command'] + ['--gtest_list_tests'], build, 300, test_env(test['env']))
    if status != 0:
        raise SystemExit(out[-3000:] + f"\ncannot list the cases of {test['name']}")
    cases, suite = [], None
    for line in out.replace('\r', '').split('\n'):
        name = line.split('#')[0].rstrip()
        if not name or name.startswith('Running main'):
            continue
        if not line.startswith(' '):
            suite = name
        elif suite:
            cases.append(suite + name.strip())
    if not cases:
        raise SystemExit(out[-3000:] + f"\n{test['name']} lists no test case")
    return cases


def listed_cases(build):
    """{ctest entry: its cases}, a script's entry with none: what the tests
    of a built tree are, for the coverage's digest."""
    return {t['name']: gtest_cases(t, build) if t['target'] else [] for t in list_tests(build)}


# gtest's summary and its line for each failed case.
RAN = re.compile(r'^\[=+\] (\d+) tests? from .* ran', re.M)
FAILED = re.compile(r'^\[  FAILED  \] \S+\.\S+', re.M)


def cases_ran(out):
    """The number of cases gtest says it ran, or None without its summary."""
    m = RAN.search(out.replace('\r', ''))
    return int(m.group(1)) if m else None


class Coverage:
    """Which test cases execute which lines of the Win32 sources, and how
    long each takes. A unit is a ctest entry and, for a GoogleTest program,
    one of its cases ("entry/Suite.Case"); a script's entry is one unit."""

    def __init__(self, files, log):
        self.copy = os.path.join(WORK, 'cover')
        self.build = os.path.join(self.copy, 'build')
        self.saved = os.path.join(WORK, 'coverage.json')
        self.files = files
        self.log = log

    def load(self, digest, again):
        if os.path.exists(self.saved) and not again:
            with open(self.saved) as f:
                data = json.load(f)
            if data.get('digest') == digest:
                self.data = data
                return
        self.log('measuring which test cases execute which lines (a build with --coverage, then each case once)')
        sync_copy(self.copy, TOPS)
        configure(self.copy, self.build, coverage=True)
        status, out = run(['ninja', '-C', self.build], self.copy, 3600)
        if status != 0:
            raise SystemExit(out[-3000:] + '\nthe coverage build failed')
        data = {'digest': digest, 'seconds': {}, 'lines': {}, 'executable': {}}
        began = time.time()
        for test in list_tests(self.build):
            for case in gtest_cases(test, self.build) if test['target'] else [None]:
                unit = test['name'] + ('/' + case if case else '')
                self.clear_counts()
                started = time.time()
                command = test['command'] + (['--gtest_filter=' + case] if case else [])
                status, out = run(command, self.build, 900, test_env(test['env']))
                data['seconds'][unit] = time.time() - started
                if status != 0:
                    raise SystemExit(out[-3000:] + f'\n{unit} fails in the coverage build')
                if case and cases_ran(out) != 1:
                    raise SystemExit(out[-3000:] + f'\n{unit}: the filter does not run exactly that case')
                for rel, counts in self.line_counts().items():
                    data['executable'][rel] = sorted(set(data['executable'].get(rel, [])) | set(counts))
                    data['lines'].setdefault(rel, {})[unit] = [n for n, c in counts.items() if c > 0]
            self.log(f"  {test['name']}: {time.time() - began:.0f} s so far")
        run(['scripts/wine-run', '--stop', self.build], self.copy, 120)
        with open(self.saved, 'w') as f:
            json.dump(data, f)
        self.data = data

    def clear_counts(self):
        for d, _, fs in os.walk(self.build):
            for f in fs:
                if f.endswith('.gcda'):
                    os.remove(os.path.join(d, f))

    def line_counts(self):
        """{source: {line: count}} for each Win32 source and header the last
        run executed (a header's counts summed over the objects including it)."""
        counts = {}
        for rel in self.files:
            gcda = object_of(self.build, rel)[:-len('.obj')] + '.gcda'
            if not rel.endswith('.cpp') or not os.path.exists(gcda):
                continue
            status, out = run([GCOV, '--json-format', '--stdout', '-o', os.path.dirname(gcda), gcda],
                              os.path.dirname(gcda), 120)
            if status != 0:
                raise SystemExit(out + '\ngcov cannot read ' + gcda)
            for line in out.splitlines():
                if not line.startswith('{'):
                    continue
                for entry in json.loads(line)['files']:
                    named = [f for f in self.files if os.path.normpath(entry['file']).endswith(os.path.normpath(f))]
                    for source in named:
                        mine = counts.setdefault(source, {})
                        for l in entry['lines']:
                            mine[l['line_number']] = mine.get(l['line_number'], 0) + l['count']
        return counts

    def runs_for(self, rel, line):
        """The runs a mutant of `line` of `rel` needs: [(entry, [cases],
        seconds)], one for each ctest entry with a case that executes the
        line (every case that executes the file when the line has no code
        of its own, every case when no line of the file has code), the
        fastest first; `cases` is empty for a script."""
        by_unit = self.data['lines'].get(rel, {})
        if line in self.data['executable'].get(rel, []):
            units = [u for u, lines in by_unit.items() if line in lines]
        elif any(by_unit.values()):
            units = [u for u, lines in by_unit.items() if lines]
        else:
            # A header of constants only has no line any test executes:
            # every test may read them.
            units = list(self.data['seconds'])
        groups = {}
        for unit in units:
            entry, _, case = unit.partition('/')
            group = groups.setdefault(entry, ([], [0.0]))
            if case:
                group[0].append(case)
            group[1][0] += self.data['seconds'][unit]
        return sorted(((entry, cases, seconds[0]) for entry, (cases, seconds) in groups.items()),
                      key=lambda run: run[2])


class Worker(WorkCopy):
    def __init__(self, number):
        super().__init__(os.path.join(WORK, f'copy{number}'))
        self.saved_registry = os.path.join(self.build, 'registry-after-baseline')

    def prepare(self):
        sync_copy(self.copy, TOPS)
        configure(self.copy, self.build, coverage=False)

    def build_all(self):
        status, out = run(['ninja', '-C', self.build], self.copy, 3600)
        if status != 0:
            raise SystemExit(out[-3000:] + '\nthe cross build failed in ' + self.copy)
        self.tests = {t['name']: t for t in list_tests(self.build)}

    def remember_originals(self, files):
        """The unchanged objects (of the .cpp files) and DLL, to tell a
        change that builds to the same code."""
        self.originals = {}
        for rel in files:
            if rel.endswith('.cpp'):
                with open(object_of(self.build, rel), 'rb') as f:
                    self.originals[rel] = f.read()
        with open(dll_of(self.build), 'rb') as f:
            self.original_dll = f.read()

    def run_test(self, name, timeout, cases=()):
        if name not in self.tests:
            raise SystemExit(f'the coverage names the test {name}, which the build no longer has: '
                             'scripts/mutants --remeasure')
        test = self.tests[name]
        command = test['command'] + (['--gtest_filter=' + ':'.join(cases)] if cases else [])
        status, out = run(command, self.build, timeout, test_env(test['env']))
        if status == 'timeout':
            # A hung program may leave its wineserver and display in a
            # state the next test should not inherit.
            self.stop_wine()
        elif status == 0 and cases and cases_ran(out) != len(cases):
            raise SystemExit(out[-3000:] + f'\n{name}: the filter ran {cases_ran(out)} of the {len(cases)} cases '
                             'the coverage names: scripts/mutants --remeasure')
        return status, out

    def stop_wine(self):
        run(['scripts/wine-run', '--stop', self.build], self.copy, 120)

    def prefixes(self):
        return sorted(glob.glob(os.path.join(self.build, 'wine-prefix*')))

    def save_registry(self):
        """Keeps the prefixes' registry files as the baseline left them
        (written out by stopping their wineservers)."""
        self.stop_wine()
        shutil.rmtree(self.saved_registry, ignore_errors=True)
        for prefix in self.prefixes():
            kept = os.path.join(self.saved_registry, os.path.basename(prefix))
            os.makedirs(kept)
            for reg in glob.glob(os.path.join(prefix, '*.reg')):
                shutil.copyfile(reg, os.path.join(kept, os.path.basename(reg)))

    def restore_registry(self):
        """Puts the saved registry files back, with no wineserver running
        that would write its own over them."""
        self.stop_wine()
        for prefix in self.prefixes():
            kept = os.path.join(self.saved_registry, os.path.basename(prefix))
            for reg in glob.glob(os.path.join(kept, '*.reg')):
                shutil.copyfile(reg, os.path.join(prefix, os.path.basename(reg)))

    def baseline(self, digest):
        """Runs every test once without a mutant, unless the copy passed
        them already in this state of the sources; keeps the registry the
        tests leave."""
        marker = os.path.join(self.build, 'baseline-passed')
        if os.path.exists(marker) and open(marker).read() == digest and os.path.isdir(self.saved_registry):
            return
        for name in self.tests:
            status, out = self.run_test(name, 900)
            if status != 0:
                raise SystemExit(out[-3000:] + f'\n{name} fails in {self.copy} without any mutant')
        self.save_registry()
        with open(marker, 'w') as f:
            f.write(digest)

    def build_targets(self, targets, timeout):
        return built(run(['ninja', '-C', self.build] + targets, self.copy, timeout)[0])

    def passes_unchanged(self, entry, cases, timeout):
        """Whether `entry` passes on the unchanged code (the source put
        back, its object, the DLL and the entry's program rebuilt)."""
        self.restore()
        target = self.tests[entry]['target']
        if self.build_targets(['XELMCalendar'] + ([target] if target else []), 600) != 'built':
            return False
        status, _ = self.run_test(entry, timeout, cases)
        self.restore_registry()
        return status == 0

    def try_mutant(self, mutant, runs, stopping):
        """Sets mutant['result'] to uncompiled, build timeout, same code,
        killed, survived or inconclusive, and mutant['by'] to the test that
        failed. `runs` are Coverage.runs_for's."""
        self.write_mutant(mutant)
        header = mutant['file'].endswith('.h')
        if not header:
            target = os.path.relpath(object_of(self.build, mutant['file']), self.build)
            mutant['result'] = self.build_targets([target], 300)
            if mutant['result'] != 'built':
                return
            with open(object_of(self.build, mutant['file']), 'rb') as f:
                if f.read() == self.originals[mutant['file']]:
                    mutant['result'] = 'same code'
                    return
        targets = ['XELMCalendar'] + sorted({self.tests[e]['target'] for e, _, _ in runs
                                              if e in self.tests and self.tests[e]['target']})
        mutant['result'] = self.build_targets(targets, 900 if header else 600)
        if mutant['result'] != 'built':
            return
        with open(dll_of(self.build), 'rb') as f:
            if f.read() == self.original_dll:
                mutant['result'] = 'same code'
                return
        mutant['result'] = 'survived'
        for entry, cases, seconds in runs:
            timeout = max(60.0, 4 * seconds)
            status, out = self.run_test(entry, timeout, cases)
            if stopping.is_set():
                mutant['result'] = 'interrupted'
                return
            if status == 0:
                continue
            self.restore_registry()
            failed = FAILED.search(out.replace('\r', '')) if self.tests[entry]['target'] else None
            if not failed and not self.passes_unchanged(entry, cases, timeout):
                mutant['result'] = 'inconclusive'
                mutant['by'] = entry + f' (ends with {status} on the unchanged code too)'
                return
            mutant['result'] = 'killed'
            how = failed.group(0).split('] ')[1] if failed else f'{cases[0] if cases else entry}, exit {status}'
            mutant['by'] = entry + f' ({how}{" ..." if len(cases) > 1 and not failed else ""})'
            return

    def finish(self):
        self.restore()
        self.stop_wine()
