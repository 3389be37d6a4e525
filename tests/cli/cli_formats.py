#!/usr/bin/env python3
"""quillfence-cli's machine-readable outputs read back as their readers do:
every JSON output validated against docs/quillfence-cli.schema.json, and the
metrics parsed by the Prometheus client's own text-format parser and checked
against the JSON of the same drives.

Usage: cli_formats.py PATH-TO-quillfence-cli SOURCE-DIR
"""

import json
import os
import subprocess
import sys
import tempfile
import unittest

from jsonschema import Draft202012Validator
from prometheus_client.parser import text_string_to_metric_families

CLI = SOURCE = None

SLEEPY_FLEET = {
    "drives": [
        {"number": 0, "length": 1 << 30, "volumes": [{"letter": "C", "total": 1 << 30, "free": 0}],
         "identity": {"serial": "SYS0", "model": "System", "firmware": "1"}},
        {"number": 1, "length": 1 << 30, "power": "standby",
         "identity": {"serial": "S1", "model": "QY-M7A0-128G", "firmware": "1"}},
        {"number": 2, "length": 1 << 30, "bus": "usb",
         "volumes": [{"letter": "D", "total": 1 << 30, "free": 1 << 29, "mountPoint": "/media/x"}],
         "identity": {"serial": "S\"2\\", "model": "Stick\nTwo", "firmware": "1", "wwn": "5001b44e8f9a0b1c"}},
    ]
}


def run(fleet, *arguments):
    done = subprocess.run([CLI, *arguments], env=dict(os.environ, QUILLFENCE_DEVICES=fleet),
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, check=False)
    return done.returncode, done.stdout


class Formats(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(os.path.join(SOURCE, "docs/quillfence-cli.schema.json"), encoding="utf-8") as schema:
            cls.schema = json.load(schema)
        Draft202012Validator.check_schema(cls.schema)
        cls.validator = Draft202012Validator(cls.schema)
        cls.demo = os.path.join(SOURCE, "data/demo-fleet.json")
        cls.edges = os.path.join(SOURCE, "tests/cli/edge-fleet.json")
        cls.folder = tempfile.TemporaryDirectory()
        cls.sleepy = os.path.join(cls.folder.name, "sleepy.json")
        with open(cls.sleepy, "w", encoding="utf-8") as fleet:
            json.dump(SLEEPY_FLEET, fleet)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def assertValid(self, document, what):
        errors = sorted(self.validator.iter_errors(document), key=str)
        self.assertFalse(errors, f"{what}: {errors[0].message if errors else ''}")

    def assertNoKeysDifferingOnlyInCase(self, value):
        """Readers that ignore the case of keys (PowerShell) take the object."""
        if isinstance(value, dict):
            lowered = [key.lower() for key in value]
            self.assertEqual(len(set(lowered)), len(lowered), sorted(value))
            value = list(value.values())
        for item in value if isinstance(value, list) else []:
            self.assertNoKeysDifferingOnlyInCase(item)

    def test_every_json_output_follows_the_schema(self):
        outputs = [(self.demo, ["list", "--json"]), (self.demo, ["smart", "--all", "--json"]),
                   (self.demo, ["list", "--json", "--include-system"]),
                   (self.sleepy, ["smart", "--all", "--json", "--nocheck", "standby", "--include-system"]),
                   (self.sleepy, ["list", "--json", "--nocheck", "standby"]),
                   (self.sleepy, ["smart", "1", "--json", "--nocheck", "standby"]),
                   (self.sleepy, ["smart", "2", "--json"])]
        outputs += [(self.demo, ["smart", str(n), "--json"]) for n in range(2, 15)]
        outputs += [(self.edges, ["smart", "--all", "--json"])]
        outputs += [(self.edges, ["smart", str(n), "--json"]) for n in range(1, 4)]
        for fleet, arguments in outputs:
            with self.subTest(arguments=arguments, fleet=os.path.basename(fleet)):
                status, out = run(fleet, *arguments)
                self.assertEqual(status & 2, 0)
                document = json.loads(out)
                self.assertValid(document, " ".join(arguments))
                self.assertNoKeysDifferingOnlyInCase(document)

    def test_the_edge_fleet_reaches_the_edges_of_the_schema(self):
        """The fleet the schema is checked on holds the longest tables and raw values there are."""
        _, out = run(self.edges, "smart", "--all", "--json")
        disks = {disk["diskNum"]: disk for disk in json.loads(out)["disks"]}
        # Every critical-warning bit (8 rows besides the field's own) and all
        # eight temperature sensors; the six defined bits only; an ATA drive's
        # 30 attribute slots.
        self.assertEqual({n: len(disk["rows"]) for n, disk in disks.items()}, {1: 33, 2: 31, 3: 30})
        raw_lengths = {len(row["raw_bytes"]) for row in disks[1]["rows"]}
        self.assertTrue({6, 7, 16} <= raw_lengths, raw_lengths)
        widest = max(disks[1]["rows"], key=lambda row: len(row["raw_bytes"]))
        self.assertEqual(widest["RawValue"], "0x" + "FF " * 16)
        self.assertIsNone(widest["raw_value"], "beyond 64 bits")

    def test_the_schema_rejects_what_it_does_not_describe(self):
        _, out = run(self.demo, "smart", "7", "--json")
        for change in [lambda d: d.update(extra=1), lambda d: d["rows"][0].update(status_word="bad"),
                       lambda d: d.pop("life"), lambda d: d.update(json_format_version=2),
                       lambda d: d["partitions"][0].pop("mount_point")]:
            document = json.loads(out)
            change(document)
            self.assertFalse(self.validator.is_valid(document))

    @staticmethod
    def history_fleet(life, bad_blocks, temperatures, wear, critical, media_errors, used):
        """A maker's drive and an NVMe drive, whose values change between two records."""
        return {"drives": [
            {"number": 0, "length": 1 << 30, "volumes": [{"letter": "C", "total": 1 << 30, "free": 0}],
             "identity": {"serial": "SYS0", "model": "System", "firmware": "1"}},
            {"number": 1, "length": 128035676160,
             "identity": {"serial": "QV1", "model": "QY-M7A0-128G", "firmware": "1", "wwn": "5001b44e8f9a0b1c"},
             "smart": {"attributes": [{"id": 231, "value": life, "raw": 0}, {"id": 169, "raw": bad_blocks << 16},
                                      {"id": 194, "raw": temperatures}, {"id": 208, "raw": wear}]}},
            {"number": 2, "bus": "nvme", "length": 1 << 40,
             "identity": {"serial": "NV1", "model": "Corvid NV3 1TB", "firmware": "1"},
             "health": {"criticalWarning": critical, "temperature": 318, "percentageUsed": used,
                        "mediaErrors": media_errors, "dataUnitsWritten": 123456}}]}

    def test_history_follows_the_schema_with_every_kind_of_event(self):
        data = os.path.join(self.folder.name, "data")
        fleet = os.path.join(self.folder.name, "history.json")
        env = dict(os.environ, XDG_DATA_HOME=data, QUILLFENCE_DEVICES=fleet)
        for values in [(90, 3, 0x320014000023, 100, 0, 0, 10), (20, 9, 0x320014000048, 1001, 5, 2, 75)]:
            with open(fleet, "w", encoding="utf-8") as out:
                json.dump(self.history_fleet(*values), out)
            subprocess.run([CLI, "record"], env=env, stdout=subprocess.DEVNULL, check=True)
        kinds = set()
        for arguments in (["history", "1", "--json"], ["history", "2", "--json"],
                          ["history", "1", "--json", "--since", "2000-01-01T00:00Z"]):
            with self.subTest(arguments=arguments):
                done = subprocess.run([CLI, *arguments], env=env, stdout=subprocess.PIPE, text=True, check=True)
                document = json.loads(done.stdout)
                self.assertValid(document, " ".join(arguments))
                self.assertNoKeysDifferingOnlyInCase(document)
                self.assertEqual(len(document["samples"]), 2)
                kinds |= {event["kind"] for event in document["events"]}
        self.assertEqual(kinds, {"health_level", "status", "count", "critical_warning", "temperature"})
        document["events"][0]["kind"] = "nap"
        self.assertFalse(self.validator.is_valid(document))

    def families(self, fleet, *arguments):
        status, out = run(fleet, "metrics", *arguments)
        return status, {family.name: family for family in text_string_to_metric_families(out)}

    def test_the_metrics_parse_and_say_what_the_json_says(self):
        status, families = self.families(self.demo)
        self.assertEqual(status, 1 | 4 | 8)
        for family in families.values():
            self.assertEqual(family.type, "gauge", family.name)
        self.assertEqual([s.value for s in families["quillfence_disk_list_failed"].samples], [0])
        _, out = run(self.demo, "smart", "--all", "--json")
        disks = json.loads(out)["disks"]

        def sample(family, disk, **labels):
            matches = [s for s in families[family].samples
                       if s.labels["device"] == disk["device"] and s.labels["serial"] == disk["serialNumber"]
                       and s.labels["model"] == disk["model"]
                       and all(s.labels.get(k) == v for k, v in labels.items())]
            self.assertLessEqual(len(matches), 1, (family, labels))
            return matches[0].value if matches else None

        for disk in disks:
            with self.subTest(drive=disk["diskNum"]):
                failed = not disk["valid"] or not disk["smart_read"]
                self.assertEqual(sample("quillfence_drive_reading_failed", disk), int(failed))
                self.assertEqual(sample("quillfence_drive_standby", disk), 0)
                self.assertEqual(sample("quillfence_drive_life_percent", disk), disk["life"])
                health = disk["health"]
                self.assertEqual(sample("quillfence_drive_health_level", disk),
                                 None if health is None else {"warning": 0, "normal": 1, "good": 2}[health["word"]])
                for row in disk["rows"]:
                    labels = {"id": str(row["attribute_id"])}
                    if row["name"]:
                        labels["name"] = row["name"]
                    self.assertEqual(sample("quillfence_smart_attribute_value", disk, **labels), row["current_value"])
                    self.assertEqual(sample("quillfence_smart_attribute_raw", disk, **labels), row["raw_value"])
                    self.assertEqual(sample("quillfence_smart_attribute_normalized", disk, **labels),
                                     row["normalized_value"])
                    status_code = {None: None, "ok": 0, "alert": 1, "risk": 2, "abnormal": 3}[row["status_word"]]
                    self.assertEqual(sample("quillfence_smart_attribute_status", disk, **labels), status_code)
                    self.assertEqual(sample("quillfence_smart_attribute_limit", disk, **labels), row["limit"])
        alerts = [s for s in families["quillfence_smart_attribute_status"].samples if s.value == 1]
        self.assertTrue(any(s.labels.get("name") == "highest_temperature" for s in alerts))

    def test_standby_and_odd_label_texts(self):
        with tempfile.TemporaryDirectory() as folder:
            output = os.path.join(folder, "quillfence.prom")
            status, _ = run(self.sleepy, "metrics", "--nocheck", "standby", "--output", output)
            self.assertEqual(status, 0)
            with open(output, encoding="utf-8") as text:
                families = {f.name: f for f in text_string_to_metric_families(text.read())}
            self.assertEqual(os.listdir(folder), ["quillfence.prom"], "nothing left beside the file")
        standby = {s.labels["device"]: s.value for s in families["quillfence_drive_standby"].samples}
        self.assertEqual(standby, {"\\\\.\\PHYSICALDRIVE1": 1, "\\\\.\\PHYSICALDRIVE2": 0})
        stick = [s for s in families["quillfence_drive_reading_failed"].samples if s.labels["serial"] == 'S"2\\']
        self.assertEqual(len(stick), 1, "quotes and backslashes come back as they were")
        self.assertEqual(stick[0].labels["model"], "Stick\nTwo")


if __name__ == "__main__":
    CLI, SOURCE = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
