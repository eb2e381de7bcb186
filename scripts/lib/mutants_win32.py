"""The Win32 layer's mutation run: each change rebuilds the real plug-in in a
cross-built copy of the project, and the Win32 tests (tests/win32, the DLL
under Wine) decide.

Speed comes from three things:
- Line coverage, measured once per state of the sources (src and the build
  files; --remeasure measures again after tests were added) in a build with
  --coverage (build/mutants32/cover), tells which test cases execute each
  line.
  A mutant runs only the tests that execute its line, fastest first, and
  stops at the first failure; a test that never executes the line cannot
  tell the change. A line without code of its own (a constant, a
  declaration) runs every test that executes any line of its file.
- Only the object, the DLL and the test programs linking the objects are
  rebuilt. A mutant whose DLL comes out byte for byte the same is harmless.
- Each work copy builds and runs in a tree of its own, with its own Wine
  prefixes and display, so copies run at once.
"""
import hashlib
import json
import os
import time

from mutation import ROOT, WorkCopy, run, sync_copy

WORK = os.path.join(ROOT, 'build', 'mutants32')
# What a cross build and its tests read: the guide's examples check the
# documents with the presets of tests/docs, and the tests run through
# scripts/wine-run. The unit tests and fuzzers are the portable run's.
TOPS = ('CMakeLists.txt', 'cmake', 'src', 'tests/win32', 'tests/docs', 'tools', 'scripts', 'README.md', 'docs')
TOOLCHAIN = 'cmake/mingw-i686.cmake'
GCOV = 'i686-w64-mingw32-gcov-posix'
# Rebuilds the plug-in from another copy: says nothing of its behaviour.
SKIPPED_TESTS = {'reproducible_plugin'}


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
    if os.path.exists(os.path.join(build, 'build.ninja')):
        return
    flags = ['-DCMAKE_BUILD_TYPE=Debug', '-DCMAKE_CXX_FLAGS_DEBUG=-O0 --coverage',
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


def sources_digest(tops):
    """A digest of the files under `tops` (the mutation run's own scripts
    left out), naming a state of the sources."""
    digest = hashlib.sha256()
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
    return cases


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
        """{source: {line: count}} for each Win32 source the last run executed."""
        counts = {}
        for rel in self.files:
            gcda = object_of(self.build, rel)[:-len('.obj')] + '.gcda'
            if not os.path.exists(gcda):
                continue
            status, out = run([GCOV, '--json-format', '--stdout', '-o', os.path.dirname(gcda), gcda],
                              os.path.dirname(gcda), 120)
            if status != 0:
                raise SystemExit(out + '\ngcov cannot read ' + gcda)
            for line in out.splitlines():
                if not line.startswith('{'):
                    continue
                for entry in json.loads(line)['files']:
                    if os.path.normpath(entry['file']).endswith(os.path.normpath(rel)):
                        mine = counts.setdefault(rel, {})
                        for l in entry['lines']:
                            mine[l['line_number']] = mine.get(l['line_number'], 0) + l['count']
        return counts

    def runs_for(self, rel, line):
        """The runs a mutant of `line` of `rel` needs: [(entry, [cases],
        seconds)], one for each ctest entry with a case that executes the
        line (every case that executes the file when the line has no code
        of its own), the fastest first; `cases` is empty for a script."""
        by_unit = self.data['lines'].get(rel, {})
        if line in self.data['executable'].get(rel, []):
            units = [u for u, lines in by_unit.items() if line in lines]
        else:
            units = [u for u, lines in by_unit.items() if lines]
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

    def prepare(self):
        sync_copy(self.copy, TOPS)
        configure(self.copy, self.build, coverage=False)

    def build_all(self):
        status, out = run(['ninja', '-C', self.build], self.copy, 3600)
        if status != 0:
            raise SystemExit(out[-3000:] + '\nthe cross build failed in ' + self.copy)
        self.tests = {t['name']: t for t in list_tests(self.build)}

    def remember_originals(self, files):
        self.originals = {}
        for rel in files:
            with open(object_of(self.build, rel), 'rb') as f:
                self.originals[rel] = f.read()
        with open(dll_of(self.build), 'rb') as f:
            self.original_dll = f.read()

    def run_test(self, name, timeout, cases=()):
        test = self.tests[name]
        command = test['command'] + (['--gtest_filter=' + ':'.join(cases)] if cases else [])
        status, out = run(command, self.build, timeout, test_env(test['env']))
        if status == 'timeout':
            # A hung program may leave its wineserver and display in a
            # state the next test should not inherit.
            run(['scripts/wine-run', '--stop', self.build], self.copy, 120)
        return status, out

    def baseline(self, digest):
        """Runs every test once without a mutant, unless the copy passed
        them already in this state of the sources."""
        marker = os.path.join(self.build, 'baseline-passed')
        if os.path.exists(marker) and open(marker).read() == digest:
            return
        for name in self.tests:
            status, out = self.run_test(name, 900)
            if status != 0:
                raise SystemExit(out[-3000:] + f'\n{name} fails in {self.copy} without any mutant')
        with open(marker, 'w') as f:
            f.write(digest)

    def try_mutant(self, mutant, runs, stopping):
        """Sets mutant['result'] to uncompiled, same code, killed or
        survived, and mutant['by'] to the test that failed. `runs` are
        Coverage.runs_for's."""
        self.write_mutant(mutant)
        target = os.path.relpath(object_of(self.build, mutant['file']), self.build)
        if run(['ninja', '-C', self.build, target], self.copy, 300)[0] != 0:
            mutant['result'] = 'uncompiled'
            return
        with open(object_of(self.build, mutant['file']), 'rb') as f:
            if f.read() == self.originals[mutant['file']]:
                mutant['result'] = 'same code'
                return
        targets = ['XELMCalendar'] + sorted({self.tests[e]['target'] for e, _, _ in runs if self.tests[e]['target']})
        if run(['ninja', '-C', self.build] + targets, self.copy, 600)[0] != 0:
            mutant['result'] = 'uncompiled'
            return
        with open(dll_of(self.build), 'rb') as f:
            if f.read() == self.original_dll:
                mutant['result'] = 'same code'
                return
        mutant['result'] = 'survived'
        for entry, cases, seconds in runs:
            status, _ = self.run_test(entry, max(60.0, 4 * seconds), cases)
            if stopping.is_set():
                mutant['result'] = 'interrupted'
                return
            if status != 0:
                mutant['result'] = 'killed'
                mutant['by'] = entry + (f' ({cases[0]}{" ..." if len(cases) > 1 else ""})' if cases else '')
                return

    def finish(self):
        self.restore()
        run(['scripts/wine-run', '--stop', self.build], self.copy, 120)
