"""The torvane module as installed, on a data folder built from Debian's cty.csv.

Run by tests/install/python_module.sh, which sets TORVANE_TEST_PREFIX (the temporary install
prefix), TORVANE_TEST_DATA (the data folder) and PYTHONPATH.
"""

import os
import threading
import unittest

import torvane

DATA = os.environ["TORVANE_TEST_DATA"]
PREFIX = os.environ["TORVANE_TEST_PREFIX"]


class Boom(Exception):
    pass


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

    def test_quick_and_full_getters_and_setters(self):
        self.assertEqual(self.tv.GetVersion(), "4.10.0")
        self.assertEqual(self.tv.GetQuickCountry("W1AW"), "United States")
        self.assertEqual(self.tv.GetPrefixCountry("W1AW"), "United States")
        self.assertEqual(self.tv.GetPrefixCountry("DL1ABC"), "Fed. Rep. of Germany")
        self.assertEqual(self.tv.SetHomeLatitude("41.71"), 0)
        self.assertEqual(self.tv.SetCDSource("no such source"), 1)
        self.assertIs(self.tv.GetIsNowDaylight("W1AW") in (True, False), True)
        # A Python int reaches a 16-bit parameter; a name in other letter case finds it.
        self.assertEqual(self.tv.GetCountryFromDXCC(291), "United States")
        self.assertEqual(self.tv.getcountryfromdxcc(291), "United States")

    def test_resolving_a_list_of_calls(self):
        calls = ["W1AW", "DL1ABC", "JA1XYZ", "VK2ABC"]
        countries = [self.tv.GetQuickCountry(call) for call in calls]
        self.assertEqual(countries[:2], ["United States", "Fed. Rep. of Germany"])
        self.assertEqual(countries[2:], ["Japan", "Australia"])

    def test_written_back_arguments(self):
        result, after = self.tv.call("GetBearingFromLatLon", 40.0, -75.0, 51.5, -10.0,
                                     with_args=True)
        self.assertIsInstance(result, float)
        self.assertEqual(after[3], 350.0)

    def test_values_round_trip(self):
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

    def test_a_handler_may_call_back_in(self):
        nested = []

        def look_up_another(_ok):
            # The nested call raises events of its own: answer only the first.
            if not nested:
                nested.append(None)
                nested[0] = self.tv.GetCountryFromDXCC(230)

        self.tv.on("CallDataOK", look_up_another)
        self.assertEqual(self.tv.GetPrefixCountry("W1AW"), "United States")
        self.assertEqual(nested, ["Fed. Rep. of Germany"])

    def test_a_handler_that_raises_is_reported_after_the_call(self):
        def raise_boom(_ok):
            raise Boom("from the handler")

        self.tv.on("CallDataOK", raise_boom)
        with self.assertRaises(Boom):
            self.tv.GetPrefixCountry("W1AW")
        self.tv.on("CallDataOK", None)
        self.assertEqual(self.tv.GetPrefixCountry("W1AW"), "United States")

    def test_closing_from_a_handler_is_refused(self):
        self.tv.on("CallDataOK", lambda ok: self.tv.close())
        with self.assertRaises(torvane.TorvaneError) as raised:
            self.tv.GetPrefixCountry("W1AW")
        self.assertEqual(raised.exception.name, "TORVANE_BUSY")
        self.tv.on("CallDataOK", None)
        self.assertEqual(self.tv.GetVersion(), "4.10.0")

    def test_bad_calls_raise_with_a_code_and_a_text(self):
        cases = [
            ("GetNoSuchThing", ("W1AW",), "TORVANE_UNKNOWN_METHOD", "GetNoSuchThing"),
            ("GetCountry", (), "TORVANE_ARGUMENT_COUNT", "takes 1 argument, got 0"),
            ("GetCountry", ("W1AW", "K1ABC"), "TORVANE_ARGUMENT_COUNT", "got 2"),
            ("GetCountryFromDXCC", ("abc",), "TORVANE_ARGUMENT_TYPE", "16-bit integer"),
            ("GetCountryFromDXCC", (70000,), "TORVANE_ARGUMENT_TYPE", "16-bit integer"),
            ("GetCountry", (["W1AW"],), "TORVANE_ARGUMENT_TYPE", "expected text"),
            ("SetDevel", ("perhaps",), "TORVANE_ARGUMENT_TYPE", "boolean"),
            ("Get\udcffCountry", ("W1AW",), "TORVANE_BAD_TEXT", "UTF-8"),
            ("GetCountry", ("W1\udcff",), "TORVANE_BAD_TEXT", "UTF-8"),
        ]
        for name, args, code, text in cases:
            with self.subTest(name=name, args=args):
                with self.assertRaises(torvane.TorvaneError) as raised:
                    self.tv.call(name, *args)
                self.assertEqual(raised.exception.name, code)
                self.assertIn(text, raised.exception.message)

    def test_values_python_cannot_pass(self):
        with self.assertRaises(TypeError):
            self.tv.GetCountry(object())

    def test_other_threads_may_only_interrupt(self):
        outcome = {}

        def other():
            try:
                self.tv.GetVersion()
            except torvane.TorvaneError as error:
                outcome["version"] = error.name
            outcome["stop"] = self.tv.StopWeb()

        thread = threading.Thread(target=other)
        thread.start()
        thread.join()
        self.assertEqual(outcome, {"version": "TORVANE_WRONG_THREAD", "stop": 0})

    def test_listing_and_closing(self):
        self.assertIn("GetCountry", dir(self.tv))
        self.tv.close()
        self.tv.close()
        with self.assertRaises(torvane.TorvaneError):
            self.tv.GetVersion()

    def test_bad_options(self):
        cases = [
            ({"no_such_option": "x"}, "TORVANE_UNKNOWN_OPTION"),
            ({"clock": "yesterday"}, "TORVANE_BAD_OPTION"),
            ({"http_request_timeout_ms": "soon"}, "TORVANE_BAD_OPTION"),
        ]
        for options, code in cases:
            with self.subTest(options=options):
                with self.assertRaises(torvane.TorvaneError) as raised:
                    torvane.Control(data_folder=DATA, **options)
                self.assertEqual(raised.exception.name, code)

    def test_tick_and_context_manager(self):
        with torvane.Control(data_folder=DATA) as tv:
            tv.tick()
            self.assertEqual(tv.GetVersion(), "4.10.0")


if __name__ == "__main__":
    unittest.main()
