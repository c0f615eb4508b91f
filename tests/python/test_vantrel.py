"""The Python module through its public faces: models from dicts and texts, suites, coverage,
explanations, errors, the interpreter left free during a search, and the pytest decorator."""

import _thread
import itertools
import os
import subprocess
import threading
import time

import pytest

import vantrel

SHOP = {
    "Customer": ["Guest", "Registered", "Premium"],
    "Country": ["Germany", "France", "Japan"],
    "Delivery": ["Standard", "Locker"],
    "Basket": ["One", "Oversized", "~Broken"],
}
RULE = 'IF [Delivery] = "Locker" THEN [Basket] <> "Oversized" AND [Country] <> "Japan";'


def pairs(rows, factors):
    return {(a, row[a], b, row[b]) for row in rows for a, b in itertools.combinations(factors, 2)}


def test_a_suite_covers_every_pair_a_valid_test_case_can_hold_and_keeps_the_rules():
    model = vantrel.Model(SHOP, rules=RULE)
    suite = vantrel.generate(model, seed=1)
    assert suite.factors == list(SHOP)
    assert all(not (row["Delivery"] == "Locker" and row["Country"] == "Japan") for row in suite)
    assert sum(row["Basket"] == "~Broken" for row in suite) >= 1
    report = vantrel.coverage(model, suite)
    assert report.complete and report.missing == 0 and report.required == report.covered
    assert report.excluded == 2 and len(report.growth) == len(suite)
    assert vantrel.generate(model, seed=1).to_tsv() == suite.to_tsv()
    assert suite.to_tsv().startswith("Customer\tCountry\tDelivery\tBasket\r\n")
    assert suite.summary["rows"] == len(suite) and suite.summary["seed"] == 1


def test_a_short_suite_lists_its_gaps_and_explain_says_why():
    model = vantrel.Model(SHOP, rules=RULE)
    report = vantrel.coverage(model, list(vantrel.generate(model, seed=2))[:3])
    assert not report.complete and report.missing == len(
        [c for c in report.missing_combinations if not any(v.startswith("~") for v in c.values())])
    assert {"Country": "Japan", "Delivery": "Locker"} in report.excluded_combinations
    japan = vantrel.explain(model, {"Country": "Japan", "Delivery": "Locker"})
    assert not japan and japan.reason == "the rule on line 1" and japan.rule_lines == [1]
    germany = vantrel.explain(model, {"Country": "Germany", "Delivery": "Locker"})
    assert germany and germany.example["Delivery"] == "Locker"


@pytest.mark.parametrize("factors, rules, line, column, message", [
    ({"A": ["a", "a"]}, "", 0, 0, '[A] has the level "a" twice'),
    ({"A": ["a", "b"], "B": ["c"]}, '\n[A] = "z";', 2, 7, 'factor [A] has no level "z"'),
    ({"A": ["a"], "B": ["b"]}, '[A] = "a" AND [B] <> "b";', 0, 0, None),
])
def test_refusals_are_model_errors_with_their_place(factors, rules, line, column, message):
    model = vantrel.Model(factors, rules=rules)
    if message is None:
        with pytest.raises(vantrel.ModelError) as error:
            vantrel.generate(model)
        assert error.value.kind == "infeasible"
        return
    with pytest.raises(vantrel.ModelError) as error:
        vantrel.generate(model)
    assert (error.value.line, error.value.column, error.value.message) == (line, column, message)


def test_the_search_leaves_the_interpreter_free_and_stops_on_ctrl_c():
    model = vantrel.Model({f"F{f}": [f"v{l}" for l in range(10)] for f in range(40)})
    ticks = []
    running = threading.Event()

    def tick():
        running.wait()
        while running.is_set():
            ticks.append(1)
            time.sleep(0.01)

    ticker = threading.Thread(target=tick)
    ticker.start()
    threading.Timer(0.5, _thread.interrupt_main).start()
    started = time.monotonic()
    running.set()
    with pytest.raises(KeyboardInterrupt):
        vantrel.generate(model, seed=1, evolutions=10000, threads=1)
    running.clear()
    ticker.join()
    assert time.monotonic() - started < 30
    assert len(ticks) > 5, "another thread ran while the search did"


def test_parametrize_makes_one_test_case_per_row_with_identifiers_and_marks():
    model = vantrel.Model({"Operating system": ["Win", "~Old"], "class": ["a", "b"], "2nd": ["x", "y"]})
    mark = vantrel.parametrize(model, seed=1)
    names, params = mark.args
    assert names == ["Operating_system", "class_", "_2nd"]
    ids = [p.id for p in params]
    assert len(ids) == len(set(ids)) == len(vantrel.generate(model, seed=1))
    invalid = [p for p in params if any(m.name == "vantrel_invalid" for m in p.marks)]
    assert invalid and all(p.values[0] == "Old" and p.id.startswith("~Old-") for p in invalid)


def test_a_model_text_reads_writes_back_and_refuses_with_its_place(tmp_path):
    text = "# shop\r\nCustomer: Guest, ~Banned\r\nCountry: DE, JP (3)\r\n\r\n{ Customer, Country } @ 2\r\n"
    path = tmp_path / "shop.txt"
    path.write_bytes(text.encode())
    model = vantrel.read(str(path))
    assert model.factors == ["Customer", "Country"] and model.levels("Customer") == ["Guest", "~Banned"]
    assert model.to_text() == text and vantrel.Model.from_text(text).to_text() == text
    assert len(vantrel.generate(model, seed=1)) > 0
    for bad, kind, place in [("A: a, , b", "model", (1, 7)), ("A: a\n{ A, B } @ 2", "rules", (2, 6)),
                             (b"A: caf\xe9", "model", (1, 7))]:
        with pytest.raises(vantrel.ModelError) as error:
            vantrel.Model.from_text(bad)
        assert (error.value.kind, error.value.line, error.value.column) == (kind, *place)


@pytest.mark.parametrize("example, options, flags", [
    ("checkout.txt", {}, []),
    ("payment-form.txt", {"strength": 3}, ["--strength", "3"]),
    ("cloud-vm.txt", {"compact_moves": 20000}, ["--compact-moves", "20000"]),
    ("cloud-vm.txt", {"compact_moves": [3000, 9000]}, ["--compact-moves", "3000,9000"]),
])
def test_the_module_writes_the_suite_vantrel_cli_writes_byte_for_byte(example, options, flags):
    cli = os.environ.get("VANTREL_CLI")
    if not cli:
        pytest.skip("VANTREL_CLI names no vantrel-cli to compare with")
    path = os.path.join("examples", example)
    suite = vantrel.generate(vantrel.read(path), seed=7, threads=1, **options)
    run = subprocess.run([cli, "generate", path, "--seed", "7", "--threads", "1"] + flags,
                         capture_output=True, check=True)
    assert run.stdout.decode("utf-8") == suite.to_tsv()
    assert repr(suite).startswith(f"<vantrel.Suite of {len(suite)} test cases")
