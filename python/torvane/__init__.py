"""Torvane for Python: the station-data service of libtorvane, over its C interface.

    import torvane
    with torvane.Control(data_folder="/home/me/Documents/ZENTROVA/Quorlin") as tv:
        tv.on("CallDataOK", lambda ok: print("call data", ok))
        print(tv.GetCountry("W1AW"), tv.GetCQZone("W1AW"))

Every method of the service is an attribute of Control; arguments are None, bool, int, float,
str or lists of them, converted to each parameter's type as the library does ("12" or 12.0
for an integer). Events are delivered to the handlers given to Control.on() (or to
on_event), during the call that raised them. A control belongs to the thread that made it.
"""

import ctypes
import os
import threading

from . import _library

__all__ = ["Control", "TorvaneError", "load_library"]

_EMPTY, _BOOL, _INT16, _INT32, _DOUBLE, _TEXT, _ARRAY = range(7)
_INT32_MIN, _INT32_MAX = -(2**31), 2**31 - 1


class _Value(ctypes.Structure):
    pass


_Value._fields_ = [
    ("type", ctypes.c_int32),
    ("integer", ctypes.c_int32),
    ("number", ctypes.c_double),
    ("text", ctypes.c_void_p),  # not c_char_p: the length, not a NUL, ends the text
    ("length", ctypes.c_size_t),
    ("items", ctypes.POINTER(_Value)),
]

_EventCallback = ctypes.CFUNCTYPE(
    None, ctypes.c_void_p, ctypes.c_char_p, ctypes.POINTER(_Value), ctypes.c_size_t
)
_YieldCallback = ctypes.CFUNCTYPE(None, ctypes.c_void_p)


class TorvaneError(Exception):
    """A call the library refused: status is the code, name its TORVANE_... name."""

    def __init__(self, status, name, message):
        super().__init__(f"{name}: {message}")
        self.status = status
        self.name = name
        self.message = message


_lib = None
_lib_lock = threading.Lock()


def _library_path():
    override = os.environ.get("TORVANE_LIBRARY")
    if override:
        return override
    beside = os.path.normpath(
        os.path.join(os.path.dirname(os.path.abspath(__file__)), _library.LIBRARY_FROM_MODULE)
    )
    return beside if os.path.exists(beside) else _library.LIBRARY_SONAME


def load_library():
    """The loaded libtorvane: $TORVANE_LIBRARY, else the one installed with this module,
    else the system's by its soname."""
    global _lib
    with _lib_lock:
        if _lib is not None:
            return _lib
        lib = ctypes.CDLL(_library_path())
        handle_p = ctypes.c_void_p
        lib.torvane_options_new.argtypes = [ctypes.POINTER(ctypes.c_void_p)]
        lib.torvane_options_set.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p]
        lib.torvane_options_free.argtypes = [ctypes.c_void_p]
        lib.torvane_options_free.restype = None
        lib.torvane_create.argtypes = [ctypes.c_void_p, ctypes.POINTER(handle_p)]
        lib.torvane_destroy.argtypes = [handle_p]
        lib.torvane_set_event_callback.argtypes = [handle_p, _EventCallback, ctypes.c_void_p]
        lib.torvane_set_yield_callback.argtypes = [handle_p, _YieldCallback, ctypes.c_void_p]
        lib.torvane_call.argtypes = [
            handle_p,
            ctypes.c_char_p,
            ctypes.POINTER(_Value),
            ctypes.c_size_t,
            ctypes.POINTER(_Value),
            ctypes.POINTER(_Value),
        ]
        lib.torvane_tick.argtypes = [handle_p]
        lib.torvane_method_count.argtypes = []
        lib.torvane_method_count.restype = ctypes.c_size_t
        lib.torvane_method_name.argtypes = [ctypes.c_size_t]
        lib.torvane_method_name.restype = ctypes.c_char_p
        lib.torvane_last_error.argtypes = []
        lib.torvane_last_error.restype = ctypes.c_char_p
        lib.torvane_status_name.argtypes = [ctypes.c_int]
        lib.torvane_status_name.restype = ctypes.c_char_p
        _lib = lib
        return lib


def _check(status):
    if status != 0:
        lib = load_library()
        raise TorvaneError(
            status,
            lib.torvane_status_name(status).decode(),
            lib.torvane_last_error().decode("utf-8", "replace"),
        )


def _to_python(value):
    kind = value.type
    if kind == _BOOL:
        return bool(value.integer)
    if kind in (_INT16, _INT32):
        return value.integer
    if kind == _DOUBLE:
        return value.number
    if kind == _TEXT:
        return ctypes.string_at(value.text, value.length).decode("utf-8", "replace")
    if kind == _ARRAY:
        return [_to_python(value.items[i]) for i in range(value.length)]
    return None


class _Arguments:
    """C values for Python arguments; keeps the encoded texts and item arrays alive."""

    def __init__(self, args):
        self._keep = []
        self.count = len(args)
        self.array = (_Value * max(1, self.count))()
        for i, arg in enumerate(args):
            self.array[i] = self._convert(arg)

    def _convert(self, arg):
        value = _Value()
        if arg is None:
            value.type = _EMPTY
        elif isinstance(arg, bool):
            value.type, value.integer = _BOOL, int(arg)
        elif isinstance(arg, int):
            if _INT32_MIN <= arg <= _INT32_MAX:
                value.type, value.integer = _INT32, arg
            else:
                value.type, value.number = _DOUBLE, float(arg)
        elif isinstance(arg, float):
            value.type, value.number = _DOUBLE, arg
        elif isinstance(arg, str):
            encoded = ctypes.create_string_buffer(arg.encode("utf-8", "surrogatepass"))
            self._keep.append(encoded)
            value.type = _TEXT
            value.text = ctypes.addressof(encoded)
            value.length = len(encoded) - 1
        elif isinstance(arg, (list, tuple)):
            items = (_Value * max(1, len(arg)))()
            for i, item in enumerate(arg):
                items[i] = self._convert(item)
            self._keep.append(items)
            value.type, value.length = _ARRAY, len(arg)
            value.items = ctypes.cast(items, ctypes.POINTER(_Value))
        else:
            raise TypeError(f"torvane cannot pass a {type(arg).__name__}")
        return value


class Control:
    """One service object. Options are those of the C interface (data_folder, log_folder,
    service_host, ..., clock="YYYY-MM-DDTHH:MM:SS"); drives={"E:": "/media/cdrom"}."""

    def __init__(self, data_folder=None, *, drives=None, on_event=None, on_yield=None,
                 **options):
        self._lib = load_library()
        self._handle = ctypes.c_void_p()
        self._handlers = {}
        self._on_event = on_event
        self._on_yield = on_yield
        self._pending_error = None
        if data_folder is not None:
            options["data_folder"] = data_folder
        settings = [(name, str(value)) for name, value in options.items()]
        settings += [("drive", f"{drive}={folder}") for drive, folder in (drives or {}).items()]

        c_options = ctypes.c_void_p()
        _check(self._lib.torvane_options_new(ctypes.byref(c_options)))
        try:
            for name, value in settings:
                _check(self._lib.torvane_options_set(c_options, name.encode(), value.encode()))
            _check(self._lib.torvane_create(c_options, ctypes.byref(self._handle)))
        finally:
            self._lib.torvane_options_free(c_options)
        # ctypes keeps no reference to a callback it has handed out: these must live as long
        # as the handle.
        self._event_thunk = _EventCallback(self._dispatch_event)
        self._yield_thunk = _YieldCallback(self._dispatch_yield)
        _check(self._lib.torvane_set_event_callback(self._handle, self._event_thunk, None))
        _check(self._lib.torvane_set_yield_callback(self._handle, self._yield_thunk, None))

    # ---- events ----

    def on(self, event, handler):
        """Calls handler(*args) whenever the event is raised; None removes it."""
        if handler is None:
            self._handlers.pop(event, None)
        else:
            self._handlers[event] = handler

    @property
    def on_yield(self):
        return self._on_yield

    @on_yield.setter
    def on_yield(self, handler):
        """Called while the service waits on the network; may call StopWeb()."""
        self._on_yield = handler

    def _guarded(self, body):
        # An exception cannot unwind through the library: keep the first one and raise it
        # when the call returns to Python.
        try:
            body()
        except BaseException as error:  # noqa: BLE001 - re-raised after the call
            if self._pending_error is None:
                self._pending_error = error

    def _dispatch_event(self, _user, name, args, count):
        event = name.decode()
        values = [_to_python(args[i]) for i in range(count)]

        def deliver():
            handler = self._handlers.get(event)
            if handler is not None:
                handler(*values)
            if self._on_event is not None:
                self._on_event(event, *values)

        self._guarded(deliver)

    def _dispatch_yield(self, _user):
        if self._on_yield is not None:
            self._guarded(self._on_yield)

    # ---- calls ----

    def call(self, name, *args, with_args=False):
        """Calls a method by name. With with_args, answers (result, arguments after the
        call), for the methods that write back into an argument."""
        if self._handle is None or not self._handle.value:
            raise TorvaneError(1, "TORVANE_NULL_HANDLE", "the control is closed")
        converted = _Arguments(args)
        result = _Value()
        after = (_Value * max(1, converted.count))()
        outer_error, self._pending_error = self._pending_error, None
        status = self._lib.torvane_call(
            self._handle, name.encode("utf-8", "surrogateescape"), converted.array,
            converted.count, ctypes.byref(result), after)
        raised, self._pending_error = self._pending_error, outer_error
        if raised is not None:
            raise raised
        _check(status)
        value = _to_python(result)
        if with_args:
            return value, [_to_python(after[i]) for i in range(converted.count)]
        return value

    def tick(self):
        """The host's periodic timer (once a second): follows the beacon schedule."""
        _check(self._lib.torvane_tick(self._handle))
        raised, self._pending_error = self._pending_error, None
        if raised is not None:
            raise raised

    def __getattr__(self, name):
        if name.startswith("_"):
            raise AttributeError(name)
        return lambda *args: self.call(name, *args)

    def __dir__(self):
        lib = load_library()
        names = [lib.torvane_method_name(i).decode() for i in range(lib.torvane_method_count())]
        return sorted(set(super().__dir__()) | set(names))

    # ---- lifetime ----

    def close(self):
        """Shuts the service down (its stop line is written to the log)."""
        if self._handle is not None and self._handle.value:
            _check(self._lib.torvane_destroy(self._handle))
            self._handle = None

    def __enter__(self):
        return self

    def __exit__(self, *_exc):
        self.close()

    def __del__(self):
        try:
            self.close()
        except Exception:  # noqa: BLE001 - nothing can be reported from a finaliser
            pass
