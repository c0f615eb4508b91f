"""Combinatorial test suites from a model of factors, levels and rules.

    import vantrel
    model = vantrel.read("checkout.txt")                 # a model text
    model = vantrel.Model({"OS": ["Windows", "macOS"], "Browser": ["Chrome", "Edge"]},
                          rules='IF [OS] = "macOS" THEN [Browser] <> "Edge";')
    suite = vantrel.generate(model, strength=2, seed=1)  # rows as dicts, factor -> level
    report = vantrel.coverage(model, suite)              # what the rows cover
    vantrel.explain(model, {"OS": "macOS", "Browser": "Edge"}).reason

A level's name starting with "~" is an invalid level (tried on its own, in a negative test);
in a dict of factors a level may also be a dict: {"name": "Chrome", "weight": 3, "aliases":
["Chromium"], "invalid": False}. Errors are vantrel.ModelError, with the line and column where
they come from a text. A generation runs with the interpreter free and stops on Ctrl+C.
"""

import collections.abc
import inspect
import keyword
import os
import re

from . import _vantrel

__all__ = ["Model", "ModelError", "Suite", "CoverageReport", "Explanation", "read", "generate", "coverage",
           "explain", "parametrize"]


class ModelError(ValueError):
    """A model, a rules text or a row the library refuses; line and column are 1-based, 0
    where the error does not come from a text; row is the 1-based previous test or seed."""

    def __init__(self, message, line=0, column=0, row=0, kind="model"):
        super().__init__(message)
        self.message = message
        self.line = line
        self.column = column
        self.row = row
        self.kind = kind

    def __str__(self):
        return f"{self.line}:{self.column}: {self.message}" if self.line else self.message


def _level(value):
    level = _vantrel.Level()
    if isinstance(value, dict):
        level.name = str(value["name"])
        level.weight = int(value.get("weight", 1))
        level.aliases = [str(alias) for alias in value.get("aliases", [])]
        level.invalid = bool(value.get("invalid", False))
    else:
        name = str(value)
        level.invalid = name.startswith("~")
        level.name = name[1:] if level.invalid else name
    return level


class Model:
    """A design: factors with their levels, Constraints rows, a rules text, tests already run
    and rows the suite must start with."""

    def __init__(self, factors=None, rules="", constraints=(), previous=(), seeds=()):
        data = _vantrel.ModelData()
        built = []
        for name, levels in (factors or {}).items():
            factor = _vantrel.Factor()
            factor.name = str(name)
            factor.levels = [_level(level) for level in levels]
            built.append(factor)
        data.factors = built
        rows = []
        for row in constraints:
            constraint = _vantrel.ConstraintRow()
            (constraint.if_factor, constraint.if_level, constraint.then_factor, constraint.then_level) = map(str, row)
            rows.append(constraint)
        data.constraints = rows
        data.rules = rules
        self._data = data
        self._design = None
        self._data.previous = [self._row(row) for row in previous]
        self._data.seeds = [self._row(row, open_cells=True) for row in seeds]

    @classmethod
    def from_text(cls, text):
        """The model a model text (str, or bytes in UTF-8) holds; a problem raises ModelError
        with its line and column. to_text() writes it back as it was, comments and all."""
        model = cls.__new__(cls)
        model._data = _vantrel.read_text(text)
        model._design = None
        return model

    def to_text(self):
        """The model as model text."""
        return _vantrel.write_text(self._data)

    @property
    def factors(self):
        """The factors' names, in order."""
        return [factor.name for factor in self._data.factors]

    def levels(self, factor):
        """The levels of a factor, as test cases show them ("~" before an invalid one)."""
        return list(self._shown(factor))

    def _shown(self, factor):
        """The levels of a factor: shown name -> (name, invalid)."""
        for f in self._data.factors:
            if f.name == factor:
                return {("~" if level.invalid else "") + level.name: (level.name, level.invalid) for level in f.levels}
        raise KeyError(factor)

    def _row(self, row, open_cells=False):
        if isinstance(row, dict):
            return [str(row.get(name, "")) if open_cells else str(row[name]) for name in self.factors]
        return [str(cell) for cell in row]

    def _compiled(self):
        if self._design is None:
            self._design = _vantrel.Design.compile(self._data)
        return self._design


def read(path):
    """The model of a model text file; a problem in it raises ModelError with its line and
    column, bytes that are not UTF-8 included."""
    with open(path, "rb") as text:
        return Model.from_text(text.read())


class Suite(collections.abc.Sequence):
    """The test cases, each a dict factor -> level as test cases show it; `summary` tells how
    the search went, `to_tsv()` and `to_csv()` write it as vantrel-cli does."""

    def __init__(self, data, strength):
        self._data = data
        self.factors = list(data.factors)
        self._rows = [dict(zip(self.factors, row)) for row in data.rows]
        self.summary = {
            "rows": len(self._rows), "strength": strength, "seed": data.seed, "converged": data.converged,
            "stopped": data.stopped, "time_up": data.time_up, "evolutions": data.evolutions,
            "compacted_from": data.compacted_from, "compacted_to": data.compacted_to,
            "compaction_moves": list(data.search_moves),
        }

    def __getitem__(self, index):
        return self._rows[index]

    def __len__(self):
        return len(self._rows)

    def __repr__(self):
        return f"<vantrel.Suite of {len(self._rows)} test cases over {len(self.factors)} factors>"

    def to_tsv(self):
        return _vantrel.delimited(self.factors, self._data.rows, True)

    def to_csv(self):
        return _vantrel.delimited(self.factors, self._data.rows, False)


def generate(model, strength=2, seed=None, time=None, compact=None, evolutions=None, threads=None,
             compact_moves=None):
    """A suite that covers every combination of the levels of every `strength` factors that a
    valid test case can hold. seed repeats a suite; time (seconds) bounds the whole generation;
    compact (seconds) removes test cases afterwards while everything stays covered, and
    compact_moves so many moves of it (a seed repeats them; a list runs one compaction per
    entry at once, as summary["compaction_moves"] tells them after a time limit)."""
    options = _vantrel.Options()
    options.strength = int(strength)
    if seed is not None:
        options.seed = int(seed)
    if time is not None:
        options.time_limit = float(time)
    if compact is not None:
        options.compact_seconds = float(compact)
    if isinstance(compact_moves, (list, tuple)):
        options.search_moves = [int(m) for m in compact_moves]
    elif compact_moves is not None:
        options.compact_moves = int(compact_moves)
    if evolutions is not None:
        options.evolutions = int(evolutions)
    if threads is not None:
        options.threads = int(threads)
    return Suite(model._compiled().generate(options), options.strength)


class CoverageReport:
    """What rows cover of what the model requires. At the top the design's strength:
    required (what a valid test case can hold), covered, missing, excluded (what none can hold)
    and growth (covered after each row); `requirements` holds every kind apart."""

    def __init__(self, data, factors, design):
        self._data = data
        self.requirements = [
            {"name": r.name, "strength": r.strength, "factors": [factors[f] for f in r.factors],
             "required": r.required, "covered": r.covered, "missing": r.missing, "excluded": r.excluded,
             "growth": list(r.growth)}
            for r in data.requirements
        ]
        base = self.requirements[0] if self.requirements else {"required": 0, "covered": 0, "missing": 0,
                                                                 "excluded": 0, "growth": []}
        self.required, self.covered = base["required"], base["covered"]
        self.missing, self.excluded, self.growth = base["missing"], base["excluded"], base["growth"]
        self.complete = data.complete()
        self.summary = data.summary("the report's missing list")
        shown = lambda combination: {factors[l.factor]: design.shown(l.factor, l.level) for l in combination.levels}
        self.missing_combinations = [shown(c) for c in data.missing]
        self.excluded_combinations = [shown(c) for c in data.excluded]
        self.problems = [p.problem for p in data.problems]


def _rows(model, rows):
    factors = model.factors
    return [[str(row[name]) for name in factors] if isinstance(row, dict) else [str(cell) for cell in row]
            for row in rows]


def coverage(model, rows, strength=2):
    """What the rows (dicts or lists of level names) cover, after the model's previous tests."""
    design = model._compiled()
    data = design.coverage(_rows(model, rows), int(strength), True)
    return CoverageReport(data, model.factors, design)


class Explanation:
    """Whether some levels can stand together in a valid test case: if so `example` is one; if
    not, `reason` says why ("the rule on line 11") and `rule_lines`, `constraint_rows` name it."""

    def __init__(self, reason, factors, design):
        self.can_occur = reason.can_occur
        self.reason = reason.phrase
        self.rule_lines = list(reason.rule_lines)
        self.constraint_rows = list(reason.constraint_rows)
        self.example = ({factors[f]: design.shown(f, level) for f, level in enumerate(reason.example)}
                        if reason.can_occur else None)

    def __bool__(self):
        return self.can_occur


def explain(model, levels):
    """Whether the levels, a dict factor -> level, can stand together in a valid test case."""
    design = model._compiled()
    factors = model.factors
    refs = []
    for factor, level in levels.items():
        if factor not in factors:
            raise ModelError(f"unknown factor [{factor}]")
        code = design.level_of(factors.index(factor), str(level))
        if code < 0:
            raise ModelError(f"factor [{factor}] has no level \"{level}\"")
        refs.append((factors.index(factor), code))
    return Explanation(design.explain(refs), factors, design)


def _identifiers(names):
    """The factors' names as Python identifiers: every character that cannot stand in one
    becomes "_", a name starting with a digit or a keyword gets "_" before or after, and a
    name met twice gets "_2", "_3", ..."""
    made, seen = [], set()
    for name in names:
        identifier = re.sub(r"\W", "_", name) or "_"
        if identifier[0].isdigit():
            identifier = "_" + identifier
        if keyword.iskeyword(identifier):
            identifier += "_"
        base, count = identifier, 1
        while identifier in seen:
            count += 1
            identifier = f"{base}_{count}"
        seen.add(identifier)
        made.append(identifier)
    return made


def parametrize(model, strength=2, seed=1, **options):
    """pytest: runs the test once per test case of the model's suite, one argument per factor
    (named as _identifiers makes them), the test's id from its levels. A test case with an
    invalid level is marked vantrel_invalid, so that the test can expect the error path; its
    argument is the level's name without "~". model: a Model, or a model text's path (relative
    to the test file)."""
    import pytest

    if not isinstance(model, Model):
        path = model
        if not os.path.isabs(path) and not os.path.exists(path):
            caller = inspect.stack()[1].filename
            path = os.path.join(os.path.dirname(os.path.abspath(caller)), path)
        model = read(path)
    suite = generate(model, strength=strength, seed=seed, **options)
    levels = {name: model._shown(name) for name in suite.factors}
    params = []
    for case in suite:
        shown = [case[name] for name in suite.factors]
        held = [levels[name][level] for name, level in zip(suite.factors, shown)]
        invalid = any(is_invalid for _, is_invalid in held)
        params.append(pytest.param(*[name for name, _ in held], id="-".join(shown),
                                   marks=[pytest.mark.vantrel_invalid] if invalid else []))
    return pytest.mark.parametrize(_identifiers(suite.factors), params)
