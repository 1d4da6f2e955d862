"""The torvane module as installed, on a data folder built from Debian's cty.csv.

Run by tests/install/python_module.sh, which sets TORVANE_TEST_PREFIX (the temporary install
prefix), TORVANE_TEST_DATA (the data folder) and PYTHONPATH.
"""

import os
import threading
import unittest
from functools import partial

import torvane

DATA = os.environ["TORVANE_TEST_DATA"]
PREFIX = os.environ["TORVANE_TEST_PREFIX"]


def outcome(attempt, *args):
    """attempt's answer, or the name of the library's refusal, or the type of another error."""
    try:
        return attempt(*args)
    except torvane.TorvaneError as error:
        return error.name
    except Exception as error:  # noqa: BLE001 - compared by the caller
        return type(error)


class ControlTest(unittest.TestCase):
    def setUp(self):
        self.tv = torvane.Control(data_folder=DATA, clock="2026-06-21T12:00:10")
        self.addCleanup(self.tv.close)

    def test_module_and_library_come_from_the_prefix(self):
        self.assertTrue(os.path.realpath(torvane.__file__).startswith(os.path.realpath(PREFIX)))
        with open("/proc/self/maps", encoding="utf-8") as maps:
            loaded = {line.split()[-1] for line in maps if "libtorvane.so" in line}
        self.assertTrue(loaded)
        for path in loaded:
            self.assertTrue(os.path.realpath(path).startswith(os.path.realpath(PREFIX)), path)

    def test_methods_answer_python_values(self):
        countries = {"W1AW": "United States", "DL1ABC": "Fed. Rep. of Germany", "JA1XYZ": "Japan",
                     "VK2ABC": "Australia"}
        for call, country in countries.items():
            with self.subTest(call=call):
                self.assertEqual(self.tv.GetQuickCountry(call), country)
                self.assertEqual(self.tv.GetPrefixCountry(call), country)
        self.assertEqual(self.tv.GetVersion(), "4.10.0")
        self.assertEqual(self.tv.SetHomeLatitude("41.71"), 0)
        self.assertEqual(self.tv.SetCDSource("no such source"), 1)
        self.assertIsInstance(self.tv.GetIsNowDaylight("W1AW"), bool)
        # A Python int reaches a 16-bit parameter; a name in other letter case finds it.
        self.assertEqual(self.tv.GetCountryFromDXCC(291), "United States")
        self.assertEqual(self.tv.getcountryfromdxcc(291), "United States")

    def test_arguments_come_back_after_the_call(self):
        result, after = self.tv.call("GetBearingFromLatLon", 40.0, -75.0, 51.5, -10.0,
                                     with_args=True)
        self.assertIsInstance(result, float)
        self.assertEqual(after, [40.0, -75.0, 51.5, 350.0])
        given = [7, "FN31", [True, None], 0.5, -(2**40)]
        _result, after = self.tv.call("SetHomeLatitude", given, with_args=True)
        # Integers beyond 32 bits travel as doubles.
        self.assertEqual(after, [[7, "FN31", [True, None], 0.5, float(-(2**40))]])

    def test_events_reach_their_handlers(self):
        seen, every = [], []
        self.tv.on("CallDataOK", seen.append)
        tv = torvane.Control(data_folder=DATA, on_event=lambda *event: every.append(event))
        self.addCleanup(tv.close)
        # A new call reports twice (its deciding prefix, then the lookup).
        self.tv.GetPrefixCountry("W1AW")
        tv.GetPrefixCountry("W1AW")
        self.assertEqual(seen, [True, True])
        self.assertEqual(every, [("CallDataOK", True), ("CallDataOK", True)])
        self.tv.on("CallDataOK", None)
        self.tv.GetPrefixCountry("DL1ABC")
        self.assertEqual(seen, [True, True])

    def test_a_handler_may_call_back_in_and_its_failure_follows_the_call(self):
        nested = []

        def look_up_another(_ok):
            # The nested call raises events of its own: answer only the first.
            if not nested:
                nested.append(None)
                nested[0] = self.tv.GetCountryFromDXCC(230)

        # A handler's exception is raised when the call returns; closing from a handler is
        # refused. Either way the control goes on working.
        cases = [(look_up_another, "United States"), (lambda _ok: 1 / 0, ZeroDivisionError),
                 (lambda _ok: self.tv.close(), "TORVANE_BUSY")]
        for handler, expected in cases:
            with self.subTest(expected=expected):
                self.tv.on("CallDataOK", handler)
                self.assertEqual(outcome(self.tv.GetPrefixCountry, "W1AW"), expected)
                self.tv.on("CallDataOK", None)
                self.assertEqual(self.tv.GetPrefixCountry("W1AW"), "United States")
        self.assertEqual(nested, ["Fed. Rep. of Germany"])

    def test_refusals_raise_with_a_code_and_a_text(self):
        call, control = self.tv.call, partial(torvane.Control, DATA)
        cases = [
            (partial(call, "GetNoSuchThing", "W1AW"), "TORVANE_UNKNOWN_METHOD", "GetNoSuchThing"),
            (partial(call, "GetCountry"), "TORVANE_ARGUMENT_COUNT", "takes 1 argument, got 0"),
            (partial(call, "GetCountry", "W1AW", "K1ABC"), "TORVANE_ARGUMENT_COUNT", "got 2"),
            (partial(call, "GetCountryFromDXCC", "abc"), "TORVANE_ARGUMENT_TYPE", "16-bit integer"),
            (partial(call, "GetCountryFromDXCC", 70000), "TORVANE_ARGUMENT_TYPE", "16-bit integer"),
            (partial(call, "GetCountry", ["W1AW"]), "TORVANE_ARGUMENT_TYPE", "expected text"),
            (partial(call, "SetDevel", "perhaps"), "TORVANE_ARGUMENT_TYPE", "boolean"),
            (partial(call, "Get\udcffCountry", "W1AW"), "TORVANE_BAD_TEXT", "UTF-8"),
            (partial(call, "GetCountry", "W1\udcff"), "TORVANE_BAD_TEXT", "UTF-8"),
            (partial(control, no_such_option="x"), "TORVANE_UNKNOWN_OPTION", "no_such_option"),
            (partial(control, clock="yesterday"), "TORVANE_BAD_OPTION", 'clock "yesterday"'),
            (partial(control, http_request_timeout_ms="soon"), "TORVANE_BAD_OPTION", '"soon"'),
        ]
        for attempt, code, text in cases:
            with self.subTest(args=attempt.args, options=attempt.keywords):
                with self.assertRaises(torvane.TorvaneError) as raised:
                    attempt()
                self.assertEqual(raised.exception.name, code)
                self.assertIn(text, raised.exception.message)
        self.assertIs(outcome(self.tv.GetCountry, object()), TypeError)

    def test_other_threads_may_only_interrupt(self):
        seen = []
        thread = threading.Thread(
            target=lambda: seen.extend([outcome(self.tv.GetVersion), self.tv.StopWeb()]))
        thread.start()
        thread.join()
        self.assertEqual(seen, ["TORVANE_WRONG_THREAD", 0])

    def test_listing_ticking_and_closing(self):
        self.assertIn("GetCountry", dir(self.tv))
        self.tv.close()
        self.tv.close()
        with self.assertRaises(torvane.TorvaneError):
            self.tv.GetVersion()
        with torvane.Control(data_folder=DATA) as tv:
            tv.tick()
            self.assertEqual(tv.GetVersion(), "4.10.0")
        with self.assertRaises(torvane.TorvaneError):
            tv.GetVersion()


if __name__ == "__main__":
    unittest.main()
