# Started as `python3 -c <this> APY-ARGUMENTS`: APy unchanged, but guarded.
# APy has no option to bind one address, to serve only some of its pages or
# to demand a password, and among its pages is one that fetches any URL it is
# given. So it is bound to loopback only, serves only the pair list and
# translation (of texts, and of documents through the handler below), and
# only to callers that send the key passed in its environment (which other
# users cannot read, unlike a command line): anyone else gets 403.
#
# Documents reach the converter already repacked by the service; the
# converter is a set of shell scripts that unzip, rewrite and zip, so it
# runs boxed as well: only its scratch folder writable, nothing of the
# home, no network, its own process namespace, and a time budget after
# which everything it started is killed.
import hmac, logging, os, shutil, signal, ssl, subprocess, sys, sysconfig, tempfile

# Tornado makes its default TLS contexts as it is imported, reading every
# certificate authority of the system: a quarter of APy's start, for TLS
# it never speaks here (no page it fetches is served). Made bare instead,
# any TLS client it would start fails closed, trusting nobody.
_default_context = ssl.create_default_context


def bare_context(purpose=ssl.Purpose.SERVER_AUTH, *args, **kwargs):
    client = purpose == ssl.Purpose.SERVER_AUTH
    return ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT if client else ssl.PROTOCOL_TLS_SERVER)


ssl.create_default_context = bare_context
import tornado.ioloop, tornado.process as tp, tornado.tcpserver as t, tornado.web as w

ssl.create_default_context = _default_context

logging.getLogger('tornado.access').setLevel(logging.WARNING)
_bind = t.TCPServer.bind


def bind(self, port, address=None, *args, **kwargs):
    return _bind(self, port, '127.0.0.1', *args, **kwargs)


t.TCPServer.bind = bind
key = os.environ.pop('VERZ_APY_KEY', '').encode()
budget = float(os.environ.pop('VERZ_CONVERTER_SECONDS', '') or 60)
from apertium_apy.handlers.translate_doc import TranslateDocHandler

FORMATS = ('txt', 'html-noent', 'rtf', 'odt', 'odp', 'docx', 'pptx', 'xlsx')


def box(scratch, readable):
    line = ['bwrap', '--unshare-all', '--die-with-parent', '--new-session', '--clearenv',
            '--ro-bind', '/usr', '/usr', '--symlink', 'usr/bin', '/bin',
            '--symlink', 'usr/lib', '/lib', '--symlink', 'usr/lib64', '/lib64',
            '--symlink', 'usr/sbin', '/sbin',
            '--ro-bind-try', '/etc/alternatives', '/etc/alternatives',
            '--ro-bind-try', '/etc/ld.so.cache', '/etc/ld.so.cache',
            '--proc', '/proc', '--dev', '/dev', '--bind', scratch, '/tmp',
            '--setenv', 'PATH', '/usr/bin:/bin', '--setenv', 'HOME', '/tmp',
            '--setenv', 'TMPDIR', '/tmp',
            '--setenv', 'LC_ALL', os.environ.get('LC_ALL') or 'C.UTF-8', '--chdir', '/tmp']
    for folder in readable:
        if not folder.startswith('/usr/'):
            line += ['--ro-bind', folder, folder]
    return line + ['--']


def box_starts():
    scratch = tempfile.mkdtemp(prefix='box-')
    try:
        return subprocess.run(box(scratch, []) + ['true'], stdin=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=20).returncode == 0
    except (OSError, subprocess.SubprocessError):
        return False
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


boxed = shutil.which('bwrap') is not None and box_starts()
if not boxed:
    print('verzolan: bwrap cannot start here (no user namespaces?): document converters run '
          'unboxed, within their time budget', file=sys.stderr, flush=True)


class Doc(TranslateDocHandler):
    proc = None
    over_time = False

    def end_group(self):
        # The converter's whole session: in the box, killing bwrap ends its
        # process namespace and all in it; out of it, the session is its group.
        if self.proc is not None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass

    def out_of_time(self):
        self.over_time = True
        self.end_group()

    def on_connection_close(self):
        self.end_group()

    async def get(self):
        pair = self.get_pair_or_error(self.get_argument('langpair'), -1)
        fmt = self.get_argument('format', '')
        files = self.request.files.get('file')
        if pair is None:
            return
        if fmt not in FORMATS or not files:
            return self.send_error(400, explanation='format or file missing')
        mode = self.pairs['%s-%s' % pair]
        modes = os.path.dirname(os.path.dirname(mode))
        cmd = ['apertium', '-f', fmt, '-u', '-d', modes, os.path.splitext(os.path.basename(mode))[0]]
        scratch = tempfile.mkdtemp(prefix='conv-')
        if boxed:
            cmd = box(scratch, [os.path.realpath(modes)]) + cmd
        timer = None
        try:
            with tempfile.TemporaryFile() as f:
                f.write(files[0]['body'])
                f.flush()
                f.seek(0)
                async with self.doc_pipe_sem:
                    self.proc = tp.Subprocess(cmd, stdin=f, stdout=tp.Subprocess.STREAM,
                                              start_new_session=True,
                                              cwd=scratch, env=dict(os.environ, TMPDIR=scratch))
                    timer = tornado.ioloop.IOLoop.current().call_later(budget, self.out_of_time)
                    out = await self.proc.stdout.read_until_close()
                    code = await self.proc.wait_for_exit(raise_error=False)
        finally:
            if timer is not None:
                tornado.ioloop.IOLoop.current().remove_timeout(timer)
            self.end_group()
            shutil.rmtree(scratch, ignore_errors=True)
        if self.over_time:
            return self.send_error(504, explanation='converter over %g s' % budget)
        if code != 0:
            return self.send_error(500, explanation='apertium exit %d' % code)
        self.set_header('Content-Type', 'application/octet-stream')
        self.finish(out)


class Guarded(w.Application):
    def __init__(self, handlers, *args, **kwargs):
        keep = [h for h in handlers if h[0] in ('/listPairs', '/translate')]
        keep.append((r'/translateDoc', Doc))
        super().__init__(keep, *args, **kwargs)

    def find_handler(self, request, **kwargs):
        given = request.headers.get('X-Apy-Key', '').encode()
        if not key or not hmac.compare_digest(given, key):
            return self.get_handler_delegate(request, w.ErrorHandler, {'status_code': 403})
        return super().find_handler(request, **kwargs)


w.Application = Guarded

# The transducer loaders build millions of small nodes as they start: half
# their time went to the C library's malloc and most of the rest to page
# faults. With mimalloc preloaded they start in about half the time and
# memory (the French generator: 670 -> 330 ms of CPU, 438 -> 268 MiB:
# bench/first_click/pipeline_starts.py --quick-malloc) and translate the
# sentence set byte for byte as before (bench/quality/allocator_check.py).
# Only these programs: the tagger crashes under any allocator but the C
# library's.
LOADERS = ('lt-proc', 'lrx-proc')
quick_malloc = '/usr/lib/%s/libmimalloc.so.2' % (sysconfig.get_config_var('MULTIARCH') or '')
if os.environ.pop('VERZOLAN_PIPELINE_MALLOC', '') == 'system' or not os.path.isfile(quick_malloc):
    quick_malloc = None
import apertium_apy.utils.translation as translation


def start_pipeline(commands):
    # APy's own, but with the loaders' environment.
    loaders = None
    if quick_malloc:
        loaders = dict(os.environ)
        loaders['LD_PRELOAD'] = ' '.join(filter(None, (quick_malloc, loaders.get('LD_PRELOAD'))))
    procs = []
    for i, cmd in enumerate(commands):
        last = i == len(commands) - 1
        procs.append(tp.Subprocess(
            cmd, stdin=tp.Subprocess.STREAM if i == 0 else procs[-1].stdout,
            stdout=tp.Subprocess.STREAM if last else subprocess.PIPE,
            env=loaders if os.path.basename(cmd[0]) in LOADERS else None))
    return procs[0], procs[-1]


translation.start_pipeline = start_pipeline
from apertium_apy.apy import main

sys.argv = ['apertium-apy'] + sys.argv[1:]
sys.exit(main())
