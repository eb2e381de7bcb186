"""The portable layer's mutation run: each change rebuilds the native unit
tests in a Debug copy with the address and undefined-behaviour sanitizers
(so an overrun the tests drive counts as caught) and runs them, stopping at
the first failure."""
import os
import shutil
import time

from mutation import ROOT, WorkCopy, built, run, sync_copy

WORK = os.path.join(ROOT, 'build', 'mutants')
TOPS = ('CMakeLists.txt', 'cmake', 'src', 'tests', 'tools')
SANITIZERS = '-fsanitize=address,undefined -fno-sanitize-recover=all'


class Worker(WorkCopy):
    def __init__(self, number):
        super().__init__(os.path.join(WORK, f'copy{number}'))
        self.exe = os.path.join(self.build, 'tests', 'unit', 'unit_tests')

    def prepare(self):
        sync_copy(self.copy, TOPS)
        if not os.path.exists(os.path.join(self.build, 'build.ninja')):
            env = dict(os.environ, CC='clang', CXX='clang++')
            # -O0 without debug information and lld: the fastest rebuild of
            # one file plus the link.
            linker = ' -fuse-ld=lld' if shutil.which('ld.lld') else ''
            status, out = run(['cmake', '-G', 'Ninja', '-S', self.copy, '-B', self.build, '-DCMAKE_BUILD_TYPE=Debug',
                               '-DCMAKE_CXX_FLAGS_DEBUG=-O0 ' + SANITIZERS,
                               '-DCMAKE_EXE_LINKER_FLAGS=' + SANITIZERS + linker], self.copy, 600, env)
            if status != 0:
                raise SystemExit(out + '\ncannot configure ' + self.build)

    def build_all(self):
        status, out = run(['ninja', '-C', self.build, 'unit_tests'], self.copy, 1800)
        if status != 0:
            raise SystemExit(out[-3000:] + '\nthe unit tests do not build')

    def object_of(self, rel):
        return os.path.join(self.build, 'CMakeFiles', 'xelm_core.dir', rel + '.o')

    def remember_originals(self, files):
        self.originals = {}
        for rel in files:
            with open(self.object_of(rel), 'rb') as f:
                self.originals[rel] = f.read()

    def baseline(self):
        """Runs the tests once; returns the time a mutant's run may take."""
        start = time.time()
        status, out = run([self.exe, '--gtest_brief=1'], self.build, 300)
        if status != 0:
            raise SystemExit(out[-3000:] + '\nthe unit tests fail without any mutant')
        self.test_timeout = max(10.0, 10 * (time.time() - start))
        return self.test_timeout

    def try_mutant(self, mutant, stopping):
        self.write_mutant(mutant)
        target = os.path.relpath(self.object_of(mutant['file']), self.build)
        mutant['result'] = built(run(['ninja', '-C', self.build, target], self.copy, 60)[0])
        if mutant['result'] != 'built':
            return
        with open(self.object_of(mutant['file']), 'rb') as f:
            if f.read() == self.originals[mutant['file']]:
                mutant['result'] = 'same code'
                return
        mutant['result'] = built(run(['ninja', '-C', self.build, 'unit_tests'], self.copy, 120)[0])
        if mutant['result'] != 'built':
            return
        status, _ = run([self.exe, '--gtest_fail_fast', '--gtest_brief=1'], self.build, self.test_timeout)
        if stopping.is_set():
            mutant['result'] = 'interrupted'
        else:
            mutant['result'] = 'survived' if status == 0 else 'killed'

    def finish(self):
        self.restore()
