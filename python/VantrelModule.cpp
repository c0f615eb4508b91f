// vantrel._vantrel: the library's public API for Python. The package around it (vantrel/)
// gives the Pythonic faces: models from dicts, suites of dicts, ModelError, the pytest plugin.

#include <vantrel/delimited.hpp>
#include <vantrel/design.hpp>
#include <vantrel/modeltext.hpp>

#include <pybind11/functional.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

namespace py = pybind11;

namespace {

const char* KindName(vantrel::Error::Kind kind)
{
    switch (kind) {
    case vantrel::Error::Kind::Model: return "model";
    case vantrel::Error::Kind::Rules: return "rules";
    case vantrel::Error::Kind::Rows: return "rows";
    case vantrel::Error::Kind::Infeasible: return "infeasible";
    case vantrel::Error::Kind::TooLarge: return "too large";
    case vantrel::Error::Kind::Internal: return "internal";
    case vantrel::Error::Kind::Io: return "io";
    case vantrel::Error::Kind::Declined: return "declined";
    }
    return "model";
}

// Raises vantrel.ModelError with the error's place.
[[noreturn]] void Raise(const vantrel::Error& error)
{
    const py::object modelError = py::module_::import("vantrel").attr("ModelError");
    PyErr_SetObject(modelError.ptr(),
                    modelError(error.message, error.line, error.column, error.row, KindName(error.kind)).ptr());
    throw py::error_already_set();
}

template <typename T>
T Unwrap(vantrel::Result<T> result)
{
    if (!result)
        Raise(result.error());
    return std::move(result).value();
}

// The search with the interpreter free; Ctrl+C stops it and is raised once it has stopped.
vantrel::Suite Generate(const vantrel::Design& design, const vantrel::Options& options)
{
    bool interrupted = false;
    vantrel::Result<vantrel::Suite> suite = [&] {
        py::gil_scoped_release free;
        return design.Generate(options, [&](const vantrel::Progress&) {
            py::gil_scoped_acquire held;
            interrupted = interrupted || PyErr_CheckSignals() != 0;
            return !interrupted;
        });
    }();
    if (interrupted)
        throw py::error_already_set();
    return Unwrap(std::move(suite));
}

void BindModel(py::module_& m)
{
    py::class_<vantrel::Level>(m, "Level")
        .def(py::init<>())
        .def_readwrite("name", &vantrel::Level::name)
        .def_readwrite("weight", &vantrel::Level::weight)
        .def_readwrite("aliases", &vantrel::Level::aliases)
        .def_readwrite("invalid", &vantrel::Level::invalid);
    py::class_<vantrel::Factor>(m, "Factor")
        .def(py::init<>())
        .def_readwrite("name", &vantrel::Factor::name)
        .def_readwrite("levels", &vantrel::Factor::levels);
    py::class_<vantrel::ConstraintRow>(m, "ConstraintRow")
        .def(py::init<>())
        .def_readwrite("if_factor", &vantrel::ConstraintRow::ifFactor)
        .def_readwrite("if_level", &vantrel::ConstraintRow::ifLevel)
        .def_readwrite("then_factor", &vantrel::ConstraintRow::thenFactor)
        .def_readwrite("then_level", &vantrel::ConstraintRow::thenLevel);
    py::class_<vantrel::Model>(m, "ModelData")
        .def(py::init<>())
        .def_readwrite("factors", &vantrel::Model::factors)
        .def_readwrite("constraints", &vantrel::Model::constraints)
        .def_readwrite("rules", &vantrel::Model::rules)
        .def_readwrite("rules_first_line", &vantrel::Model::rulesFirstLine)
        .def_readwrite("previous", &vantrel::Model::previous)
        .def_readwrite("seeds", &vantrel::Model::seeds);
    // A model text, as str or bytes (UTF-8), and back as str; the model keeps the text's layout.
    m.def("read_text", [](const std::string& text) { return Unwrap(vantrel::ReadModelText(text)); });
    m.def("write_text", [](const vantrel::Model& model) { return Unwrap(vantrel::WriteModelText(model)); });
}

void BindSuite(py::module_& m)
{
    py::class_<vantrel::Options>(m, "Options")
        .def(py::init<>())
        .def_readwrite("strength", &vantrel::Options::strength)
        .def_readwrite("seed", &vantrel::Options::seed)
        .def_readwrite("evolutions", &vantrel::Options::evolutions)
        .def_readwrite("time_limit", &vantrel::Options::timeLimit)
        .def_readwrite("compact_seconds", &vantrel::Options::compactSeconds)
        .def_readwrite("compact_moves", &vantrel::Options::compactMoves)
        .def_readwrite("search_moves", &vantrel::Options::searchMoves)
        .def_readwrite("threads", &vantrel::Options::threads);
    py::class_<vantrel::Suite>(m, "SuiteData")
        .def_readonly("factors", &vantrel::Suite::factors)
        .def_readonly("rows", &vantrel::Suite::rows)
        .def_readonly("seed", &vantrel::Suite::seed)
        .def_readonly("converged", &vantrel::Suite::converged)
        .def_readonly("stopped", &vantrel::Suite::stopped)
        .def_readonly("time_up", &vantrel::Suite::timeUp)
        .def_readonly("evolutions", &vantrel::Suite::evolutionsRun)
        .def_readonly("compacted_from", &vantrel::Suite::compactedFrom)
        .def_readonly("compacted_to", &vantrel::Suite::compactedTo)
        .def_readonly("compaction_moves", &vantrel::Suite::compactionMoves)
        .def_readonly("search_moves", &vantrel::Suite::searchMoves);
    m.def("delimited", [](const std::vector<std::string>& header, const std::vector<vantrel::Row>& rows, bool tabs) {
        return Unwrap(vantrel::Delimited(header, rows, tabs ? vantrel::Delimiter::Tab : vantrel::Delimiter::Comma));
    });
}

void BindCoverage(py::module_& m)
{
    py::class_<vantrel::Requirement>(m, "Requirement")
        .def_readonly("name", &vantrel::Requirement::name)
        .def_readonly("strength", &vantrel::Requirement::strength)
        .def_readonly("factors", &vantrel::Requirement::factors)
        .def_readonly("required", &vantrel::Requirement::required)
        .def_readonly("covered", &vantrel::Requirement::covered)
        .def_readonly("excluded", &vantrel::Requirement::excluded)
        .def_readonly("covered_by_previous", &vantrel::Requirement::coveredByPrevious)
        .def_readonly("growth", &vantrel::Requirement::growth)
        .def_property_readonly("missing", &vantrel::Requirement::Missing);
    py::class_<vantrel::LevelRef>(m, "LevelRef")
        .def_readonly("factor", &vantrel::LevelRef::factor)
        .def_readonly("level", &vantrel::LevelRef::level);
    py::class_<vantrel::Combination>(m, "Combination")
        .def_readonly("requirement", &vantrel::Combination::requirement)
        .def_readonly("levels", &vantrel::Combination::levels);
    py::class_<vantrel::ProblemRow>(m, "ProblemRow")
        .def_readonly("previous", &vantrel::ProblemRow::previous)
        .def_readonly("row", &vantrel::ProblemRow::row)
        .def_readonly("problem", &vantrel::ProblemRow::problem);
    py::class_<vantrel::Coverage>(m, "CoverageData")
        .def_readonly("requirements", &vantrel::Coverage::requirements)
        .def_readonly("missing", &vantrel::Coverage::missing)
        .def_readonly("excluded", &vantrel::Coverage::excluded)
        .def_readonly("problems", &vantrel::Coverage::problems)
        .def("complete", &vantrel::Coverage::Complete)
        .def("summary", &vantrel::Coverage::Summary);
    py::class_<vantrel::Reason>(m, "Reason")
        .def_property_readonly("can_occur", &vantrel::Reason::CanOccur)
        .def_readonly("phrase", &vantrel::Reason::phrase)
        .def_readonly("example", &vantrel::Reason::example)
        .def_property_readonly("rule_lines", [](const vantrel::Reason& r) { return r.statements.ruleLines; })
        .def_property_readonly("constraint_rows", [](const vantrel::Reason& r) { return r.statements.constraintRows; });
}

void BindDesign(py::module_& m)
{
    py::class_<vantrel::Design>(m, "Design")
        .def_static("compile", [](const vantrel::Model& model) { return Unwrap(vantrel::Design::Compile(model)); })
        .def("generate", &Generate)
        .def("coverage",
             [](const vantrel::Design& design, const std::vector<vantrel::Row>& rows, int strength, bool list) {
                 return design.CoverageOf(rows, {strength, list, false});
             })
        .def("explain",
             [](const vantrel::Design& design, const std::vector<std::pair<int, int>>& levels) {
                 std::vector<vantrel::LevelRef> refs;
                 for (const auto& [factor, level] : levels)
                     refs.push_back({factor, level});
                 return design.Explain(refs);
             })
        .def("level_of", &vantrel::Design::LevelOf)
        .def("shown", [](const vantrel::Design& design, int factor, int level) { return design.Shown({factor, level}); })
        .def("any_valid_test_case", &vantrel::Design::AnyValidTestCase)
        .def("why_no_valid_test_case", &vantrel::Design::WhyNoValidTestCase);
}

}  // namespace

PYBIND11_MODULE(_vantrel, m)
{
    m.doc() = "The compiled core of the vantrel package.";
    BindModel(m);
    BindSuite(m);
    BindCoverage(m);
    BindDesign(m);
}
