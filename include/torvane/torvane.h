/* The C interface of libtorvane, for C11 programs and for any language's foreign-function
 * interface (ctypes, P/Invoke, Free Pascal's external functions).
 *
 * Every method of the station-data service is called by its name, with typed arguments; the
 * answer comes back as a tagged value. Names and text are UTF-8. Nothing is thrown across this
 * interface: each function returns a status code, and the text of the last failure of the
 * calling thread is torvane_last_error().
 *
 * Threads. A handle belongs to the thread that created it: every function taking a handle must
 * be called there, except torvane_call() with "StopWeb" or "CancelLoTWImport", which any
 * thread may make while the owning thread is inside a call (a LoTW download does not yield to
 * the host loop, so a cancel has to come from elsewhere). Such a call answers only its number
 * in *result. Other calls from a foreign thread answer TORVANE_WRONG_THREAD. The owner must
 * not destroy the handle while another thread may still call it. Separate handles on separate
 * threads are independent.
 *
 * Callbacks. Events and yields run inside the torvane_call() or torvane_tick() that raised
 * them, on that call's thread: the owning thread, except the WebStatus event of a StopWeb from
 * another thread, which arrives on that thread. A callback may call torvane_call() on the same
 * handle (a yield callback is where a host calls StopWeb). Such a call sees the service as the
 * outer call left it at that moment, and the outer call goes on with whatever the inner one
 * changed: a lookup of another call from inside a callback replaces the current call's data
 * that the outer getter answers from. A callback must not destroy the handle:
 * torvane_destroy() from inside a callback answers TORVANE_BUSY and changes nothing.
 *
 * Lifetimes. The texts and arrays of a result, of the arguments after a call, and of an
 * event's arguments belong to the library. A call's result and arguments after stay valid
 * until the next call on the same handle at the same callback depth (a call from a callback
 * does not disturb the outer call's values) or until the handle is destroyed; an event's
 * arguments only until its callback returns. Copy what you keep.
 */
#ifndef TORVANE_TORVANE_H
#define TORVANE_TORVANE_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__)
#define TORVANE_API __attribute__((visibility("default")))
#else
#define TORVANE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes. Each failing function also sets torvane_last_error(). */
enum {
  TORVANE_OK = 0,
  TORVANE_NULL_HANDLE = 1,    /* the handle (or options) pointer is NULL */
  TORVANE_NULL_ARGUMENT = 2,  /* a required pointer is NULL */
  TORVANE_BAD_TEXT = 3,       /* a name or text is not valid UTF-8 */
  TORVANE_UNKNOWN_METHOD = 4, /* no method of that name */
  TORVANE_ARGUMENT_COUNT = 5, /* too few or too many arguments */
  TORVANE_ARGUMENT_TYPE = 6,  /* an argument cannot stand for its parameter's type */
  TORVANE_UNKNOWN_OPTION = 7, /* no option of that name */
  TORVANE_BAD_OPTION = 8,     /* the option's value is not of its form */
  TORVANE_WRONG_THREAD = 9,   /* a call the handle's own thread must make */
  TORVANE_BUSY = 10,          /* the handle is inside a call (destroy from a callback) */
  TORVANE_OUT_OF_MEMORY = 11,
  TORVANE_INTERNAL = 12 /* an unexpected failure inside the library */
};

/* The kinds of value. */
enum {
  TORVANE_EMPTY = 0,
  TORVANE_BOOL = 1,
  TORVANE_INT16 = 2,
  TORVANE_INT32 = 3,
  TORVANE_DOUBLE = 4,
  TORVANE_TEXT = 5,
  TORVANE_ARRAY = 6
};

/* A tagged value. A flat structure rather than a union, so that every foreign-function
 * interface can describe it. Only the fields of the value's kind are read or set:
 *   TORVANE_BOOL            integer (0 or 1; any non-zero is true on input)
 *   TORVANE_INT16/INT32     integer
 *   TORVANE_DOUBLE          number
 *   TORVANE_TEXT            text (UTF-8, NUL-terminated on output) and length (bytes, no NUL)
 *   TORVANE_ARRAY           items and length (the item count) */
typedef struct torvane_value {
  int32_t type;
  int32_t integer;
  double number;
  const char* text;
  size_t length;
  const struct torvane_value* items;
} torvane_value;

/* Constructors for arguments. torvane_text() keeps the pointer: the text must outlive the
 * call it is passed to. */
TORVANE_API torvane_value torvane_empty(void);
TORVANE_API torvane_value torvane_bool(int value);
TORVANE_API torvane_value torvane_int16(int16_t value);
TORVANE_API torvane_value torvane_int32(int32_t value);
TORVANE_API torvane_value torvane_double(double value);
TORVANE_API torvane_value torvane_text(const char* text); /* NULL gives an empty text */
TORVANE_API torvane_value torvane_array(const torvane_value* items, size_t count);

typedef struct torvane_options torvane_options;
typedef struct torvane_handle torvane_handle;

/* An event: its name ("CallDataOK", "WebStatus", "InetText", "BeaconChange", "eQSLStatus",
 * "LoTWDownloadStatus") and its arguments, in the order of the C++ EventSink. */
typedef void (*torvane_event_callback)(void* user_data, const char* event,
                                       const torvane_value* args, size_t arg_count);
/* The host loop: called while the service waits on the network, so the host can process its
 * own messages and call back in (StopWeb, CancelLoTWImport). */
typedef void (*torvane_yield_callback)(void* user_data);

/* Options of a service object, set by name before torvane_create(); every value is text.
 *   data_folder, log_folder, documents_folder, install_folder     folders
 *   service_host, qrz_host, qrz_files_host, eqsl_host, lotw_host, clublog_host,
 *   weather_iwin_host, weather_xml_host, weather_noaa_host, weather_wech_host
 *                                                                "host" or "host:port"
 *   weather_file, clublog_api_key, ca_bundle                      as in the C++ Options
 *   rac_library, hamcall_library, qrz_cd_library                  CD-ROM library names or paths
 *   drive                 "E:=/media/cdrom", repeatable: a drive text and the folder it names
 *   clock                 "YYYY-MM-DDTHH:MM:SS": a fixed local time instead of the system clock
 *   http_connect_timeout_ms, http_request_timeout_ms, http_download_timeout_ms,
 *   upload_timeout_ms     whole numbers of milliseconds
 * Option names are matched exactly. Options are not tied to a thread. */
TORVANE_API int torvane_options_new(torvane_options** options);
TORVANE_API int torvane_options_set(torvane_options* options, const char* name, const char* value);
TORVANE_API void torvane_options_free(torvane_options* options); /* NULL is fine */

/* Creates a service object (start-up runs here) owned by the calling thread. The options may
 * be NULL for the defaults; they are copied, so they may be freed at once. */
TORVANE_API int torvane_create(const torvane_options* options, torvane_handle** handle);
/* Shuts the service down and frees the handle. NULL is fine. */
TORVANE_API int torvane_destroy(torvane_handle* handle);

/* Callbacks may be set, replaced or cleared (NULL) at any time on the owning thread. */
TORVANE_API int torvane_set_event_callback(torvane_handle* handle, torvane_event_callback callback,
                                           void* user_data);
TORVANE_API int torvane_set_yield_callback(torvane_handle* handle, torvane_yield_callback callback,
                                           void* user_data);

/* Calls the method `name` (exact name first, then any letter case). `args` holds `arg_count`
 * values (NULL when there are none); trailing optional parameters may be left out. Arguments
 * are converted to the parameter types as the shell converts them: text "12" or the double
 * 12.0 for an integer, text "true" for a boolean; a value that cannot stand for the type is
 * TORVANE_ARGUMENT_TYPE. On TORVANE_OK, *result holds the answer and, when `args_after` is not
 * NULL, its `arg_count` slots hold the arguments' values after the call (a method such as
 * GetBearingFromLatLon writes back into one). On failure *result is TORVANE_EMPTY. */
TORVANE_API int torvane_call(torvane_handle* handle, const char* name, const torvane_value* args,
                             size_t arg_count, torvane_value* result, torvane_value* args_after);

/* The host's periodic timer (once a second is right): follows the beacon schedule. */
TORVANE_API int torvane_tick(torvane_handle* handle);

/* The methods of the service, for listings: names are static texts. */
TORVANE_API size_t torvane_method_count(void);
TORVANE_API const char* torvane_method_name(size_t index); /* NULL past the end */

/* The text of the last failure on the calling thread ("" when none yet), and a fixed name for
 * a status code ("TORVANE_UNKNOWN_METHOD"). */
TORVANE_API const char* torvane_last_error(void);
TORVANE_API const char* torvane_status_name(int status);

#ifdef __cplusplus
}
#endif

#endif /* TORVANE_TORVANE_H */
